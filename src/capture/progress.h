// progress.h - the capture's progress on stderr: percentage, frames done of all, frames per second
// and time left. On a terminal one line is rewritten in place; otherwise (a log, a pipe) a line
// is printed every few seconds.
// Depends on: the C++ standard library.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace capture {

class Progress {
public:
    using Clock = std::chrono::steady_clock;

    // `inPlace`: rewrite one line (a terminal) rather than print a line now and then.
    Progress(std::FILE* out, long total, bool inPlace);
    // Called after every frame; prints only when it is time to.
    void Update(long done);
    // The last report, ending the line that was rewritten in place.
    void Finish(long done);

    // The report's text, without line ending, for `done` frames after `seconds` of work.
    static std::string Line(long done, long total, double seconds);

private:
    void Print(long done, bool last);

    std::FILE* m_out;
    long m_total;
    bool m_inPlace;
    Clock::time_point m_start;
    Clock::time_point m_lastPrint;
    bool m_printed = false;
};

}  // namespace capture
