#include "Charsets.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using ScopedIconv = std::unique_ptr<void, IconvCloser>;

ScopedIconv OpenIconv(const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    return ScopedIconv(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

// Converts all of in; false when iconv stops at anything.
bool Convert(void* cd, const char* in, size_t inSize, std::string& out) {
    iconv(static_cast<iconv_t>(cd), nullptr, nullptr, nullptr, nullptr);
    out.assign(4 * inSize + 4, '\0');
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out.data();
    size_t outLeft = out.size();
    if (iconv(static_cast<iconv_t>(cd), &inPtr, &inSize, &outPtr, &outLeft) == static_cast<size_t>(-1)) return false;
    out.resize(out.size() - outLeft);
    return true;
}

char32_t ReadUtf32Le(const char* bytes) {
    const auto* b = reinterpret_cast<const uint8_t*>(bytes);
    return static_cast<char32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
}

// iconv's name of the code page behind one of ours: cp1252 is CP1252,
// iso8859-5 is ISO-8859-5.
std::string IconvName(const std::string& name) {
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    if (upper.rfind("ISO8859-", 0) == 0) return "ISO-8859-" + upper.substr(8);
    return upper;
}

}  // namespace

int Charset::CodeOf(char32_t character) const {
    const auto found = std::find(unicode.begin(), unicode.end(), character);
    return found == unicode.end() ? -1 : static_cast<int>(found - unicode.begin());
}

const std::vector<std::string>& CharsetNames() {
    // ISO 8859-12 was never published.
    static const std::vector<std::string> names = {
        "cp1252",    "cp437",      "cp850",      "cp866",      "cp1250",     "cp1251",     "iso8859-1",
        "iso8859-2", "iso8859-3",  "iso8859-4",  "iso8859-5",  "iso8859-6",  "iso8859-7",  "iso8859-8",
        "iso8859-9", "iso8859-10", "iso8859-11", "iso8859-13", "iso8859-14", "iso8859-15", "iso8859-16",
        "raw"};
    return names;
}

bool LoadCharset(const std::string& name, Charset& charset, std::string& error) {
    const std::vector<std::string>& names = CharsetNames();
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        error = "unknown character set " + name;
        return false;
    }
    charset.name = name;
    charset.raw = name == "raw";
    for (int code = 0; code < 256; ++code) charset.unicode[code] = static_cast<char32_t>(code);
    if (charset.raw) return true;

    const ScopedIconv cd = OpenIconv("UTF-32LE", IconvName(name).c_str());
    if (!cd) {
        error = "this system's iconv does not know " + IconvName(name) + ": " + std::strerror(errno);
        return false;
    }
    std::string converted;
    for (int code = 0; code < 256; ++code) {
        const char byte = static_cast<char>(code);
        const bool one = Convert(cd.get(), &byte, 1, converted) && converted.size() == 4;
        charset.unicode[code] = one ? ReadUtf32Le(converted.data()) : kUndefinedBase + code;
    }
    return true;
}

bool DecodeUtf8(const std::string& text, std::u32string& characters) {
    characters.clear();
    if (text.empty()) return true;
    const ScopedIconv cd = OpenIconv("UTF-32LE", "UTF-8");
    std::string converted;
    if (!cd || !Convert(cd.get(), text.data(), text.size(), converted)) return false;
    for (size_t i = 0; i + 4 <= converted.size(); i += 4) characters += ReadUtf32Le(&converted[i]);
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
