// The font commands of glyphmill: import from TrueType, OpenType, BDF and
// PCF fonts, export as BDF, and pictures of the fonts (sheet, render).
#pragma once

#include <CLI/CLI.hpp>

#include <string>

struct Charset;

void AddFontCommands(CLI::App& app, int& exitCode);

// A font's name bytes for text: its characters in charset, at most 8 (a
// longer name is cut with a warning). False, with error saying why, for text
// that is not UTF-8 or a character the charset lacks.
bool FontNameBytes(const std::string& text, const Charset& charset, std::string& bytes, std::string& error);
