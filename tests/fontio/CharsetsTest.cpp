// The table behind each --charset name is what glibc's iconv makes of the
// code page (for the DOS code pages, what IBM publishes of them), and the
// UTF-8 decoder takes and refuses what iconv does: the tables are shared with
// the Windows build, so this is what keeps both systems giving the bytes
// Linux always gave.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "Charsets.h"

namespace {

// iconv's UTF-32LE of in, or nothing when it refuses in.
bool IconvToUtf32(const std::string& from, const std::string& in, std::u32string& out) {
    const iconv_t cd = iconv_open("UTF-32LE", from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string buffer(4 * in.size() + 4, '\0');
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    const bool done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    out.clear();
    for (size_t i = 0; done && i + 4 <= buffer.size() - outLeft; i += 4) {
        const auto* b = reinterpret_cast<const unsigned char*>(&buffer[i]);
        out += static_cast<char32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<unsigned>(b[3]) << 24);
    }
    return done;
}

std::string IconvName(const std::string& name) {
    std::string upper;
    for (const char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper.rfind("ISO8859-", 0) == 0 ? "ISO-8859-" + upper.substr(8) : upper;
}

// IBM's code pages 437 and 850 as the printers print them, codes 1-255, 16
// a line (code 0 prints nothing).
const std::string kDosLowerHalf =
    "☺☻♥♦♣♠•◘○◙♂♀♪♫☼"  // 1-15
    "►◄↕‼¶§▬↨↑↓→←∟↔▲▼"
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~⌂";
const std::string kDosUpperHalves[] = {
    // 437
    "ÇüéâäàåçêëèïîìÄÅ" "ÉæÆôöòûùÿÖÜ¢£¥₧ƒ" "áíóúñÑªº¿⌐¬½¼¡«»" "░▒▓│┤╡╢╖╕╣║╗╝╜╛┐"
    "└┴┬├─┼╞╟╚╔╩╦╠═╬╧" "╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀" "αßΓπΣσµτΦΘΩδ∞φε∩" "≡±≥≤⌠⌡÷≈°∙·√ⁿ²■ ",
    // 850
    "ÇüéâäàåçêëèïîìÄÅ" "ÉæÆôöòûùÿÖÜø£Ø×ƒ" "áíóúñÑªº¿®¬½¼¡«»" "░▒▓│┤ÁÂÀ©╣║╗╝¢¥┐"
    "└┴┬├─┼ãÃ╚╔╩╦╠═╬¤" "ðÐÊËÈıÍÎÏ┘┌█▄¦Ì▀" "ÓßÔÒõÕµþÞÚÛÙýÝ¯´" "­±‗¾¶§÷¸°¨·¹³²■ ",
};

TEST(Charsets, EveryTableIsWhatIconvOrIbmMakesOfTheCodePage) {
    const std::string dosNames[] = {"cp437", "cp850"};
    for (const std::string& name : CharsetNames()) {
        Charset charset;
        std::string error;
        ASSERT_TRUE(LoadCharset(name, charset, error)) << name << ": " << error;
        const auto dos = std::find(std::begin(dosNames), std::end(dosNames), name);
        std::u32string ibm;
        if (dos != std::end(dosNames)) {
            ASSERT_TRUE(IconvToUtf32("UTF-8", kDosLowerHalf + kDosUpperHalves[dos - dosNames], ibm));
            ASSERT_EQ(ibm.size(), 255u) << name;
        }
        for (int code = 0; code < 256; ++code) {
            std::u32string character;
            char32_t expected = static_cast<char32_t>(code);
            if (!ibm.empty()) {
                expected = code == 0 ? 0 : ibm[code - 1];
            } else if (name != "raw") {
                const bool one = IconvToUtf32(IconvName(name), std::string(1, static_cast<char>(code)), character) &&
                                 character.size() == 1;
                expected = one ? character[0] : kUndefinedBase + code;
            }
            EXPECT_EQ(charset.unicode[code], expected) << name << " code " << code;
        }
    }
    Charset charset;
    std::string error;
    EXPECT_FALSE(LoadCharset("cp999", charset, error));
    EXPECT_EQ(error, "unknown character set cp999");
}

TEST(Charsets, Utf8IsDecodedAndRefusedAsIconvDoesAndEncodedBack) {
    const std::string texts[] = {
        "", "plain", "d\xC3\xA9j\xC3\xA0 20\xE2\x82\xAC", "\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF",  // accepted
        "\xC3", "\xE2\x82", "\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",                   // refused
        "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF", "a\xC3(", "\xF0\x82\x82\xAC"};
    for (const std::string& text : texts) {
        std::u32string ours, theirs;
        const bool theyTake = IconvToUtf32("UTF-8", text, theirs);
        EXPECT_EQ(DecodeUtf8(text, ours), theyTake) << text;
        if (theyTake) {
            EXPECT_EQ(ours, theirs) << text;
            // Encoded back, each character gives its bytes again.
            std::string encoded;
            for (const char32_t character : ours) encoded += EncodeUtf8(character);
            EXPECT_EQ(encoded, text);
        }
    }
}

}  // namespace
