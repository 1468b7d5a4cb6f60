#include "BdfWriter.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <string>

#include "BdfProperties.h"
#include "Charsets.h"
#include "Font.h"

namespace {

// The ink of a symbol as a box in dots: columns from the left, rows from
// the bottom of the symbol.
struct InkBox {
    int left = 0, bottom = 0, width = 0, height = 0;
    bool Empty() const { return width == 0; }
};

InkBox InkOf(const Symbol& symbol) {
    int left = -1, right = -1, bottom = -1, top = -1;
    for (int column = 0; column < symbol.DrawableColumns(); ++column) {
        for (int row = 0; row < 8 * symbol.height; ++row) {
            if (!symbol.IsInk(column, row)) continue;
            if (left < 0) left = column;
            right = column;
            bottom = bottom < 0 ? row : std::min(bottom, row);
            top = std::max(top, row);
        }
    }
    if (left < 0) return {};
    return {left, bottom, right - left + 1, top - bottom + 1};
}

InkBox Union(const InkBox& a, const InkBox& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    const int left = std::min(a.left, b.left), bottom = std::min(a.bottom, b.bottom);
    const int right = std::max(a.left + a.width, b.left + b.width), top = std::max(a.bottom + a.height, b.bottom + b.height);
    return {left, bottom, right - left, top - bottom};
}

// UTF-8 text as a BDF string: quotes doubled, control codes as "?".
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"') quoted += "\"\"";
        else quoted += byte >= 0x20 && byte != 0x7F ? c : '?';
    }
    return quoted + "\"";
}

// A font's name bytes as the characters they stand for in charset, in
// UTF-8; a byte that stands for none shown as "?".
std::string NameText(const std::string& name, const Charset& charset) {
    std::string text;
    for (const char byte : name) {
        const char32_t character = charset.unicode[static_cast<unsigned char>(byte)];
        text += IsShownCharacter(character) ? EncodeUtf8(character) : "?";
    }
    return text;
}

// A name as a field of the XLFD font name, which takes no dashes.
std::string XlfdField(const std::string& text) {
    std::string field;
    for (const char c : text) field += (c >= 0x20 && c < 0x7F && c != '-' && c != '*' && c != '?' && c != '"') ? c : '_';
    return field;
}

std::string TrimmedName(const Font& font) {
    char buffer[Font::kNameLength + 1];
    font.GetName(buffer);
    std::string name(buffer, Font::kNameLength);
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

void AppendLine(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

void AppendLine(std::string& out, const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
    out += '\n';
}

void AppendGlyph(std::string& out, const Symbol& symbol, int code, const Charset& charset, int interval, int rows,
                 int baseline) {
    const unsigned encoding = static_cast<unsigned>(charset.unicode[code]);
    const int advance = symbol.width + interval;
    if (charset.raw) AppendLine(out, "STARTCHAR code%02X", code);
    else AppendLine(out, "STARTCHAR uni%04X", encoding);
    AppendLine(out, "ENCODING %u", encoding);
    AppendLine(out, "SWIDTH %d 0", (advance * 1000 + rows / 2) / rows);
    AppendLine(out, "DWIDTH %d 0", advance);
    const InkBox ink = InkOf(symbol);
    AppendLine(out, "BBX %d %d %d %d", ink.width, ink.height, ink.left, ink.Empty() ? 0 : ink.bottom - baseline);
    out += "BITMAP\n";
    static const char kHex[] = "0123456789ABCDEF";
    for (int row = ink.bottom + ink.height - 1; row >= ink.bottom; --row) {
        std::string line;
        for (int byteStart = 0; byteStart < ink.width; byteStart += 8) {
            unsigned byte = 0;
            for (int bit = 0; bit < 8 && byteStart + bit < ink.width; ++bit) {
                if (symbol.IsInk(ink.left + byteStart + bit, row)) byte |= 0x80u >> bit;
            }
            line += kHex[byte >> 4];
            line += kHex[byte & 15];
        }
        out += line + '\n';
    }
    out += "ENDCHAR\n";
}

bool StandsOnBaseline(char32_t character) {
    return (character >= U'0' && character <= U'9') || (character >= U'A' && character <= U'Z');
}

}  // namespace

int BaselineOf(const Font& font, const Charset& charset) {
    // The row most of them share: a Q's tail or a J below the line does not move it.
    std::map<int, int> glyphsByBottom;
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        if (!StandsOnBaseline(charset.unicode[code])) continue;
        const InkBox ink = InkOf(font.At(code));
        if (!ink.Empty()) ++glyphsByBottom[ink.bottom];
    }
    const auto most = std::max_element(glyphsByBottom.begin(), glyphsByBottom.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == glyphsByBottom.end() ? 0 : most->first;
}

std::string BdfOf(const Font& font, const Charset& charset, const BdfStyle& style) {
    const int height = font.GetHeight();
    const int rows = 8 * height;
    const int interval = font.GetInterval();
    const std::string name = TrimmedName(font);
    InkBox bounds;
    int advances = 0;
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        bounds = Union(bounds, InkOf(font.At(code)));
        advances += font.At(code).width + interval;
    }
    const int averageWidth = (advances * 10 + Font::kSymbolCount / 2) / Font::kSymbolCount;
    const char* registry = charset.raw ? "FontSpecific" : "ISO10646";
    const char* encoding = charset.raw ? "0" : "1";
    const int baseline = BaselineOf(font, charset);

    std::string out;
    out += "STARTFONT 2.1\n";
    AppendLine(out, "FONT -Glyphmill-%s-%s-%s-Normal--%d-%d-72-72-P-%d-%s-%s", XlfdField(name).c_str(),
               XlfdField(style.weight).c_str(), XlfdField(style.slant).c_str(), rows, 10 * rows, averageWidth, registry,
               encoding);
    AppendLine(out, "SIZE %d 72 72", rows);
    AppendLine(out, "FONTBOUNDINGBOX %d %d %d %d", bounds.width, bounds.height, bounds.left, bounds.bottom - baseline);
    out += "STARTPROPERTIES 19\n";
    out += "FOUNDRY \"Glyphmill\"\n";
    out += "FAMILY_NAME " + Quoted(NameText(name, charset)) + "\n";
    out += "WEIGHT_NAME " + Quoted(style.weight) + "\nSLANT " + Quoted(style.slant) + "\n";
    out += "SETWIDTH_NAME \"Normal\"\nADD_STYLE_NAME \"\"\n";
    AppendLine(out, "PIXEL_SIZE %d", rows);
    AppendLine(out, "POINT_SIZE %d", 10 * rows);
    out += "RESOLUTION_X 72\nRESOLUTION_Y 72\nSPACING \"P\"\n";
    AppendLine(out, "AVERAGE_WIDTH %d", averageWidth);
    AppendLine(out, "CHARSET_REGISTRY \"%s\"", registry);
    AppendLine(out, "CHARSET_ENCODING \"%s\"", encoding);
    AppendLine(out, "FONT_ASCENT %d", rows - baseline);
    AppendLine(out, "FONT_DESCENT %d", baseline);
    AppendLine(out, "%s %d", kHeightProperty, height);
    AppendLine(out, "%s %d", kIntervalProperty, interval);
    AppendLine(out, "%s %d", kHeightLimitProperty, font.GetHeightLimit());
    out += "ENDPROPERTIES\n";
    AppendLine(out, "CHARS %d", Font::kSymbolCount);
    for (int code = 0; code < Font::kSymbolCount; ++code)
        AppendGlyph(out, font.At(code), code, charset, interval, rows, baseline);
    out += "ENDFONT\n";
    return out;
}
