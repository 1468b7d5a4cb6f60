// The font toolbox of glyphmill: rename, remove, move, set and copy fonts of
// an image by the model's own rules, without the editor.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <map>
#include <string>

class Font;
class FontImage;
struct Charset;

void AddToolboxCommands(CLI::App& app, int& exitCode);

// Every font's number as the image numbers it now, to tell afterwards which
// fonts a change has renumbered.
using FontNumbers = std::map<const Font*, int>;
FontNumbers NumbersOf(const FontImage& image);

// Saves a changed image to out (only through SaveImage; force replaces a
// read-only file of the user's). Once it is saved,
// tellChange says what changed; every font but subject (one tellChange
// accounts for, or null) whose number in the saved file differs from its
// number before is named, and so are the "Empty" fillers saving added (the
// two-bank layout can move fonts the change did not touch); "OUT: saved"
// ends the report, which shows names in charset. Returns the exit code.
int SaveChanged(FontImage& image, const std::string& out, bool force, const FontNumbers& before,
                const std::function<void()>& tellChange, const Font* subject, const Charset& charset);
