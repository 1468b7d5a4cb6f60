// The font commands of glyphmill: import from TrueType, OpenType, BDF and
// PCF fonts, export as BDF, and pictures of the fonts (sheet, render).
#pragma once

#include <CLI/CLI.hpp>

void AddFontCommands(CLI::App& app, int& exitCode);
