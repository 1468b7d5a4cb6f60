// The image commands of glyphmill: new, info, check, resave; and the one way
// every command reads a font image and writes a file.
#pragma once

#include <CLI/CLI.hpp>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FontImage;
struct Charset;

void AddImageCommands(CLI::App& app, int& exitCode);

// Reads path ("-": standard input) as the editor's Open does: only a file of
// exactly the image's size is taken, and then only when it keeps to the
// format. On failure says why and returns the exit code: kFileNotOpened,
// kFileNotRead, or kBadImage for what it read.
int OpenImage(const std::string& path, FontImage& image);
// OpenImage's two halves, for a command that also needs the file's bytes:
// reading at most one byte past the image's size (on failure it says why and
// returns the exit code), then taking the image (false, with error saying
// why: the exit code is kBadImage).
int ReadImageFile(const std::string& path, std::vector<uint8_t>& bytes);
bool ImageFromBytes(const std::string& path, const std::vector<uint8_t>& bytes, FontImage& image, std::string& error);
// Whether index names a font of image (kDone); if not, says which do and
// returns kUsage.
int CheckFontIndex(const FontImage& image, int index);
// OpenImage, then CheckFontIndex of font; returns the exit code.
int OpenImageFont(const std::string& path, int font, FontImage& image);
// Reads the file path names (never standard input), at most limit bytes; on
// failure says why and returns the exit code.
int ReadInputFile(const std::string& path, size_t limit, std::vector<uint8_t>& bytes);

// Writes size bytes to path ("-": standard output) with WriteFileAtomically:
// a replaced file keeps its permissions and owner, a symbolic link leads to
// the file written, and a read-only file is left as it was unless force is
// given and the file is the user's. A failure is reported (kFileNotWritten).
// Returns the exit code.
int WriteOut(const std::string& path, const uint8_t* bytes, size_t size, bool force = false);
// Whether WriteOut could write path, checked before a long piece of work; a
// refusal is reported as WriteOut reports it. Returns the exit code.
int CheckWritable(const std::string& path, bool force = false);
// Saves image as the model's Save does, through WriteOut; a refusal is
// reported. Returns the exit code.
int SaveImage(FontImage& image, const std::string& path, bool force = false);

// Refuses an output that is the file input, by its name or through a
// symbolic link, as cp refuses a copy onto its source: writing it would
// lose the input. Returns the exit code.
int CheckOutputApart(const std::string& out, const std::string& input);
// A command that reports on standard output saves its image into a file:
// an image saved to standard output (IMAGE - saved in place) would be mixed
// with the report. Returns the exit code.
int CheckSavedToFile(const std::string& out);

// Where a command that changes an image saves it: -o OUT, else the image
// itself; --force replaces a read-only file of the user's.
struct SaveTarget {
    std::string out;
    bool force = false;
    const std::string& PathFor(const std::string& image) const { return out.empty() ? image : out; }
};
void AddSaveOptions(CLI::App& command, SaveTarget& target);
// -o for a command that saves an image and reports on standard output (so
// "-" is refused), described as what.
void AddOutputOption(CLI::App& command, std::string& out, const std::string& what);
// --force for a command that writes a file of its own (-o).
void AddForceOption(CLI::App& command, bool& force);
// --charset, one of CharsetNames (default: as charset holds it), described as what.
CLI::Option* AddCharsetOption(CLI::App& command, std::string& charset, const std::string& what);

// A font's 8 name bytes in double quotes, readable on one line: the
// characters they stand for in charset (UTF-8), quotes and backslashes
// escaped; a byte that stands for no shown character (a control code, a
// code the code page leaves undefined) as \xNN, or for JSON as \uXXXX of
// what it stands for.
std::string QuotedName(const FontImage& image, int index, const Charset& charset, bool json = false);
