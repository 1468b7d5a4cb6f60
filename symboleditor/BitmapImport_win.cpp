// Taking a picture from a .bmp or .png file or the clipboard into the import
// buffer. A file is checked and sampled by the portable readers, and so is a
// PNG on the clipboard; a clipboard bitmap goes through a monochrome device
// bitmap, where only pure white stays background.
#include "BitmapImport.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AtomicFile.h"
#include "FileDialog_win.h"
#include "Ink.h"
#include "PngImport.h"
#include "PngReader.h"
#include "ScopedWin.h"
#include "UiSeam.h"

namespace {

void ReportProblem(HWND owner, BitmapProblem problem) {
    Ui().messageBox(owner, DescribeBitmapProblem(problem), "Error", MB_OK | MB_ICONERROR);
}

bool ReadAt(std::FILE* file, uint64_t offset, uint8_t* out, size_t size) {
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0 && std::fread(out, 1, size, file) == size;
}

// Reads the headers, the colour table and the pixel data of a checked file
// whose limits have been checked into one buffer laid out as the file would
// be without any gap before the pixels; layout is moved to match.
bool ReadPictureParts(std::FILE* file, BitmapLayout* layout, std::vector<uint8_t>* bytes) {
    const uint32_t compactOffset = layout->HeadBytes();
    bytes->resize(static_cast<size_t>(compactOffset + layout->pixelBytes));
    if (!ReadAt(file, 0, bytes->data(), compactOffset)) return false;
    if (!ReadAt(file, layout->pixelOffset, bytes->data() + compactOffset, static_cast<size_t>(layout->pixelBytes))) {
        return false;
    }
    layout->pixelOffset = compactOffset;
    return true;
}

// The parts of a .bmp file that the decode needs, checked, in bytes; head
// holds the file's first headSize bytes.
BitmapProblem ReadBitmapFileParts(std::FILE* file, const uint8_t* head, size_t headSize, uint64_t fileSize,
                                  int rowCount, BitmapLayout* layout, std::vector<uint8_t>* bytes) {
    BitmapProblem problem = CheckBitmapFile(head, headSize, fileSize, layout);
    if (problem == BitmapProblem::kNone) problem = CheckImportLimits(layout->info, rowCount);
    // The file may have changed since its size was taken.
    if (problem == BitmapProblem::kNone && !ReadPictureParts(file, layout, bytes)) {
        problem = BitmapProblem::kPixelDataTooShort;
    }
    return problem;
}

// A PNG is read whole: libpng finds its parts, and judges a file that has
// shrunk since its size was taken.
BitmapProblem ReadWholeFile(std::FILE* file, uint64_t fileSize, std::vector<uint8_t>* bytes) {
    if (fileSize > static_cast<uint64_t>(kMaxPictureFileBytes)) return BitmapProblem::kPictureFileTooLarge;
    bytes->resize(static_cast<size_t>(fileSize));
    const size_t read = _fseeki64(file, 0, SEEK_SET) == 0 ? std::fread(bytes->data(), 1, bytes->size(), file) : 0;
    bytes->resize(read);
    return BitmapProblem::kNone;
}

// The picture in file, whose first headSize bytes are in head, sampled into
// out; the file is closed before the decode.
BitmapProblem SampleFile(ScopedFile file, const uint8_t* head, size_t headSize, uint64_t fileSize, int rowCount,
                         ImportPicture* out) {
    const bool png = IsPng(head, headSize);
    BitmapLayout layout;
    std::vector<uint8_t> bytes;
    const BitmapProblem problem = png ? ReadWholeFile(file.get(), fileSize, &bytes)
                                      : ReadBitmapFileParts(file.get(), head, headSize, fileSize, rowCount, &layout,
                                                            &bytes);
    file.reset();
    if (problem != BitmapProblem::kNone) return problem;
    return png ? ReadPngPicture(bytes.data(), bytes.size(), rowCount, out, nullptr, nullptr)
               : SampleBitmapFile(layout, bytes.data(), rowCount, out);
}

// Copies width x rowCount pixels from the top-left of source into a
// monochrome bitmap painted white, and reads them back as cells.
ImportPicture SampleDeviceBitmap(HDC source, int width, int rowCount) {
    ImportPicture picture;
    picture.columns = width;
    picture.rows = rowCount;
    picture.cells.assign(static_cast<size_t>(width) * rowCount, 1);
    ScopedMemoryDC work(CreateCompatibleDC(source));
    // A new memory DC holds a 1 x 1 monochrome bitmap: a compatible bitmap is monochrome too.
    ScopedBitmap bitmap(CreateCompatibleBitmap(work.Get(), width, rowCount));
    if (!work || !bitmap) return picture;
    ScopedSelect selectBitmap(work.Get(), bitmap.Get());
    {
        ScopedSelect selectBrush(work.Get(), GetStockObject(WHITE_BRUSH));
        Rectangle(work.Get(), -1, -1, width + 2, rowCount + 2);
    }
    BitBlt(work.Get(), 0, 0, width, rowCount, source, 0, 0, SRCCOPY);
    for (int y = 0; y < rowCount; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = GetPixel(work.Get(), x, y);
            const bool ink = IsInkColour(GetRValue(colour), GetGValue(colour), GetBValue(colour));
            picture.cells[static_cast<size_t>(x) * rowCount + (rowCount - 1 - y)] = ink ? 0 : 1;
        }
    }
    return picture;
}

bool ClipboardOffersTextToPrefer() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwMajorVersion >= 5 && IsClipboardFormatAvailable(CF_UNICODETEXT);
}

// With the clipboard open: its bitmap's header, checked, and the picture
// sampled. Returns the problem to report once the clipboard is closed;
// *sampled tells whether picture was filled.
BitmapProblem SampleClipboardBitmap(int rowCount, ImportPicture* picture, bool* sampled) {
    *sampled = false;
    HANDLE dib = GetClipboardData(CF_DIB);
    if (!dib) return BitmapProblem::kNone;
    BitmapInfo info;
    BitmapProblem problem;
    {
        ScopedGlobalLock header(dib);
        if (!header.Get()) return BitmapProblem::kNone;
        problem = ReadInfoHeader(static_cast<const uint8_t*>(header.Get()), header.Size(), &info);
    }
    if (problem == BitmapProblem::kNone) problem = CheckImportLimits(info, rowCount);
    if (problem != BitmapProblem::kNone) return problem;
    HBITMAP pictureBitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    if (!pictureBitmap) return BitmapProblem::kNone;
    ScopedMemoryDC source(CreateCompatibleDC(nullptr));
    if (!source) return BitmapProblem::kNone;
    ScopedSelect selectPicture(source.Get(), pictureBitmap);
    *picture = SampleDeviceBitmap(source.Get(), info.width, rowCount);
    *sampled = true;
    return BitmapProblem::kNone;
}

// Browsers and image programs put a picture on the clipboard as a PNG under
// this registered name beside the bitmap; unlike the bitmap, it keeps which
// pixels are transparent.
UINT PngClipboardFormat() { return RegisterClipboardFormatA("PNG"); }

// With the clipboard open: its PNG under format, sampled, as
// SampleClipboardBitmap does.
BitmapProblem SampleClipboardPng(UINT format, int rowCount, ImportPicture* picture, bool* sampled) {
    ScopedGlobalLock png(GetClipboardData(format));
    if (!png.Get()) return BitmapProblem::kNone;
    const BitmapProblem problem =
        ReadPngPicture(static_cast<const uint8_t*>(png.Get()), png.Size(), rowCount, picture, nullptr, nullptr);
    *sampled = problem == BitmapProblem::kNone;
    return problem;
}

}  // namespace

int ImportFromBitmapFile(HWND owner, int rowCount, ImportPicture* picture) {
    const FileDialogSettings settings{"Pictures (*.bmp;*.png)\0*.bmp;*.png\0Bitmap Image(*.bmp)\0*.bmp\0",
                                      "Open BIN File", OFN_HIDEREADONLY, MAX_PATH, MAX_PATH};
    const std::optional<std::string> fileName = AskFileName(owner, FileDialogKind::kOpen, settings);
    if (!fileName) return 0;

    ScopedFile file = OpenWithRetries(*fileName, "rb");
    if (!file) return 0;
    uint8_t head[kBitmapHeadBytes];
    const size_t headSize = std::fread(head, 1, sizeof head, file.get());
    if (_fseeki64(file.get(), 0, SEEK_END) != 0) return 0;
    const __int64 fileSize = _ftelli64(file.get());
    if (fileSize < 0) return 0;

    ImportPicture sampled;
    const BitmapProblem problem =
        SampleFile(std::move(file), head, headSize, static_cast<uint64_t>(fileSize), rowCount, &sampled);
    if (problem != BitmapProblem::kNone) {
        ReportProblem(owner, problem);
        return 0;
    }
    *picture = std::move(sampled);
    return 1;
}

int ImportFromClipboard(HWND owner, int rowCount, ImportPicture* picture) {
    if (ClipboardOffersTextToPrefer()) return 0;
    const UINT pngFormat = PngClipboardFormat();
    const bool png = pngFormat != 0 && IsClipboardFormatAvailable(pngFormat);
    if (!png && !IsClipboardFormatAvailable(CF_DIB)) return 0;
    ImportPicture sampledPicture;
    bool sampled = false;
    BitmapProblem problem;
    {
        ScopedClipboard clipboard(owner);
        if (!clipboard.IsOpen()) return 0;
        problem = png ? SampleClipboardPng(pngFormat, rowCount, &sampledPicture, &sampled)
                      : SampleClipboardBitmap(rowCount, &sampledPicture, &sampled);
    }
    if (problem != BitmapProblem::kNone) {
        ReportProblem(owner, problem);
        return 0;
    }
    if (!sampled) return 0;
    *picture = std::move(sampledPicture);
    return 1;
}
