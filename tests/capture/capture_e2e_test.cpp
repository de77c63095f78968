// velunar --capture as a process, its files decoded back through libavformat: streams, frames and
// sound of a two-second span, the refusals before the first frame, a write failure, an early stop.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/fsound/fmod.h"
#include "platform/fsound/pcm.h"
#include "support/image.h"
#include "support/velunar_run.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// CTest runs each case as a process of its own: each works in a folder of its own that sees the
// runnable tree.
fs::path WorkDir() {
    const fs::path work = fs::path(VELUNAR_TEST_TMP) / ("work" + std::to_string(::getpid()));
    velunar_test::LinkRunTree(work);
    return work;
}

std::string ReadText(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

using Picture = velunar_test::Image;
using velunar_test::Outcome;
using velunar_test::ReadPng;

Outcome Velunar(const fs::path& work, const std::vector<std::string>& args, const std::function<void()>& child = {}) {
    return velunar_test::FinishVelunar(work, velunar_test::StartVelunar(work, args, child));
}

double Psnr(const Picture& a, const Picture& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 0.0;
    double sum = 0.0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        const double d = static_cast<double>(a.rgb[i]) - b.rgb[i];
        sum += d * d;
    }
    const double mse = sum / static_cast<double>(a.rgb.size());
    return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// What a video file holds, decoded as a player would.
struct Decoded {
    bool opened = false;
    std::string container, videoCodec, audioCodec;
    int videoStreams = 0, audioStreams = 0;
    int width = 0, height = 0;
    AVPixelFormat pixels = AV_PIX_FMT_NONE;
    AVColorSpace colorspace = AVCOL_SPC_UNSPECIFIED;
    AVColorPrimaries primaries = AVCOL_PRI_UNSPECIFIED;
    AVColorTransferCharacteristic transfer = AVCOL_TRC_UNSPECIFIED;
    AVColorRange range = AVCOL_RANGE_UNSPECIFIED;
    AVRational frameRate{0, 1};
    long frames = 0;
    std::vector<Picture> kept;  // the frames asked for, in order, as RGB
    int sampleRate = 0;
    std::vector<float> left;  // the sound's left channel
};

Decoded Decode(const fs::path& path, const std::set<long>& keep) {
    Decoded d;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return d;
    if (avformat_find_stream_info(format, nullptr) < 0) {
        avformat_close_input(&format);
        return d;
    }
    d.opened = true;
    d.container = format->iformat->name;
    AVCodecContext* codecs[16] = {};
    for (unsigned i = 0; i < format->nb_streams && i < 16; ++i) {
        const AVCodecParameters* par = format->streams[i]->codecpar;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++d.videoStreams;
            d.videoCodec = avcodec_get_name(par->codec_id);
            d.width = par->width;
            d.height = par->height;
            d.pixels = static_cast<AVPixelFormat>(par->format);
            d.colorspace = par->color_space;
            d.primaries = par->color_primaries;
            d.transfer = par->color_trc;
            d.range = par->color_range;
            d.frameRate = format->streams[i]->avg_frame_rate;
        } else if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
            ++d.audioStreams;
            d.audioCodec = avcodec_get_name(par->codec_id);
            d.sampleRate = par->sample_rate;
        } else {
            continue;
        }
        if (!codec) continue;
        codecs[i] = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(codecs[i], par);
        // One thread: the frames come out in order and the test stays light.
        codecs[i]->thread_count = 1;
        if (avcodec_open2(codecs[i], codec, nullptr) < 0) avcodec_free_context(&codecs[i]);
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* toRgb = nullptr;
    auto take = [&](AVCodecContext* c) {
        while (avcodec_receive_frame(c, frame) == 0) {
            if (c->codec_type == AVMEDIA_TYPE_VIDEO) {
                if (keep.count(d.frames)) {
                    Picture p;
                    p.width = frame->width;
                    p.height = frame->height;
                    p.rgb.resize(static_cast<size_t>(p.width) * p.height * 3);
                    toRgb = sws_getCachedContext(toRgb, frame->width, frame->height,
                                                 static_cast<AVPixelFormat>(frame->format), p.width, p.height,
                                                 AV_PIX_FMT_RGB24, SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT,
                                                 nullptr, nullptr, nullptr);
                    // Read as tagged: BT.709, limited range.
                    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
                    sws_setColorspaceDetails(toRgb, bt709, frame->color_range == AVCOL_RANGE_JPEG, bt709, 1, 0, 1 << 16,
                                             1 << 16);
                    std::uint8_t* dst[1] = {p.rgb.data()};
                    const int dstStride[1] = {p.width * 3};
                    sws_scale(toRgb, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
                    d.kept.push_back(std::move(p));
                }
                ++d.frames;
            } else if (frame->format == AV_SAMPLE_FMT_FLTP) {
                const auto* l = reinterpret_cast<const float*>(frame->data[0]);
                d.left.insert(d.left.end(), l, l + frame->nb_samples);
            }
            av_frame_unref(frame);
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        AVCodecContext* c = packet->stream_index < 16 ? codecs[packet->stream_index] : nullptr;
        if (c && avcodec_send_packet(c, packet) >= 0) take(c);
        av_packet_unref(packet);
    }
    for (AVCodecContext*& c : codecs) {
        if (!c) continue;
        avcodec_send_packet(c, nullptr);
        take(c);
        avcodec_free_context(&c);
    }
    sws_freeContext(toRgb);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return d;
}

// The track as the sound layer plays it at full volume: the left channel, -1 ... 1.
std::vector<float> TrackLeft(int rate) {
    velunar::fsound::Pcm pcm;
    std::string error;
    if (!velunar::fsound::DecodeFile(std::string(VELUNAR_RUN_DIR) + "/velunar.mp3", FSOUND_NORMAL, pcm, error)) return {};
    pcm = velunar::fsound::Resample(pcm, rate, velunar::fsound::Resampling::kCubic);
    std::vector<float> left(pcm.Frames());
    for (size_t i = 0; i < left.size(); ++i) left[i] = pcm.samples[2 * i] / 32768.0f;
    return left;
}

// A capture of demo times -1 ... 1 at 30 fps, decoded keeping frame 15: one 800 x 600 yuv420p
// video stream of 60 frames and one sound stream, in the container and codecs named; frame 15
// (demo clock 4000 + 500 ms, demo time -0.5) is the picture --at renders.
void ExpectTwoSecondSpan(const fs::path& work, const Decoded& d, const char* container, const char* video,
                         const char* audio) {
    ASSERT_TRUE(d.opened);
    EXPECT_NE(d.container.find(container), std::string::npos) << d.container;
    EXPECT_EQ(d.videoStreams, 1);
    EXPECT_EQ(d.audioStreams, 1);
    EXPECT_EQ(d.videoCodec, video);
    EXPECT_EQ(d.audioCodec, audio);
    EXPECT_EQ(d.width, 800);
    EXPECT_EQ(d.height, 600);
    EXPECT_EQ(d.pixels, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(d.frames, 60);
    ASSERT_EQ(Velunar(work, {"--at", "-0.5", "--shot", "at.png"}).status, 0);
    const Picture at = ReadPng(work / "at.png");
    ASSERT_EQ(d.kept.size(), 1u);
    ASSERT_EQ(at.width, 800);
    EXPECT_GT(Psnr(d.kept[0], at), 35.0);
}

// Demo times -1 ... 1 at 30 fps: the end of the title picture, the music's start at file time 1 s.
TEST(Capture, TwoSecondsDecodeToTheShowAndItsMusic) {
    const fs::path work = WorkDir();
    const Outcome run = Velunar(work, {"--capture", "span.mp4", "--fps", "30", "--from", "-1", "--to", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("wrote span.mp4: 60 frames"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(work / "debug.txt")) << "the log stays only with -debug";

    const Decoded d = Decode(work / "span.mp4", {15});
    ExpectTwoSecondSpan(work, d, "mp4", "h264", "aac");
    EXPECT_EQ(d.colorspace, AVCOL_SPC_BT709);
    EXPECT_EQ(d.primaries, AVCOL_PRI_BT709);
    EXPECT_EQ(d.transfer, AVCOL_TRC_BT709);
    EXPECT_EQ(d.range, AVCOL_RANGE_MPEG);
    EXPECT_EQ(av_cmp_q(d.frameRate, AVRational{30, 1}), 0);

    // The index is in front of the pictures, so the file plays while it downloads.
    const std::string head = ReadText(work / "span.mp4").substr(0, 1 << 16);
    ASSERT_NE(head.find("moov"), std::string::npos);
    EXPECT_LT(head.find("moov"), head.find("mdat"));

    // Sound: two seconds, silent before demo time 0 (the encoder's window may smear a little of the
    // start backwards, never more than two of its frames), then the track from its first sample.
    ASSERT_EQ(d.sampleRate, 44100);
    const long lead = 44100;
    ASSERT_GE(d.left.size(), 88200u);
    EXPECT_LE(d.left.size(), 88200u + 1024u);
    float before = 0.0f;
    for (long i = 0; i < lead - 2048; ++i) before = std::max(before, std::fabs(d.left[i]));
    EXPECT_LT(before, 1e-4f);
    const std::vector<float> track = TrackLeft(d.sampleRate);
    ASSERT_GT(track.size(), 88200u);
    // Where the file's sound matches the track best: it must be exactly `lead` samples in.
    const long from = 8192, length = 16384;
    long bestLag = 0;
    double best = -1.0, energyFile = 0.0, energyTrack = 0.0;
    for (long k = 0; k < length; ++k) {
        energyFile += double(d.left[lead + from + k]) * d.left[lead + from + k];
        energyTrack += double(track[from + k]) * track[from + k];
    }
    ASSERT_GT(energyTrack, 1e-3) << "the track should not be silent here";
    for (long lag = -2000; lag <= 2000; ++lag) {
        double sum = 0.0;
        for (long k = 0; k < length; ++k) sum += double(d.left[lead + from + k + lag]) * track[from + k];
        if (sum > best) {
            best = sum;
            bestLag = lag;
        }
    }
    EXPECT_EQ(bestLag, 0);
    EXPECT_GT(best / std::sqrt(energyFile * energyTrack), 0.95) << "the file's sound should be the track";
}

// WebM for the web: VP9 pictures and Opus sound at 48 kHz; the same pictures, the music from 1 s.
TEST(Capture, WebmIsVp9AndOpus) {
    const fs::path work = WorkDir();
    const Outcome run = Velunar(work, {"--capture", "span.webm", "--fps", "30", "--from", "-1", "--to", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Decoded d = Decode(work / "span.webm", {15});
    ExpectTwoSecondSpan(work, d, "webm", "vp9", "opus");

    // Two seconds of sound at 48 kHz: silent before demo time 0, the track after it.
    ASSERT_EQ(d.sampleRate, 48000);
    ASSERT_GE(d.left.size(), 96000u - 960u);
    EXPECT_LE(d.left.size(), 96000u + 2 * 960u);
    float before = 0.0f, after = 0.0f;
    for (long i = 0; i < 48000 - 2 * 960; ++i) before = std::max(before, std::fabs(d.left[i]));
    for (long i = 48000 + 4800; i < 96000 - 960; ++i) after = std::max(after, std::fabs(d.left[i]));
    EXPECT_LT(before, 1e-3f);
    EXPECT_GT(after, 0.05f);
}

// At --scale 2 the video is 1600 x 1200, and its pictures are the --at frames at that scale.
TEST(Capture, AScaledSpanIsVideoOfThatSize) {
    const fs::path work = WorkDir();
    const Outcome run =
        Velunar(work, {"--capture", "big.mkv", "--fps", "10", "--from", "30", "--to", "30.5", "--scale", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Decoded d = Decode(work / "big.mkv", {2});
    ASSERT_TRUE(d.opened);
    EXPECT_EQ(d.width, 1600);
    EXPECT_EQ(d.height, 1200);
    EXPECT_EQ(d.frames, 5);
    ASSERT_EQ(Velunar(work, {"--at", "30.2", "--shot", "at.png", "--scale", "2"}).status, 0);
    const Picture at = ReadPng(work / "at.png");
    ASSERT_EQ(at.width, 1600);
    ASSERT_EQ(d.kept.size(), 1u);
    EXPECT_GT(Psnr(d.kept[0], at), 35.0);
}

// Bad names and bad options are refused before start-up (no log is written) with a reason.
TEST(Capture, RefusesBeforeTheFirstFrame) {
    const fs::path work = WorkDir();
    std::ofstream(work / "plain").put('x');
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* inError;
        const char* file;
    };
    const Case cases[] = {
        {{"--capture", "show.xyz"}, 1, "cannot tell a video format from the name show.xyz", "show.xyz"},
        {{"--capture", "show.wav"}, 1, "cannot hold H.264 video with AAC sound", "show.wav"},
        {{"--capture", "plain/show.mp4"}, 1, "cannot write plain/show.mp4: Not a directory", nullptr},
        {{"--capture", "missing/show.mp4"}, 1, "cannot write missing/show.mp4: No such file", nullptr},
        {{"--capture", "show.mp4", "--from", "3", "--to", "2"}, 2, "--from must come before --to", "show.mp4"},
        {{"--capture", "show.mp4", "--fps", "0"}, 2, "--fps needs", "show.mp4"},
        {{"--to", "3"}, 2, "--to goes with --capture", nullptr},
    };
    for (const Case& c : cases) {
        const Outcome r = Velunar(work, c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1];
        EXPECT_NE(r.err.find(c.inError), std::string::npos) << r.err;
        if (c.file) {
            EXPECT_FALSE(fs::exists(work / c.file)) << c.file;
        }
        EXPECT_FALSE(fs::exists(work / "debug.txt")) << c.args[1] << ": start-up should not have run";
    }
}

// A file that cannot grow any further (as on a full disk): the run stops with a reason and status 1.
TEST(Capture, FailedWriteStopsWithAReason) {
    const fs::path work = WorkDir();
    const Outcome r = Velunar(work, {"--capture", "big.mp4", "--fps", "30", "--from", "-5", "--to", "5", "--crf", "0"}, [] {
        // Past 96 KB writes fail with EFBIG instead of killing the process.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{96 * 1024, 96 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("writing big.mp4 failed: File too large"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("big.mp4 is incomplete"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("wrote big.mp4"), std::string::npos) << r.err;
}

// Ctrl+C part-way: the file is finalised and plays, holding exactly the frames done.
TEST(Capture, InterruptedRunLeavesAPlayableFile) {
    const fs::path work = WorkDir();
    const pid_t pid = velunar_test::StartVelunar(work, {"--capture", "part.mkv", "--fps", "30"});
    // Stop once some of the show is in the file.
    auto written = [&] {
        std::error_code ec;
        const auto size = fs::file_size(work / "part.mkv", ec);
        return ec ? 0 : size;
    };
    for (auto until = std::chrono::steady_clock::now() + 180s;
         std::chrono::steady_clock::now() < until && written() < 64 * 1024;)
        std::this_thread::sleep_for(50ms);
    kill(pid, SIGINT);
    const Outcome r = velunar_test::FinishVelunar(work, pid);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto at = r.err.find("stopped by Ctrl+C");
    ASSERT_NE(at, std::string::npos) << r.err;
    long held = -1;
    const auto holds = r.err.find("holds the ", at);
    ASSERT_NE(holds, std::string::npos) << r.err;
    held = std::stol(r.err.substr(holds + 10));
    EXPECT_GT(held, 0);
    EXPECT_LT(held, 175 * 30);

    const Decoded d = Decode(work / "part.mkv", {});
    ASSERT_TRUE(d.opened);
    EXPECT_NE(d.container.find("matroska"), std::string::npos) << d.container;
    EXPECT_EQ(d.videoCodec, "h264");
    EXPECT_EQ(d.audioCodec, "aac");
    EXPECT_EQ(d.frames, held);
    // The sound runs as long as the pictures. Matroska keeps the encoder's priming frame (its
    // timestamps put the pictures after it) and the padded last one: two frames more at most.
    const double sound = double(d.left.size()) / d.sampleRate, pictures = double(held) / 30.0;
    EXPECT_GE(sound, pictures);
    EXPECT_LE(sound, pictures + 2048.0 / d.sampleRate);
}

}  // namespace
