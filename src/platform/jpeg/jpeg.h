// JPEG decoding and encoding over libjpeg-turbo. A damaged file never ends the process: the
// decoder's fatal errors come back here as Status::Corrupt with libjpeg's own message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velunar::jpeg {

enum class Status { Ok, NotFound, Corrupt };

// Pixels top row first, 4 bytes each: B, G, R, 0. Greyscale is replicated into B, G and R.
// `channels` is what the file holds (1 or 3).
struct Image {
    int width = 0, height = 0, channels = 0;
    std::vector<std::uint8_t> bgrx;
};

// errorText (may be null) receives the decoder's message, or "file not found" for a missing file.
Status DecodeFile(const char* path, Image& out, std::string* errorText);
Status DecodeMemory(const std::uint8_t* data, std::size_t size, Image& out, std::string* errorText);

// rgb: width*height*3 bytes, top row first. For tests and tools.
bool EncodeFile(const char* path, const std::uint8_t* rgb, int width, int height, int quality);

}  // namespace velunar::jpeg
