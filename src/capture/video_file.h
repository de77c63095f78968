// video_file.h - one video file being written: H.264 pictures (yuv420p, BT.709) and AAC sound,
// in the container that the file name's extension names (MP4 with its index at the front, or any
// other FFmpeg knows that can hold both, Matroska among them); WebM gets VP9 pictures and Opus
// sound (48 kHz) instead, the only codecs it holds.
// Depends on: FFmpeg's libavformat, libavcodec, libswscale, libswresample and libavutil inside
// video_file.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace capture {

struct VideoSettings {
    std::string path;
    int width = 800, height = 600;
    int fps = 60;
    // x264's (or VP9's) constant rate factor; 0 is lossless.
    double crf = 18.0;
    // Stereo sound at this rate.
    int sampleRate = 44100;
};

// Not thread-safe: one thread opens, feeds and finishes it. Every failure returns false with a
// one-line reason in `error`.
class VideoFile {
public:
    VideoFile();
    ~VideoFile();
    VideoFile(const VideoFile&) = delete;
    VideoFile& operator=(const VideoFile&) = delete;

    // Chooses the container, sets up both encoders and creates the file. A file name whose
    // container FFmpeg does not know, or that cannot hold its codecs, or that cannot be created,
    // fails here, before anything is encoded.
    bool Open(const VideoSettings& settings, std::string& error);
    // The next picture: B, G, R, A bytes per pixel, top row first, `stride` bytes per row. Any size
    // is scaled to the file's.
    bool AddPicture(const std::uint8_t* bgra, int width, int height, int stride, std::string& error);
    // The next `frames` stereo frames, interleaved left/right, -1 ... 1.
    bool AddSound(const float* stereo, int frames, std::string& error);
    // Drains both encoders and finalises the file (for MP4, moves the index to the front).
    bool Finish(std::string& error);

    std::int64_t PicturesWritten() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace capture
