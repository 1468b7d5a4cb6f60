#include "FontExport.h"

#include <algorithm>
#include <cctype>

#include "HexFile.h"
#include "PsfFile.h"

std::optional<ExportFormat> ExportFormatOfName(const std::string& path) {
    std::string name = path.substr(path.find_last_of("\\/:") + 1);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    const size_t dot = name.find_last_of('.');
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    if (extension == ".bdf") return ExportFormat::kBdf;
    if (extension == ".psf" || extension == ".psfu") return ExportFormat::kPsf;
    if (extension == ".hex") return ExportFormat::kHex;
    return std::nullopt;
}

const char* ExportFormatName(ExportFormat format) {
    switch (format) {
        case ExportFormat::kBdf: return "BDF";
        case ExportFormat::kPsf: return "PSF";
        case ExportFormat::kHex: return ".hex";
    }
    return "";
}

bool ExportFont(ExportFormat format, const Font& font, const Charset& charset, const BdfStyle& style,
                std::vector<uint8_t>& bytes, std::string& error) {
    if (format == ExportFormat::kPsf) return WritePsf2(font, charset, bytes, error);
    std::string text;
    if (format == ExportFormat::kHex) {
        if (!WriteHex(font, charset, text, error)) return false;
    } else {
        text = BdfOf(font, charset, style);
    }
    bytes.assign(text.begin(), text.end());
    return true;
}
