// encode_worker.h - the capture's one worker thread: it takes rendered frames from a bounded queue
// and feeds them to the video file, so rendering the next frame and encoding this one overlap
// while the show's own code stays on the main thread.
// Depends on: frame_capture.h (the picture), video_file.h.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture/frame_capture.h"
#include "capture/video_file.h"

namespace capture {

// One frame's worth of work: a picture (may be empty) and the sound that goes with it.
struct FrameJob {
    Picture picture;
    std::vector<float> sound;  // interleaved stereo
};

class EncodeWorker {
public:
    // The worker owns no file: `file` must be open and outlive Finish().
    EncodeWorker(VideoFile& file, std::size_t capacity);
    ~EncodeWorker();
    EncodeWorker(const EncodeWorker&) = delete;
    EncodeWorker& operator=(const EncodeWorker&) = delete;

    // A job with buffers from earlier frames, ready to be filled again.
    FrameJob TakeEmpty();
    // Queues a job; blocks while the queue is full. False once encoding has failed.
    bool Push(FrameJob job);
    // Encodes what is queued, then finalises the file; the first failure of the whole run in `error`.
    bool Finish(std::string& error);
    // True once a write or encode has failed (the run should stop).
    bool Failed();

private:
    void Run();

    VideoFile& m_file;
    const std::size_t m_capacity;
    std::mutex m_mu;
    std::condition_variable m_changed;
    std::deque<FrameJob> m_queue;
    std::vector<FrameJob> m_spare;
    bool m_closing = false;
    bool m_failed = false;
    std::string m_error;
    std::thread m_thread;
};

}  // namespace capture
