// Each mesh seen through its scene's camera: the 2.0-radian field of view at 800 x 600, the
// scene's scale and projection offset. The picture must sit in front of the camera and cover a
// sensible part of the 800 x 400 band, neither a speck nor far past the screen.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "asset_tree.h"
#include "mesh.h"

using namespace assetgen;
using namespace assettest;

namespace {

struct View {
    const char* file;
    Vec3 eye, at, position;
    float scale;
    float offX, offY;
    float minSize, maxSize;  // the larger of the picture's width and height, in pixels
};

struct Extent {
    float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f, nearest = 1e9f;
};

// Left-handed look-at and perspective as the renderer builds them; y up, screen y down.
Extent Project(const Mesh& m, const View& v) {
    Vec3 z = Normalise(v.at - v.eye), x = Normalise(Cross({0, 1, 0}, z)), y = Cross(z, x);
    float ys = 1 / std::tan(1.0f), xs = ys / (800.0f / 600.0f);
    Extent e;
    for (const Vec3& p0 : m.pos) {
        Vec3 p = p0 * v.scale + v.position - v.eye;
        float cx = Dot(p, x), cy = Dot(p, y), cz = Dot(p, z);
        e.nearest = std::min(e.nearest, cz);
        if (cz <= 0.1f) continue;
        float sx = (cx * xs / cz + v.offX) * 400 + 400, sy = 300 - (cy * ys / cz + v.offY) * 300;
        e.x0 = std::min(e.x0, sx);
        e.x1 = std::max(e.x1, sx);
        e.y0 = std::min(e.y0, sy);
        e.y1 = std::max(e.y1, sy);
    }
    return e;
}

}  // namespace

TEST_F(AssetTree, EveryMeshFitsItsSceneCamera) {
    const View views[] = {
        {"2.obj", {1, 500, 15}, {0, 0, 1}, {}, 1.1f, 0, 0, 90, 400},
        {"2.obj", {1, 500, 15}, {0, 0, 1}, {}, 3.0f, 0, 0, 250, 1600},
        {"geo2.obj", {0, 300, 600}, {0, 0, 0}, {}, 5.0f, 0.83f, -0.32f, 150, 700},
        {"geo3.obj", {0, 200, 590}, {0, 0, 0}, {}, 5.0f, 0.83f, -0.32f, 150, 700},
        {"geo1.obj", {0, 400, 400}, {0, 0, 0}, {}, 4.5f, 0.83f, -0.32f, 150, 700},
        {"foil.obj", {0, 90, 0}, {0, 0, 0.01f}, {}, 1.0f, 0, 0, 300, 2400},
        {"foil.obj", {0, 150, 0}, {0, 0, 0.01f}, {}, 1.0f, 0, 0, 250, 1600},
        {"1.obj", {0, 60, 80}, {0, 0, 0.01f}, {}, 0.9f, 0, 0, 200, 1000},
        {"sys.obj", {0, 190, 0}, {0, 0, 0.01f}, {}, 0.7f, 0, 0, 250, 1200},
        {"sys.obj", {0, 250, 0}, {0, 0, 0.01f}, {}, 0.7f, 0, 0, 200, 900},
        {"5.obj", {0, 2, 280}, {0, 0, 0.01f}, {500, 20, 0}, 0.3f, 0, 0, 40, 200},
        {"ring.obj", {0, 200, 2}, {0, 0, 0.01f}, {}, 0.8f, -0.1f, -0.21f, 250, 700},
        {"ring.obj", {0, 200, 2}, {0, 0, 0.01f}, {0, -160, 0}, 0.4f, -0.1f, -0.21f, 60, 400},
        {"flower.obj", {0.1f, 200.1f, 0.1f}, {0, 0, 1.01f}, {}, 0.5f, 0.83f, -0.32f, 200, 900},
    };
    for (const View& v : views) {
        SCOPED_TRACE(std::string(v.file) + " scale " + std::to_string(v.scale));
        Mesh m;
        ASSERT_TRUE(ReadObj(Data(v.file), m));
        Extent e = Project(m, v);
        EXPECT_GT(e.nearest, 1.0f) << "the camera is inside the mesh";
        float size = std::max(e.x1 - e.x0, e.y1 - e.y0);
        EXPECT_GE(size, v.minSize) << e.x0 << " " << e.y0 << " " << e.x1 << " " << e.y1;
        EXPECT_LE(size, v.maxSize) << e.x0 << " " << e.y0 << " " << e.x1 << " " << e.y1;
        // Some of the mesh is on screen inside the band.
        EXPECT_LT(e.x0, 800);
        EXPECT_GT(e.x1, 0);
        EXPECT_LT(e.y0, 500);
        EXPECT_GT(e.y1, 100);
    }
}
