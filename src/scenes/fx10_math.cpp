// fx10_math.cpp - fx10's camera height.
#include "scenes/fx10_math.h"

float Fx10CameraHeight(float t) {
    float d = (t - 47.972f) * 20.0f;
    if (d > 190.0f) d = 190.0f;
    return 200.1f - d;
}
