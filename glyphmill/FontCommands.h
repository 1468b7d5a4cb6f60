// The font commands of glyphmill: import from TrueType, OpenType, BDF and
// PCF fonts, export as BDF, and pictures of the fonts (sheet, render).
#pragma once

#include <CLI/CLI.hpp>

#include <string>

class FontImage;

void AddFontCommands(CLI::App& app, int& exitCode);

// Whether index names a font of image; if not, error says which do.
bool CheckFontIndex(const FontImage& image, int index, std::string& error);
