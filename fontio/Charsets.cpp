#include "Charsets.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "CharsetTables.h"

namespace {

// What printers with a DOS code page print for codes 1-31 (code 0 prints
// nothing) and 127, where iconv, as the code page's text, has control codes.
constexpr char32_t kDosGraphics[32] = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  // ☺ ☻ ♥ ♦ ♣ ♠ •
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  // ◘ ○ ◙ ♂ ♀ ♪ ♫ ☼
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  // ► ◄ ↕ ‼ ¶ § ▬ ↨
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,  // ↑ ↓ → ← ∟ ↔ ▲ ▼
};
constexpr char32_t kDosGraphic127 = 0x2302;  // ⌂

}  // namespace

int Charset::CodeOf(char32_t character) const {
    const auto found = std::find(unicode.begin(), unicode.end(), character);
    return found == unicode.end() ? -1 : static_cast<int>(found - unicode.begin());
}

const std::vector<std::string>& CharsetNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const CharsetTable& table : CharsetTables()) all.push_back(table.name);
        all.push_back("raw");
        return all;
    }();
    return names;
}

bool LoadCharset(const std::string& name, Charset& charset, std::string& error) {
    charset.name = name;
    charset.raw = name == "raw";
    if (charset.raw) {
        for (int code = 0; code < 256; ++code) charset.unicode[code] = static_cast<char32_t>(code);
        return true;
    }
    for (const CharsetTable& table : CharsetTables()) {
        if (name != table.name) continue;
        for (int code = 0; code < 128; ++code) charset.unicode[code] = static_cast<char32_t>(code);
        if (table.dosGraphics) {
            std::copy(std::begin(kDosGraphics), std::end(kDosGraphics), charset.unicode.begin());
            charset.unicode[127] = kDosGraphic127;
        }
        std::copy(table.upperHalf.begin(), table.upperHalf.end(), charset.unicode.begin() + 128);
        return true;
    }
    error = "unknown character set " + name;
    return false;
}

const Charset& DefaultCharset() {
    static const Charset charset = [] {
        Charset cp1252;
        std::string unused;
        LoadCharset(CharsetNames().front(), cp1252, unused);
        return cp1252;
    }();
    return charset;
}

bool IsShownCharacter(char32_t character) {
    const bool control = character < 0x20 || (character >= 0x7F && character < 0xA0);
    const bool undefined = character >= kUndefinedBase && character < kUndefinedBase + 256;
    return !control && !undefined;
}

std::string EncodeUtf8(char32_t character) {
    std::string bytes;
    if (character < 0x80) {
        bytes += static_cast<char>(character);
    } else if (character < 0x800) {
        bytes += static_cast<char>(0xC0 | character >> 6);
        bytes += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        bytes += static_cast<char>(0xE0 | character >> 12);
        bytes += static_cast<char>(0x80 | (character >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        bytes += static_cast<char>(0xF0 | character >> 18);
        bytes += static_cast<char>(0x80 | (character >> 12 & 0x3F));
        bytes += static_cast<char>(0x80 | (character >> 6 & 0x3F));
        bytes += static_cast<char>(0x80 | (character & 0x3F));
    }
    return bytes;
}

bool DecodeUtf8(const std::string& text, std::u32string& characters) {
    characters.clear();
    for (size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                              : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
        if (length == 0 || at + length > text.size()) return false;
        char32_t character = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80) return false;
            character = character << 6 | (next & 0x3F);
        }
        // Overlong forms, surrogates and numbers past Unicode are no characters.
        static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (character < kLeast[length] || (character >= 0xD800 && character < 0xE000) || character > 0x10FFFF)
            return false;
        characters += character;
        at += length;
    }
    return true;
}

bool EncodeText(const std::string& text, const Charset& charset, std::vector<int>& codes, std::string& error) {
    std::u32string characters;
    if (!DecodeUtf8(text, characters)) {
        error = "not UTF-8";
        return false;
    }
    codes.clear();
    for (const char32_t character : characters) {
        const int code = charset.CodeOf(character);
        if (code < 0) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(character));
            error = std::string("the character ") + name + " has no code in " + charset.name;
            return false;
        }
        codes.push_back(code);
    }
    return true;
}
