// image_load.cpp - LoadJpg over the JPEG layer, FileExists, DupString.
#include "resources/image_load.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/logger.h"
#include "platform/jpeg/jpeg.h"
#include "core/data_root.h"

DWORD g_dwJpgWidth = 0;
DWORD g_dwJpgHeight = 0;

BYTE* LoadJpg(const char* path, DWORD* pWidth, DWORD* pHeight) {
    velunar::jpeg::Image image;
    std::string error;
    const auto status = velunar::jpeg::DecodeFile(DataPath(path).c_str(), image, &error);
    if (status == velunar::jpeg::Status::NotFound) {
        if (g_pLogger) g_pLogger->LogMessage("File %s not found!\n", path ? path : "(null)");
        return nullptr;
    }
    if (status != velunar::jpeg::Status::Ok) {
        // A damaged file fails like a missing one: the caller reports the load as failed and
        // the show goes on (and shuts down cleanly) without that texture.
        char text[1024];
        std::snprintf(text, sizeof text, "%s   --  %s\n", error.c_str(), path);
        if (g_pLogger) g_pLogger->LogMessage("LoadJpg : %s\n", text);
        return nullptr;
    }
    const DWORD width = static_cast<DWORD>(image.width);
    const DWORD height = static_cast<DWORD>(image.height);
    g_dwJpgWidth = width;
    g_dwJpgHeight = height;
    if (pWidth) *pWidth = width;
    if (pHeight) *pHeight = height;
    const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
    BYTE* pixels = new BYTE[bytes];
    if (image.bgrx.size() >= bytes) {
        std::memcpy(pixels, image.bgrx.data(), bytes);
    } else {
        std::memset(pixels, 0, bytes);
        std::memcpy(pixels, image.bgrx.data(), image.bgrx.size());
    }
    // The fourth byte is the alpha the texture loaders fill in later; it starts at 0.
    for (std::size_t i = 3; i < bytes; i += 4) pixels[i] = 0;
    return pixels;
}

bool FileExists(const char* path) {
    if (!path) return false;
    std::FILE* f = std::fopen(DataPath(path).c_str(), "r");
    if (!f) return false;
    std::fclose(f);
    return true;
}

char* DupString(const char* src, DWORD maxLen) {
    if (!src) return nullptr;
    std::size_t len = std::strlen(src);
    if (maxLen != 0 && maxLen < len) len = maxLen;
    char* copy = new char[len + 2];
    std::memcpy(copy, src, len);
    copy[len] = '\0';
    copy[len + 1] = '\0';
    return copy;
}
