// d3dx8.h - the D3DX 8 utility library as the show uses it: maths, sprite, texture file I/O,
// error texts. Include this one header.
#pragma once

#include "platform/d3dx8/d3dx8core.h"
#include "platform/d3dx8/d3dx8math.h"
#include "platform/d3dx8/d3dx8tex.h"
