// encode_worker.cpp - the bounded queue between the frame loop and the encoders.
#include "capture/encode_worker.h"

namespace capture {

EncodeWorker::EncodeWorker(VideoFile& file, std::size_t capacity)
    : m_file(file), m_capacity(capacity < 1 ? 1 : capacity), m_thread([this] { Run(); }) {}

EncodeWorker::~EncodeWorker() {
    {
        std::lock_guard lock(m_mu);
        m_closing = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

FrameJob EncodeWorker::TakeEmpty() {
    std::lock_guard lock(m_mu);
    if (m_spare.empty()) return {};
    FrameJob job = std::move(m_spare.back());
    m_spare.pop_back();
    return job;
}

bool EncodeWorker::Push(FrameJob job) {
    std::unique_lock lock(m_mu);
    m_changed.wait(lock, [&] { return m_failed || m_queue.size() < m_capacity; });
    if (m_failed) return false;
    m_queue.push_back(std::move(job));
    lock.unlock();
    m_changed.notify_all();
    return true;
}

bool EncodeWorker::Failed() {
    std::lock_guard lock(m_mu);
    return m_failed;
}

void EncodeWorker::Run() {
    for (;;) {
        FrameJob job;
        {
            std::unique_lock lock(m_mu);
            m_changed.wait(lock, [&] { return m_closing || !m_queue.empty(); });
            if (m_queue.empty()) return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
        }
        m_changed.notify_all();
        std::string error;
        bool ok = true;
        if (!job.picture.argb.empty()) {
            const Picture& p = job.picture;
            // A8R8G8B8 words are B, G, R, A bytes in memory: what the encoder takes.
            ok = m_file.AddPicture(reinterpret_cast<const std::uint8_t*>(p.argb.data()), p.width, p.height, p.width * 4,
                                   error);
        }
        if (ok && !job.sound.empty())
            ok = m_file.AddSound(job.sound.data(), static_cast<int>(job.sound.size() / 2), error);
        std::lock_guard lock(m_mu);
        if (!ok) {
            // Nothing more is encoded; the frame loop sees the failure at its next push.
            m_failed = true;
            m_error = error;
            m_queue.clear();
            m_changed.notify_all();
            return;
        }
        job.sound.clear();
        m_spare.push_back(std::move(job));
    }
}

bool EncodeWorker::Finish(std::string& error) {
    {
        std::lock_guard lock(m_mu);
        m_closing = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
    if (m_failed) {
        error = m_error;
        return false;
    }
    if (!m_file.Finish(error)) {
        m_failed = true;
        return false;
    }
    return true;
}

}  // namespace capture
