// fx10_math.h - fx10's arithmetic: the camera's descent onto the flower.
// Depends on: nothing.
#pragma once

// fx10's camera height above the flower at demo time t: 200.1 at 47.972 s, falling 20 units per
// second to 10.1 at 57.472 s, then staying there.
float Fx10CameraHeight(float t);
