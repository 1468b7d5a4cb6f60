// glyphmill diff, and the report of differing fonts it shares with verify.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

class FontImage;

void AddDiffCommand(CLI::App& app, int& exitCode);

// Prints each difference between the fonts of first and second, naming the
// two images by where they come from ("the file", "the printer"), then how many
// there are, or "identical"; returns how many.
int PrintDifferences(const FontImage& first, const std::string& firstPlace, const FontImage& second,
                     const std::string& secondPlace);
