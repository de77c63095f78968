// captions.h - Captions, short lines of text from a file that pop up at random places, grow,
// hold for a second, fade out over two and come back elsewhere after a random pause.
// Depends on: CIni, the runtime-compatible rand, the renderer's texture presets, the large
// bitmap font.
#pragma once

#include <string>
#include <vector>

#include "platform/d3d8/d3d8types.h"

class Captions {
public:
    static constexpr int kMaxCaptions = 128;

    // One caption per data line of the file; a missing file leaves none.
    explicit Captions(const char* path);

    // t in demo seconds. The first call latches the start time; every later frame at the same
    // t reseeds rand identically, so the respawns depend only on the time of the frame.
    void Render(float t);

    int Count() const { return static_cast<int>(m_texts.size()); }

    std::vector<std::string> m_texts;
    // Screen centre of each caption in back-buffer pixels.
    float m_afPositions[kMaxCaptions][2] = {};
    // Demo time at which each caption next shows.
    float m_afAppear[kMaxCaptions] = {};
    // Demo time of the first Render; 0 until then.
    float m_fStartTime = 0.0f;
};

// The 800 x 600 screen to the -1 ... 1 coordinates BitmapFont::DrawString takes.
float ScreenToViewX(int x);
float ScreenToViewY(int y);

// The colour of a caption age seconds old: white at alpha 201 in its first second, then alpha
// falling from 200 to 0 over two seconds; 0 (not drawn) from 3 seconds on.
D3DCOLOR CaptionColour(float age);
