// x_window.cpp - reads a window's pixels from the X server (apart from the tests: Xlib's macros
// clash with GoogleTest's names).
#include "support/x_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>

namespace velunar_test {

namespace {

// The 8 bits of a pixel that a TrueColor mask selects.
std::uint8_t Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255 / max);
}

// A window that went away or lies partly off the screen is an empty picture, not the end of the
// test process (Xlib's default handler exits).
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

Image GrabWindow(const std::string& display, const std::string& window) {
    Image out;
    char* end = nullptr;
    const unsigned long id = std::strtoul(window.c_str(), &end, 10);
    if (window.empty() || *end != '\0') return out;
    Display* dpy = XOpenDisplay(display.c_str());
    if (!dpy) return out;
    XSetErrorHandler(IgnoreXError);
    XWindowAttributes attrs{};
    if (XGetWindowAttributes(dpy, id, &attrs) && attrs.width > 0 && attrs.height > 0) {
        if (XImage* img = XGetImage(dpy, id, 0, 0, static_cast<unsigned>(attrs.width),
                                    static_cast<unsigned>(attrs.height), AllPlanes, ZPixmap)) {
            out = Image(attrs.width, attrs.height);
            for (int y = 0; y < attrs.height; ++y)
                for (int x = 0; x < attrs.width; ++x) {
                    const unsigned long p = XGetPixel(img, x, y);
                    std::uint8_t* rgb = out.at(x, y);
                    rgb[0] = Channel(p, img->red_mask);
                    rgb[1] = Channel(p, img->green_mask);
                    rgb[2] = Channel(p, img->blue_mask);
                }
            XDestroyImage(img);
        }
    }
    XCloseDisplay(dpy);
    return out;
}

}  // namespace velunar_test
