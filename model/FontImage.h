// The font image: a pool of 16 fonts, the ordered font list, the symbol
// clipboard, and the reader and writer of the 65,536-byte font image file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Font.h"
#include "Symbol.h"

// Asked before a symbol is cleared with confirmation; true means go ahead.
// The editor installs a message box; with none installed nothing is cleared.
using ConfirmDeleteFn = bool (*)();
void SetConfirmDelete(ConfirmDeleteFn fn);

class FontImage {
public:
    static constexpr int kMaxFonts = 16;
    static constexpr int kMaxAddedFonts = 15;
    static constexpr int kFileSize = 0x10000;

    Symbol clipboard;
    int used[kMaxFonts] = {};
    std::unique_ptr<Font[]> pool;
    Font* fonts[kMaxFonts] = {};
    int count = 0;

    FontImage() = default;
    FontImage(const FontImage&) = delete;
    FontImage& operator=(const FontImage&) = delete;

    virtual int ClearSymbol(int index, int code, int confirm);
    virtual int CopySymbol(int index, int code);
    // EditResult::kDone, or kTooWide when the clipboard symbol cannot be laid
    // out at the target font's height; then the target is unchanged.
    virtual int PasteSymbol(int index, int code);
    virtual int InitNew();
    virtual int PackColumns(const std::vector<std::vector<int>>& columns, int columnCount,
                            int bytesPerColumn, uint8_t* out);
    virtual void RemoveFont(int index);
    virtual uint8_t SetFontName(int index, const char* text);
    virtual void SetHeightLimit(int index, int bits);
    virtual int GetHeightLimit(int index) const;
    virtual void SetInterval(int index, int value);
    virtual int GetInterval(int index) const;
    virtual int SetFontHeight(int index, int bytes);
    virtual int GetFontHeight(int index) const;
    // SaveResult codes. Clips the rows above the limit of fonts 1 byte high
    // (in memory too) and writes only an image that reads back as this
    // document; anything else is refused and no file is touched. The file is
    // replaced only once the new one is completely written.
    virtual int Save(const std::string& path);
    virtual int AddFont();
    virtual uint8_t GetFontName(int index, char* buffer) const;
    virtual int GetFontCount() const;
    // LoadResult codes. Refuses an image whose header, tables or records do
    // not keep to the format, and then leaves the document as it was.
    virtual int Load(const std::string& path);
    virtual ~FontImage();
    virtual int AllocateFonts(int n);

    // The image as Save writes it, without touching the file system.
    int Serialize(std::vector<uint8_t>& out);
    // Load from bytes already in memory (a buffer shorter than the image is
    // taken as zero-filled).
    int Deserialize(const uint8_t* bytes, size_t size);

    Font& FontAt(int index) { return *fonts[index]; }
    const Font& FontAt(int index) const { return *fonts[index]; }
};

// Changes to the font list beside the class's own, kept to the list's
// invariants as AddFont and RemoveFont keep them.

// Puts a free pool font, reset, into the list at index (0 to count), the
// fonts from index on moving down one place. Unlike AddFont it fills the list
// up to 16 fonts (undo puts back a font that a loaded image had). Null, and
// nothing changed, when the list is full or index lies outside it.
Font* InsertFont(FontImage& image, int index);
// Moves the font at place from to place to, the fonts between them moving by
// one place; false, and nothing changed, when a place lies outside the list.
bool MoveFont(FontImage& image, int from, int to);

// The number font index of document has in the file Save writes: its slot,
// counting the "Empty" fillers that the two-bank layout puts before the
// second bank's fonts; -1 when Save would refuse the document. Like Save it
// clears the rows above the limit of fonts 1 byte high (which can make a
// font smaller), so that the number is the one Save gives.
int SavedFontNumber(FontImage& document, int index);
// Whether font index of image is what Save writes as a filler: named as
// GetFontName names a filler, height 1, interval 1, limit 8, every symbol
// one blank column.
bool IsFillerFont(const FontImage& image, int index);

// What Load would say of these bytes (LoadResult codes) without loading them;
// why, when given, receives the first fault in words.
int CheckFontImage(const uint8_t* bytes, size_t size, std::string* why);
