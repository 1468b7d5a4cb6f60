// A font: a name with its checksum, the printer parameters and 256 symbols.
#pragma once

#include <cstdint>
#include <memory>

#include "Symbol.h"

class Font {
public:
    static constexpr int kSymbolCount = 256;
    static constexpr int kNameLength = 8;

    std::unique_ptr<Symbol[]> symbols;
    uint8_t checksum = 0;
    char name[kNameLength] = {};
    std::unique_ptr<int[]> offsets;
    int heightLimit = 8;
    int interval = 1;
    int height = 0;

    Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    virtual int SetSymbol(int code, const Symbol& symbol);
    // Writes the 8 name bytes and a terminating 0 into buffer (9 bytes).
    virtual uint8_t GetName(char* buffer) const;
    virtual void SetName(const char* nameBytes, uint8_t nameChecksum);
    virtual bool IsSymbolEmpty(int code) const;
    virtual int GetImageSize() const;
    virtual int Reset();
    virtual int GetOffset(int code) const;
    virtual void SetOffset(int code, int value);
    virtual int GetHeightLimit() const;
    virtual void SetHeightLimit(int bits);
    virtual void SetInterval(int value);
    virtual int GetInterval() const;
    virtual int GetHeight() const;
    // EditResult::kDone, or kTooWide when a symbol cannot take the new height
    // within its 512 bytes; then nothing is changed.
    virtual int ChangeHeight(int bytes);
    virtual void SetHeight(int bytes);
    virtual ~Font();

    Symbol& At(int code) { return symbols[code]; }
    const Symbol& At(int code) const { return symbols[code]; }
};

// The checksum that makes the 8 name bytes and itself add up to 0xFF.
uint8_t NameChecksum(const char* nameBytes);

// Makes to a copy of from, a font of the same image or of another: name,
// checksum, height, interval, height limit and every symbol.
void CopyFont(const Font& from, Font& to);

// The height limit the symbols of font carry: the font's own for a font 1
// byte high, 8 (every row of the byte) otherwise.
int SymbolHeightLimit(const Font& font);
