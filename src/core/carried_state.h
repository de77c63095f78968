// carried_state.h - what the show carries from one frame to the next (the stripes' start, the
// rising points, the flares' wraps, the captions, the shared grids, the random sequence), and the
// way back to how start-up left it. A jump replays its scene from the scene's start, as a fresh run
// started there does; for the two to agree, everything carried must first be as after start-up.
// Each holder registers once it is built; start-up keeps a copy of all when it is done, and a jump
// puts the copies back before it replays.
// Depends on: the runtime-compatible rand.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

// A holder under `id` (registering the same id again replaces it): `keep` copies its state aside,
// `restore` puts the copy back.
void CarryBetweenFrames(const void* id, std::function<void()> keep, std::function<void()> restore);

// A copyable value, kept and restored in place.
template <class T>
void CarryBetweenFrames(T& value) {
    static_assert(!std::is_pointer_v<T>, "this would carry the pointer: use CarryObjectBetweenFrames for what it points to");
    auto kept = std::make_shared<T>(value);
    CarryBetweenFrames(&value, [&value, kept] { *kept = value; }, [&value, kept] { value = *kept; });
}

// A fixed array, element by element.
template <class T, std::size_t N>
void CarryBetweenFrames(T (&values)[N]) {
    auto kept = std::make_shared<std::array<T, N>>();
    CarryBetweenFrames(
        &values, [&values, kept] { std::copy(values, values + N, kept->begin()); },
        [&values, kept] { std::copy(kept->begin(), kept->end(), values); });
}

// The object `holder` points to when the copy is taken or put back: through its SaveState and
// RestoreState where it has them, else copied whole. Nothing while the holder is null.
template <class T>
void CarryObjectBetweenFrames(T*& holder) {
    if constexpr (requires(T& object) { object.SaveState(); }) {
        auto kept = std::make_shared<std::optional<decltype(holder->SaveState())>>();
        CarryBetweenFrames(
            &holder, [&holder, kept] { if (holder) *kept = holder->SaveState(); },
            [&holder, kept] { if (holder && *kept) holder->RestoreState(**kept); });
    } else {
        auto kept = std::make_shared<std::optional<T>>();
        CarryBetweenFrames(
            &holder, [&holder, kept] { if (holder) kept->emplace(*holder); },
            [&holder, kept] { if (holder && *kept) *holder = **kept; });
    }
}

// Copies every holder's state and the random sequence's position; once, when start-up is done.
void KeepStartUpState();
// Puts every holder and the random sequence back as KeepStartUpState found them.
void RestoreStartUpState();
