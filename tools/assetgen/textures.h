// textures.h - the picture generators, one per data file. Each is a pure function of nothing but
// its fixed seed and returns the finished picture (alpha where the file carries one).
// Depends on: image.h, text.h.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "image.h"

namespace assetgen {

enum class ImageKind {
    Jpeg,       // colour JPEG; alpha ignored
    JpegPair,   // colour JPEG plus "<name>alpha.jpg" holding the alpha as grey
    Png,        // RGB PNG
    PngAlpha,   // RGBA PNG
};

struct ImageAsset {
    std::string file;  // under data/
    ImageKind kind;
    std::function<Image()> make;
};

// Every picture the show loads, plus the strip pictures that layer.ini names.
std::vector<ImageAsset> ImageAssets();

// Tileable pictures (grids and sphere maps): 256 x 256, seamless in both directions.
Image MakeBack2();
Image MakeBack();
Image MakeBack3();
Image MakeStq(int n);
Image MakeH3();
Image MakeTc();
// Letterbox band backgrounds: 1024 x 512, the band shows the top 384 rows.
Image MakeNews();
Image MakeFx4();
Image MakeUnder();
Image MakeTarnel();
Image MakeShibumi();
// Glows.
Image MakeFlare(int n);
Image MakeFlareSprite();
Image MakeFlareInverse();
// Alpha-carrying pictures.
Image MakeStripe();
Image MakeSkyline();
Image MakeOrnamentBand();
Image MakeLogoStrip(const std::string& word, uint32_t seed, int centreRow);
// Type.
Image MakeLogo();
Image MakeMakers();
Image MakeCredits(int n);
Image MakeClosing();
Image MakeSignature();
Image MakePlain(float grey);
// Strip pictures for the image layers: 1024 x 256, four strips of 64 rows, tileable across.
Image MakeLayerStrips(int n);

}  // namespace assetgen
