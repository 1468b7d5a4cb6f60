// The one rule by which a coloured pixel becomes a printed dot, shared by the
// Windows font import, the bitmap file import and the clipboard import.
// Portable: no platform types.
#pragma once

// A pixel is ink when the mean of its red, green and blue (0-255 each) is
// below 128; anything lighter is background.
constexpr bool IsInkColour(int red, int green, int blue) { return (red + green + blue) / 3 < 128; }
