// Taking a picture from a .bmp or .png file or the clipboard into the import
// buffer. A file, and a PNG on the clipboard, are read by the portable
// readers (pictures/); a clipboard bitmap goes through a monochrome device
// bitmap, where only pure white stays background.
#include "BitmapImport.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AtomicFile.h"
#include "FileDialog_win.h"
#include "Ink.h"
#include "ScopedWin.h"
#include "UiSeam.h"

namespace {

void ReportProblem(HWND owner, PictureProblem problem) {
    Ui().messageBox(owner, DescribePictureProblem(problem), "Error", MB_OK | MB_ICONERROR);
}

// Copies width x rowCount pixels from the top-left of source into a
// monochrome bitmap painted white, and reads them back as cells; false when
// the working bitmap cannot be made.
bool SampleDeviceBitmap(HDC source, int width, int rowCount, ImportPicture* out) {
    ScopedMemoryDC work(CreateCompatibleDC(source));
    // A new memory DC holds a 1 x 1 monochrome bitmap: a compatible bitmap is monochrome too.
    ScopedBitmap bitmap(CreateCompatibleBitmap(work.Get(), width, rowCount));
    if (!work || !bitmap) return false;
    ScopedSelect selectBitmap(work.Get(), bitmap.Get());
    {
        ScopedSelect selectBrush(work.Get(), GetStockObject(WHITE_BRUSH));
        Rectangle(work.Get(), -1, -1, width + 2, rowCount + 2);
    }
    BitBlt(work.Get(), 0, 0, width, rowCount, source, 0, 0, SRCCOPY);
    InkPicture picture{width, rowCount, std::vector<uint8_t>(static_cast<size_t>(width) * rowCount)};
    for (int y = 0; y < rowCount; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = GetPixel(work.Get(), x, y);
            picture.ink[static_cast<size_t>(y) * width + x] =
                IsInkColour(GetRValue(colour), GetGValue(colour), GetBValue(colour));
        }
    }
    return PlaceImportPicture(picture, rowCount, out) == PictureProblem::kNone;
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
PictureProblem SampleClipboardBitmap(int rowCount, ImportPicture* picture, bool* sampled) {
    *sampled = false;
    HANDLE dib = GetClipboardData(CF_DIB);
    if (!dib) return PictureProblem::kNone;
    int width = 0;
    PictureProblem problem;
    {
        ScopedGlobalLock header(dib);
        if (!header.Get()) return PictureProblem::kNone;
        problem = CheckClipboardDib(static_cast<const uint8_t*>(header.Get()), header.Size(), rowCount, &width);
    }
    if (problem != PictureProblem::kNone) return problem;
    HBITMAP pictureBitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    if (!pictureBitmap) return PictureProblem::kNone;
    ScopedMemoryDC source(CreateCompatibleDC(nullptr));
    if (!source) return PictureProblem::kNone;
    ScopedSelect selectPicture(source.Get(), pictureBitmap);
    *sampled = SampleDeviceBitmap(source.Get(), width, rowCount, picture);
    return PictureProblem::kNone;
}

// Browsers and image programs put a picture on the clipboard as a PNG under
// this registered name beside the bitmap; unlike the bitmap, it keeps which
// pixels are transparent.
UINT PngClipboardFormat() { return RegisterClipboardFormatA("PNG"); }

// With the clipboard open: its PNG under format, sampled, as
// SampleClipboardBitmap does.
PictureProblem SampleClipboardPng(UINT format, int rowCount, ImportPicture* picture, bool* sampled) {
    ScopedGlobalLock png(GetClipboardData(format));
    if (!png.Get()) return PictureProblem::kNone;
    const PictureProblem problem =
        ReadPngPicture(static_cast<const uint8_t*>(png.Get()), png.Size(), rowCount, picture);
    *sampled = problem == PictureProblem::kNone;
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
    std::vector<uint8_t> bytes;
    PictureProblem problem = ReadPictureFile(file.get(), &bytes);
    file.reset();
    ImportPicture sampled;
    if (problem == PictureProblem::kNone) problem = ReadPicture(bytes.data(), bytes.size(), rowCount, &sampled);
    if (problem != PictureProblem::kNone) {
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
    PictureProblem problem;
    {
        ScopedClipboard clipboard(owner);
        if (!clipboard.IsOpen()) return 0;
        problem = png ? SampleClipboardPng(pngFormat, rowCount, &sampledPicture, &sampled)
                      : SampleClipboardBitmap(rowCount, &sampledPicture, &sampled);
    }
    if (problem != PictureProblem::kNone) {
        ReportProblem(owner, problem);
        return 0;
    }
    if (!sampled) return 0;
    *picture = std::move(sampledPicture);
    return 1;
}
