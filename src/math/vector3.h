// vector3.h - Vector3, the three-float position, target and angle type of the camera and the
// meshes, and RotatePoint, the one rotation the program does itself.
// Depends on: nothing.
#pragma once

struct Vector3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vector3() = default;
    Vector3(float fx, float fy, float fz) : x(fx), y(fy), z(fz) {}
    Vector3(const Vector3& o) = default;
    Vector3& operator=(const Vector3& o) {
        if (this != &o) {
            x = o.x;
            y = o.y;
            z = o.z;
        }
        return *this;
    }

    // A copy, for reading a vector member out of another object.
    Vector3 Get() const { return *this; }
};

// Turns (x, y, z) about X, then Y, then Z by angles in degrees; writes each non-null output.
// Outputs may alias the inputs.
void RotatePoint(float x, float y, float z, float angleX, float angleY, float angleZ, float* pOutX,
                 float* pOutY, float* pOutZ);
