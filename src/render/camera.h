// camera.h - Camera, the eye and the point it looks at; up is always +Y. One instance is
// registered with the renderer at start-up and moved by the scenes every frame.
// Depends on: Vector3.
#pragma once

#include "math/vector3.h"

class Camera {
public:
    Camera() = default;
    void Set(float px, float py, float pz, float tx, float ty, float tz) {
        m_vPosition = Vector3(px, py, pz);
        m_vTarget = Vector3(tx, ty, tz);
    }

    Vector3 m_vPosition{0.0f, 0.0f, 0.0f};
    Vector3 m_vTarget{0.0f, 0.0f, 0.0f};
};
