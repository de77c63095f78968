// fx02_math.h - fx02's arithmetic: the music level that swells its mesh.
// Depends on: nothing.
#pragma once

// fx02's level L: the square of the mean of the spectrum's first 128 bands; 0 without a spectrum.
float Fx02Level(const float* spectrum);
