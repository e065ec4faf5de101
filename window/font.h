// font.h — the runtime's built-in 8x8 font.
// Each glyph is eight row bytes, top row first; bit 0x80 is the cell's leftmost column.
#pragma once

#include <cstdint>

// The glyph of a printable ASCII character (0x20..0x7E); null for every other byte.
const std::uint8_t* FontGlyph(unsigned char c);
