// imageassets.cpp - the table of every picture file and the generator that makes it.
#include "textures.h"

namespace assetgen {

std::vector<ImageAsset> ImageAssets() {
    using K = ImageKind;
    return {
        {"back2.jpg", K::Jpeg, MakeBack2},
        {"back.jpg", K::Jpeg, MakeBack},
        {"back3.jpg", K::Jpeg, MakeBack3},
        {"stq1.png", K::Png, [] { return MakeStq(1); }},
        {"stq2.png", K::Png, [] { return MakeStq(2); }},
        {"stq3.png", K::Png, [] { return MakeStq(3); }},
        {"stq4.png", K::Png, [] { return MakeStq(4); }},
        {"stq5.png", K::Png, [] { return MakeStq(5); }},
        {"h3.jpg", K::Jpeg, MakeH3},
        {"tc.jpg", K::Jpeg, MakeTc},
        {"news.jpg", K::Jpeg, MakeNews},
        {"fx4.jpg", K::Jpeg, MakeFx4},
        {"under.jpg", K::Jpeg, MakeUnder},
        {"tarnel.png", K::PngAlpha, MakeTarnel},
        {"shibumi.jpg", K::Jpeg, MakeShibumi},
        {"flara1.jpg", K::Jpeg, [] { return MakeFlare(1); }},
        {"flara2.jpg", K::Jpeg, [] { return MakeFlare(2); }},
        {"flara3.jpg", K::Jpeg, [] { return MakeFlare(3); }},
        {"flarabezinv.jpg", K::Jpeg, MakeFlareSprite},
        {"flarainv.jpg", K::Jpeg, MakeFlareInverse},
        {"pas1.jpg", K::JpegPair, MakeStripe},
        {"8802.jpg", K::JpegPair, MakeSkyline},
        {"layerbok.jpg", K::Jpeg, MakeOrnamentBand},
        {"qll.jpg", K::Jpeg, [] { return MakeLogoStrip("QUILL", 251, 178); }},
        {"hlv.jpg", K::Jpeg, [] { return MakeLogoStrip("HALVORINE", 252, 128); }},
        {"logo.png", K::PngAlpha, MakeLogo},
        {"hlvqll.jpg", K::Jpeg, MakeMakers},
        {"cre1.png", K::PngAlpha, [] { return MakeCredits(1); }},
        {"cre2.png", K::PngAlpha, [] { return MakeCredits(2); }},
        {"cre3.png", K::PngAlpha, [] { return MakeCredits(3); }},
        {"cre4.png", K::PngAlpha, [] { return MakeCredits(4); }},
        {"vosk.png", K::PngAlpha, MakeClosing},
        {"pod.jpg", K::Jpeg, MakeSignature},
        {"black.jpg", K::Jpeg, [] { return MakePlain(0); }},
        {"white.jpg", K::Jpeg, [] { return MakePlain(1); }},
        {"strip1.jpg", K::Jpeg, [] { return MakeLayerStrips(1); }},
        {"strip2.jpg", K::Jpeg, [] { return MakeLayerStrips(2); }},
    };
}

}  // namespace assetgen
