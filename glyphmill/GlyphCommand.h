// glyphmill glyph: one symbol of a font written as a PNG, or replaced from a
// PNG or BMP picture as the symbol editor's bitmap import does.
#pragma once

#include <CLI/CLI.hpp>

void AddGlyphCommand(CLI::App& app, int& exitCode);
