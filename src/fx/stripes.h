// stripes.h - CPaski, horizontal stripes of light sliding sideways across the band at their own
// speeds, each a stretched copy of the "CPaski" texture drawn through the renderer's D3DX sprite.
// Depends on: the renderer (texture table, presets, sprite), the runtime-compatible rand, the log.
#pragma once

#include "platform/wintypes.h"

#include <vector>

class CPaski {
public:
    struct Stripe {
        float x;          // base x in pixels; moved by the wraps
        float y;          // top in pixels
        float drawX;      // where it is drawn this frame
        float drawY;
        float width;      // horizontal stretch base: 5, 7, 9, 11 or 13
        float speed;      // relative speed 0.2 ... 1.199
        DWORD colour;     // the object's colour as of the last update
        float direction;  // exactly 1 moves left; -1 and 0 move right
    };

    // Draws six random numbers per stripe, in a fixed order (start-up relies on it). A copy holds
    // the stripes and the start as they stand (a jump puts back the copy start-up kept).
    explicit CPaski(unsigned count);

    // t in demo seconds; the first call latches the start time.
    void Update(float t);
    void Render();

    const Stripe* Stripes() const { return m_stripes.data(); }
    unsigned Count() const { return m_nCount; }
    float StartTime() const { return m_fStartTime; }

    // Set by the scene before Update, which hands it to every stripe.
    DWORD colour = 0;
    float speedScale = 1.0f;

private:
    std::vector<Stripe> m_stripes;
    unsigned m_nCount = 0;
    float m_fStartTime = 0.0f;
};
