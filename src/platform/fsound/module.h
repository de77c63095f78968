// module.h - one tracker module rendered by libopenmpt at the mixing rate.
// Depends on: libopenmpt inside module.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velunar::fsound {

class Module {
public:
    // Null when libopenmpt does not recognise the bytes as a module.
    static std::unique_ptr<Module> FromBytes(const std::vector<std::uint8_t>& bytes, std::string& error);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // Renders up to `frames` interleaved stereo frames; fewer (0 at the end) once the song ends.
    int Render(int rate, float* interleaved, int frames);
    int Order() const;
    int Row() const;
    void SetOrder(int order);
    void Restart();
    // Interpolation taps: 1 = none, 4 = cubic, 8 = windowed sinc.
    void SetInterpolation(int taps);

private:
    explicit Module(void* mod) : m_mod(mod) {}
    void* m_mod;
};

}  // namespace velunar::fsound
