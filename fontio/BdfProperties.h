// Properties of the BDF glyphmill writes beyond the usual ones. A font that
// carries the interval and the limit is one of ours: its import takes each
// symbol's width from the glyph's advance less the interval, and restores
// the interval and the limit, so that export and import give the same font.
#pragma once

constexpr const char* kHeightProperty = "GLYPHMILL_HEIGHT";
constexpr const char* kIntervalProperty = "GLYPHMILL_INTERVAL";
constexpr const char* kHeightLimitProperty = "GLYPHMILL_HEIGHT_LIMIT";
