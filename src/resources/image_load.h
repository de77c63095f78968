// image_load.h - JPEG files into plain 32-bit pixel arrays for the alpha-channel texture loaders,
// plus the two small file and string helpers the sprites and captions share.
// Depends on: the JPEG layer (platform/jpeg) and the debug log.
#pragma once

#include "platform/wintypes.h"

// Size of the image most recently decoded by LoadJpg (callers read the out-parameters instead).
extern DWORD g_dwJpgWidth;
extern DWORD g_dwJpgHeight;

// Decodes a JPEG file: width x height pixels, 4 bytes each (blue, green, red, 0), top row first,
// no row padding; greyscale comes back with blue = green = red. Null when the file is missing or
// cannot be decoded (both are logged). The caller frees the array with delete[].
BYTE* LoadJpg(const char* path, DWORD* pWidth, DWORD* pHeight);

// True when the file opens for reading.
bool FileExists(const char* path);

// A new copy of src, cut to maxLen characters when maxLen is non-zero and shorter. Free with delete[].
char* DupString(const char* src, DWORD maxLen);
