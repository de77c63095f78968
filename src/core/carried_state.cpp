// carried_state.cpp - the holders of carried state, and the random sequence's position, kept at
// the end of start-up and put back before a jump.
#include "core/carried_state.h"

#include <map>
#include <utility>

#include "core/crt_rand.h"

namespace crt = velunar::crt;

namespace {

struct Holder {
    std::function<void()> keep, restore;
};

// Keyed by the holder's address, so a scene built again replaces its entry.
std::map<const void*, Holder>& Holders() {
    static std::map<const void*, Holder> holders;
    return holders;
}

unsigned g_uStartUpRand = 1;

}  // namespace

void CarryBetweenFrames(const void* id, std::function<void()> keep, std::function<void()> restore) {
    Holders()[id] = Holder{std::move(keep), std::move(restore)};
}

void KeepStartUpState() {
    g_uStartUpRand = crt::RandState();
    for (auto& [id, holder] : Holders()) holder.keep();
}

void RestoreStartUpState() {
    crt::srand(g_uStartUpRand);
    for (auto& [id, holder] : Holders()) holder.restore();
}
