// progress.cpp - the progress line and when to print it.
#include "capture/progress.h"

#include <cmath>

namespace capture {

namespace {

// A terminal is redrawn a few times a second; a log gets a line every five seconds.
constexpr std::chrono::milliseconds kInPlaceEvery{250};
constexpr std::chrono::seconds kLineEvery{5};

// Whole seconds as m:ss, or h:mm:ss from an hour up.
std::string HoursMinutes(double seconds) {
    long s = static_cast<long>(std::lround(std::max(seconds, 0.0)));
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

}  // namespace

Progress::Progress(std::FILE* out, long total, bool inPlace)
    : m_out(out), m_total(total), m_inPlace(inPlace), m_start(Clock::now()), m_lastPrint(m_start) {}

std::string Progress::Line(long done, long total, double seconds) {
    const double percent = total > 0 ? 100.0 * static_cast<double>(done) / static_cast<double>(total) : 100.0;
    const double fps = seconds > 0.0 ? static_cast<double>(done) / seconds : 0.0;
    char text[160];
    if (done > 0 && fps > 0.0) {
        const double left = static_cast<double>(total - done) / fps;
        std::snprintf(text, sizeof text, "capturing %3.0f%%  %ld/%ld frames  %.1f fps  %s left",
                      std::floor(percent), done, total, fps, HoursMinutes(left).c_str());
    } else {
        std::snprintf(text, sizeof text, "capturing %3.0f%%  %ld/%ld frames", std::floor(percent), done, total);
    }
    return text;
}

void Progress::Update(long done) {
    const auto now = Clock::now();
    if (now - m_lastPrint < (m_inPlace ? std::chrono::duration_cast<Clock::duration>(kInPlaceEvery)
                                       : std::chrono::duration_cast<Clock::duration>(kLineEvery)))
        return;
    m_lastPrint = now;
    Print(done, false);
}

void Progress::Finish(long done) { Print(done, true); }

void Progress::Print(long done, bool last) {
    if (!m_out) return;
    if (last && !m_inPlace && !m_printed) return;  // short runs stay quiet in logs
    const double seconds = std::chrono::duration<double>(Clock::now() - m_start).count();
    const std::string line = Line(done, m_total, seconds);
    if (m_inPlace)
        // \033[K clears what a longer earlier line left behind.
        std::fprintf(m_out, "\r%s\033[K%s", line.c_str(), last ? "\n" : "");
    else
        std::fprintf(m_out, "%s\n", line.c_str());
    std::fflush(m_out);
    m_printed = true;
}

}  // namespace capture
