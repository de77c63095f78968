// damage.h - the ways the damaged-input tests spoil a good file: cut at every length (or every
// step-th length for larger files), and single bytes inverted throughout.
//
// Depends on: nothing but the standard library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace damage {

using Bytes = std::vector<std::uint8_t>;

// Calls use(bytes, what) for every prefix of good (lengths 0, step, 2*step ... below its size) and
// for good with one byte inverted at every step-th offset. `what` names the variant for messages.
inline void ForEach(const Bytes& good, std::size_t step, const std::function<void(const Bytes&, const std::string&)>& use) {
    if (step == 0) step = 1;
    for (std::size_t n = 0; n < good.size(); n += step)
        use(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)), "cut to " + std::to_string(n));
    for (std::size_t i = 0; i < good.size(); i += step) {
        Bytes b = good;
        b[i] ^= 0xff;
        use(b, "byte " + std::to_string(i) + " inverted");
    }
}

}  // namespace damage
