// The image commands of glyphmill: new, info, check, resave.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <string>
#include <vector>

class FontImage;

void AddImageCommands(CLI::App& app, int& exitCode);

// Reads path as the editor's Open does: only a file of exactly the image's
// size is taken, and then only when it keeps to the format. On failure
// error says why.
bool OpenImage(const std::string& path, FontImage& image, std::string& error);
// OpenImage's two halves, for a command that also needs the file's bytes:
// reading at most one byte past the image's size, then taking the image.
enum class FileRead { kRead, kNotOpened, kNotRead };
FileRead ReadImageFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);
bool ImageFromBytes(const std::string& path, const std::vector<uint8_t>& bytes, FontImage& image, std::string& error);
// Saves image with the model's Save; a refusal is reported. Returns the exit code.
int SaveImage(FontImage& image, const std::string& path);
// A font's 8 name bytes in double quotes, readable on one line: quotes and
// backslashes escaped, other bytes outside printable ASCII as \xNN (\u00NN
// for JSON).
std::string QuotedName(const FontImage& image, int index, bool json = false);
