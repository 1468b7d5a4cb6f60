// What the 256 codes of a printer font stand for: the Unicode character of
// each code in one of the code pages bitmap fonts are kept in, as printers
// print them (the DOS code pages' graphic characters for codes 1-31 and 127).
#pragma once

#include <array>
#include <string>
#include <vector>

struct Charset {
    std::string name;
    // raw: the code is the font's own glyph index or encoding, and stands for
    // the Unicode character of the same number.
    bool raw = false;
    // The character of each code. A code the code page leaves undefined
    // stands for U+F000 + code, the private character symbol fonts use for a
    // byte, so that every code keeps a character of its own.
    std::array<char32_t, 256> unicode{};

    // The code standing for character, or -1.
    int CodeOf(char32_t character) const;
};

constexpr char32_t kUndefinedBase = 0xF000;

// The names --charset takes, cp1252 first.
const std::vector<std::string>& CharsetNames();

// Fills charset by name; false, with error saying why, for a name that is
// not one of CharsetNames.
bool LoadCharset(const std::string& name, Charset& charset, std::string& error);
// cp1252, the charset a name or a text is taken in where no --charset is given.
const Charset& DefaultCharset();

// Whether text shows character as itself: not a control code, nor the
// private character of a code the code page leaves undefined.
bool IsShownCharacter(char32_t character);

// The characters of UTF-8 text; false for bytes that are not UTF-8.
bool DecodeUtf8(const std::string& text, std::u32string& characters);
// character (a Unicode scalar value) as UTF-8.
std::string EncodeUtf8(char32_t character);

// The codes of UTF-8 text in charset; false, with error naming what is wrong,
// for bytes that are not UTF-8 or a character that has no code there.
bool EncodeText(const std::string& text, const Charset& charset, std::vector<int>& codes, std::string& error);
