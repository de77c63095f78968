// video_file.cpp - the video file over FFmpeg: container from the name, libx264 and AAC encoders
// (libvpx-vp9 and libopus for WebM), BT.709 colour conversion, packets interleaved into the file.
#include "capture/video_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace capture {

namespace {

// x264's speed against size: "veryfast" keeps encoding well below the cost of rendering a frame
// on a software rasteriser, and at the show's crf the picture is the same to the eye.
constexpr const char* kX264Preset = "veryfast";
// A key frame at least every this many seconds, so players can seek.
constexpr int kKeyFrameSeconds = 4;
// AAC at 192 kbit/s for the stereo track; Opus at 160 kbit/s, as transparent for music.
constexpr int kAudioBitRate = 192000;
constexpr int kOpusBitRate = 160000;
// libvpx-vp9's speed against size: "good" quality at speed 5 (0 slowest ... 8), one row of tiles
// per thread, so VP9 costs about what x264 does beside the software rasteriser.
constexpr const char* kVp9Deadline = "good";
constexpr int kVp9CpuUsed = 5;
// Opus encodes at 48 kHz only (among lower rates); the mixer's 44.1 kHz is resampled to it.
constexpr int kOpusRate = 48000;

// The encoders a container gets: VP9 and Opus in WebM, which holds nothing else; H.264 and AAC in
// every other.
struct Codecs {
    AVCodecID video, audio;
    const char* videoEncoder;  // preferred encoder by name; else FFmpeg's default for the id
    const char* names;         // for messages
};

Codecs CodecsFor(const AVOutputFormat* container) {
    if (std::strcmp(container->name, "webm") == 0) return {AV_CODEC_ID_VP9, AV_CODEC_ID_OPUS, "libvpx-vp9", "VP9 video with Opus sound"};
    return {AV_CODEC_ID_H264, AV_CODEC_ID_AAC, "libx264", "H.264 video with AAC sound"};
}

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

struct VideoFile::State {
    VideoSettings settings;
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* scaler = nullptr;
    // Converts the mixer's rate to the audio encoder's where they differ (Opus); null otherwise.
    SwrContext* resampler = nullptr;
    int scalerWidth = 0, scalerHeight = 0;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    std::int64_t pictures = 0;
    std::int64_t samples = 0;
    // Interleaved stereo not yet a whole AAC frame.
    std::vector<float> pendingSound;
    bool fileOpen = false;
    bool headerWritten = false;
    bool finished = false;

    ~State() {
        if (fileOpen) avio_closep(&format->pb);
        sws_freeContext(scaler);
        swr_free(&resampler);
        av_frame_free(&picture);
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        avformat_free_context(format);
    }

    bool Fail(std::string& error, const std::string& what, int code) {
        error = what + ": " + AvError(code);
        return false;
    }

    // Moves every packet the encoder has ready into the file.
    bool Drain(AVCodecContext* codec, AVStream* stream, std::string& error) {
        for (;;) {
            int r = avcodec_receive_packet(codec, packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
            if (r < 0) return Fail(error, "encoding failed", r);
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            r = av_interleaved_write_frame(format, packet);
            if (r >= 0 && format->pb && format->pb->error < 0) r = format->pb->error;
            if (r < 0) return Fail(error, "writing " + settings.path + " failed", r);
        }
    }

    // Appends `frames` stereo frames at the mixer's rate to pendingSound at the encoder's; null
    // and 0 drain what the resampler holds.
    bool Resample(const float* stereo, int frames, std::string& error) {
        const int room = swr_get_out_samples(resampler, frames);
        if (room < 0) return Fail(error, "resampling the sound failed", room);
        const size_t at = pendingSound.size();
        pendingSound.resize(at + 2 * static_cast<size_t>(room));
        auto* out = reinterpret_cast<std::uint8_t*>(pendingSound.data() + at);
        const auto* in = reinterpret_cast<const std::uint8_t*>(stereo);
        const int made = swr_convert(resampler, &out, room, stereo ? &in : nullptr, frames);
        if (made < 0) {
            pendingSound.resize(at);
            return Fail(error, "resampling the sound failed", made);
        }
        pendingSound.resize(at + 2 * static_cast<size_t>(made));
        return true;
    }

    bool SendSound(int frames, std::string& error) {
        AVFrame* frame = av_frame_alloc();
        if (!frame) return Fail(error, "encoding failed", AVERROR(ENOMEM));
        frame->format = audio->sample_fmt;
        frame->sample_rate = audio->sample_rate;
        frame->nb_samples = frames;
        int r = av_channel_layout_copy(&frame->ch_layout, &audio->ch_layout);
        if (r >= 0) r = av_frame_get_buffer(frame, 0);
        if (r < 0) {
            av_frame_free(&frame);
            return Fail(error, "encoding failed", r);
        }
        if (audio->sample_fmt == AV_SAMPLE_FMT_FLT) {
            std::memcpy(frame->data[0], pendingSound.data(), 2 * sizeof(float) * static_cast<size_t>(frames));
        } else {
            auto* left = reinterpret_cast<float*>(frame->data[0]);
            auto* right = reinterpret_cast<float*>(frame->data[1]);
            for (int i = 0; i < frames; ++i) {
                left[i] = pendingSound[2 * i];
                right[i] = pendingSound[2 * i + 1];
            }
        }
        pendingSound.erase(pendingSound.begin(), pendingSound.begin() + 2 * frames);
        frame->pts = samples;
        samples += frames;
        r = avcodec_send_frame(audio, frame);
        av_frame_free(&frame);
        if (r < 0) return Fail(error, "encoding failed", r);
        return Drain(audio, audioStream, error);
    }
};

VideoFile::VideoFile() : m_state(std::make_unique<State>()) {}
VideoFile::~VideoFile() = default;

std::int64_t VideoFile::PicturesWritten() const { return m_state->pictures; }

bool VideoFile::Open(const VideoSettings& settings, std::string& error) {
    State& s = *m_state;
    s.settings = settings;
    // The encoders' chatter would break the progress line; failures are reported by us.
    av_log_set_level(AV_LOG_ERROR);

    const AVOutputFormat* container = av_guess_format(nullptr, settings.path.c_str(), nullptr);
    if (!container) {
        error = "cannot tell a video format from the name " + settings.path + " (try .mp4 or .mkv)";
        return false;
    }
    const Codecs codecs = CodecsFor(container);
    if (avformat_query_codec(container, codecs.video, FF_COMPLIANCE_NORMAL) == 0 ||
        avformat_query_codec(container, codecs.audio, FF_COMPLIANCE_NORMAL) == 0 ||
        (container->flags & AVFMT_NOFILE)) {
        error = std::string("the ") + container->name + " format of " + settings.path + " cannot hold " + codecs.names +
                " (try .mp4, .mkv or .webm)";
        return false;
    }
    int r = avformat_alloc_output_context2(&s.format, container, nullptr, settings.path.c_str());
    if (r < 0) return s.Fail(error, "cannot set up " + settings.path, r);

    const AVCodec* videoCodec = avcodec_find_encoder_by_name(codecs.videoEncoder);
    if (!videoCodec) videoCodec = avcodec_find_encoder(codecs.video);
    const AVCodec* audioCodec = avcodec_find_encoder(codecs.audio);
    if (!videoCodec || !audioCodec) {
        error = std::string("this FFmpeg has no encoder for ") + codecs.names;
        return false;
    }
    const bool globalHeader = (container->flags & AVFMT_GLOBALHEADER) != 0;

    s.video = avcodec_alloc_context3(videoCodec);
    s.audio = avcodec_alloc_context3(audioCodec);
    s.picture = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (!s.video || !s.audio || !s.picture || !s.packet) return s.Fail(error, "cannot set up the encoders", AVERROR(ENOMEM));

    AVCodecContext* v = s.video;
    v->width = settings.width;
    v->height = settings.height;
    v->pix_fmt = AV_PIX_FMT_YUV420P;
    v->time_base = AVRational{1, settings.fps};
    v->framerate = AVRational{settings.fps, 1};
    v->sample_aspect_ratio = AVRational{1, 1};
    v->gop_size = kKeyFrameSeconds * settings.fps;
    v->color_primaries = AVCOL_PRI_BT709;
    v->color_trc = AVCOL_TRC_BT709;
    v->colorspace = AVCOL_SPC_BT709;
    v->color_range = AVCOL_RANGE_MPEG;
    if (globalHeader) v->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (codecs.video == AV_CODEC_ID_VP9) {
        // Constant quality: no bit rate, the crf alone; crf 0 is lossless, as with x264.
        v->bit_rate = 0;
        av_opt_set(v->priv_data, "deadline", kVp9Deadline, 0);
        av_opt_set_int(v->priv_data, "cpu-used", kVp9CpuUsed, 0);
        av_opt_set_int(v->priv_data, "row-mt", 1, 0);
        if (settings.crf == 0.0) av_opt_set_int(v->priv_data, "lossless", 1, 0);
    } else {
        av_opt_set(v->priv_data, "preset", kX264Preset, 0);
    }
    av_opt_set_double(v->priv_data, "crf", settings.crf, 0);
    if ((r = avcodec_open2(v, videoCodec, nullptr)) < 0) return s.Fail(error, std::string("cannot start the ") + videoCodec->name + " encoder", r);

    AVCodecContext* a = s.audio;
    const bool opus = codecs.audio == AV_CODEC_ID_OPUS;
    // Opus takes interleaved floats at its own rate; AAC planar floats at the mixer's.
    a->sample_fmt = opus ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_FLTP;
    a->sample_rate = opus ? kOpusRate : settings.sampleRate;
    av_channel_layout_default(&a->ch_layout, 2);
    a->bit_rate = opus ? kOpusBitRate : kAudioBitRate;
    a->time_base = AVRational{1, a->sample_rate};
    if (globalHeader) a->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if ((r = avcodec_open2(a, audioCodec, nullptr)) < 0) return s.Fail(error, std::string("cannot start the ") + audioCodec->name + " encoder", r);
    if (a->sample_rate != settings.sampleRate) {
        r = swr_alloc_set_opts2(&s.resampler, &a->ch_layout, AV_SAMPLE_FMT_FLT, a->sample_rate, &a->ch_layout,
                                AV_SAMPLE_FMT_FLT, settings.sampleRate, 0, nullptr);
        if (r >= 0) r = swr_init(s.resampler);
        if (r < 0) return s.Fail(error, "cannot set up the sound's resampling", r);
    }

    s.videoStream = avformat_new_stream(s.format, nullptr);
    s.audioStream = avformat_new_stream(s.format, nullptr);
    if (!s.videoStream || !s.audioStream) return s.Fail(error, "cannot set up " + settings.path, AVERROR(ENOMEM));
    avcodec_parameters_from_context(s.videoStream->codecpar, v);
    s.videoStream->time_base = v->time_base;
    s.videoStream->avg_frame_rate = v->framerate;
    avcodec_parameters_from_context(s.audioStream->codecpar, a);
    s.audioStream->time_base = a->time_base;

    s.picture->format = v->pix_fmt;
    s.picture->width = v->width;
    s.picture->height = v->height;
    if ((r = av_frame_get_buffer(s.picture, 0)) < 0) return s.Fail(error, "cannot set up the encoders", r);

    if ((r = avio_open(&s.format->pb, settings.path.c_str(), AVIO_FLAG_WRITE)) < 0)
        return s.Fail(error, "cannot write " + settings.path, r);
    s.fileOpen = true;
    // MP4 and its kin: the index goes in front, so the file plays while it downloads.
    if (av_opt_find(s.format->priv_data, "movflags", nullptr, 0, 0))
        av_opt_set(s.format->priv_data, "movflags", "+faststart", 0);
    if ((r = avformat_write_header(s.format, nullptr)) < 0) return s.Fail(error, "cannot write " + settings.path, r);
    if (s.format->pb->error < 0) return s.Fail(error, "cannot write " + settings.path, s.format->pb->error);
    s.headerWritten = true;
    return true;
}

bool VideoFile::AddPicture(const std::uint8_t* bgra, int width, int height, int stride, std::string& error) {
    State& s = *m_state;
    if (!s.headerWritten || s.finished) {
        error = "the video file is not open";
        return false;
    }
    if (!s.scaler || s.scalerWidth != width || s.scalerHeight != height) {
        sws_freeContext(s.scaler);
        s.scaler = sws_getContext(width, height, AV_PIX_FMT_BGRA, s.video->width, s.video->height,
                                  AV_PIX_FMT_YUV420P, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
        if (!s.scaler) return s.Fail(error, "cannot convert the picture", AVERROR(EINVAL));
        // Full-range RGB in, BT.709 limited-range YUV out, as the stream is tagged.
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(s.scaler, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
        s.scalerWidth = width;
        s.scalerHeight = height;
    }
    int r = av_frame_make_writable(s.picture);
    if (r < 0) return s.Fail(error, "encoding failed", r);
    const std::uint8_t* planes[1] = {bgra};
    const int strides[1] = {stride};
    sws_scale(s.scaler, planes, strides, 0, height, s.picture->data, s.picture->linesize);
    s.picture->pts = s.pictures++;
    if ((r = avcodec_send_frame(s.video, s.picture)) < 0) return s.Fail(error, "encoding failed", r);
    return s.Drain(s.video, s.videoStream, error);
}

bool VideoFile::AddSound(const float* stereo, int frames, std::string& error) {
    State& s = *m_state;
    if (!s.headerWritten || s.finished) {
        error = "the video file is not open";
        return false;
    }
    if (s.resampler) {
        if (!s.Resample(stereo, frames, error)) return false;
    } else {
        s.pendingSound.insert(s.pendingSound.end(), stereo, stereo + 2 * static_cast<size_t>(frames));
    }
    const int frameSize = s.audio->frame_size > 0 ? s.audio->frame_size : 1024;
    while (s.pendingSound.size() >= 2 * static_cast<size_t>(frameSize))
        if (!s.SendSound(frameSize, error)) return false;
    return true;
}

bool VideoFile::Finish(std::string& error) {
    State& s = *m_state;
    if (!s.headerWritten || s.finished) {
        error = "the video file is not open";
        return false;
    }
    s.finished = true;
    // What the resampler still holds (its filter's delay) comes out before the last frame.
    if (s.resampler && !s.Resample(nullptr, 0, error)) return false;
    // The last AAC frame may be short; an encoder that needs whole frames gets silence after it.
    if (!s.pendingSound.empty()) {
        int frames = static_cast<int>(s.pendingSound.size() / 2);
        const int frameSize = s.audio->frame_size > 0 ? s.audio->frame_size : 1024;
        if (!(s.audio->codec->capabilities & (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE))) {
            s.pendingSound.resize(2 * static_cast<size_t>(frameSize), 0.0f);
            frames = frameSize;
        }
        if (!s.SendSound(frames, error)) return false;
    }
    int r = avcodec_send_frame(s.video, nullptr);
    if (r < 0 || !s.Drain(s.video, s.videoStream, error)) return r < 0 ? s.Fail(error, "encoding failed", r) : false;
    r = avcodec_send_frame(s.audio, nullptr);
    if (r < 0 || !s.Drain(s.audio, s.audioStream, error)) return r < 0 ? s.Fail(error, "encoding failed", r) : false;
    r = av_write_trailer(s.format);
    if (r >= 0 && s.format->pb->error < 0) r = s.format->pb->error;
    if (r < 0) return s.Fail(error, "writing " + s.settings.path + " failed", r);
    s.fileOpen = false;
    if ((r = avio_closep(&s.format->pb)) < 0) return s.Fail(error, "writing " + s.settings.path + " failed", r);
    return true;
}

}  // namespace capture
