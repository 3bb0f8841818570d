#pragma once
#include <cstdint>
#include <span>

// The editor's bitmaps, compiled into the program as PNG images.  Each id
// comes at scale 1 and at scale 2 (twice the width and height, for HiDPI
// screens).  The data lives as long as the program.

// The PNG image of a resource id at a scale; empty for an unknown id or
// scale.
std::span<const unsigned char> FindPngResource(int32_t id, int32_t scale = 1);

// Every id there is, ascending.
std::span<const int32_t> ResourceIds();
