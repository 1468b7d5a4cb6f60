// Reader and writer of the font image file (FontImage::Save, FontImage::Load).
//
// The file is the printer's font memory: two banks of 32 KB, each seen by the
// printer at 0x8000-0xFFFF. Bank 0 holds the header, eight offset tables and
// the records of slots 0-7; bank 1 the tables and records of slots 8 onward.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "AtomicFile.h"
#include "FontImage.h"
#include "Results.h"

namespace {

constexpr int kBankSize = 0x8000;
constexpr int kSlotsPerBank = 8;
constexpr int kMaxSlots = 16;
constexpr int kTableSize = 0x200;
constexpr int kHeaderSize = 0x100;
constexpr int kBank0DataStart = kHeaderSize + kSlotsPerBank * kTableSize;  // 0x1100
constexpr int kBank1TableBase = kBankSize + kHeaderSize;                   // 0x8100
// What one bank offers to records when all eight tables are reserved; the
// fit test of the layout uses it for both banks.
constexpr int kBankDataCapacity = kBankSize - kBank0DataStart;  // 0x6F00

constexpr int kHeightRow = 0x01;
constexpr int kIntervalRow = 0x10;
constexpr int kLimitRow = 0x20;
constexpr int kPositionRow = 0x30;
constexpr int kNameRow = 0x40;
constexpr int kNameRecordSize = 9;
constexpr int kHeightRowEnd = 0x10;  // the height row has 15 places, slot 15's falls on 0x10

constexpr int kSpace = 32;
constexpr int kMaxRecordWidth = 255;
constexpr int kMaxHeight = 4;
constexpr int kMaxInterval = 15;
constexpr int kMaxLimit = 8;

constexpr char kUnnamed[] = "Unnamed ";
constexpr uint8_t kUnnamedChecksum = 0x17;

int TableBase(int slot) {
    return slot < kSlotsPerBank ? kHeaderSize + kTableSize * slot : kBank1TableBase + kTableSize * (slot - kSlotsPerBank);
}

int Bank1DataStart(int slotCount) { return kBank1TableBase + kTableSize * (slotCount - kSlotsPerBank); }

int BankEnd(int slot) { return slot < kSlotsPerBank ? kBankSize : 2 * kBankSize; }

// Table entries are printer addresses; bank 0 is seen 0x8000 above its offsets.
int AddressBias(int slot) { return slot < kSlotsPerBank ? kBankSize : 0; }

int ReadEntry(const uint8_t* image, int slot, int code) {
    const uint8_t* entry = image + TableBase(slot) + 2 * code;
    return entry[0] << 8 | entry[1];
}

void WriteEntry(uint8_t* image, int slot, int code, int value) {
    uint8_t* entry = image + TableBase(slot) + 2 * code;
    entry[0] = static_cast<uint8_t>(value >> 8);
    entry[1] = static_cast<uint8_t>(value);
}

// ---- reading ----

struct ImageFault {
    int result = LoadResult::kLoaded;
    std::string why;
};

ImageFault Fault(int result, const char* format, int a = 0, int b = 0, int c = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c);
    return {result, text};
}

ImageFault CheckHeader(const uint8_t* image) {
    const int slots = image[0];
    if (slots == 0) return Fault(LoadResult::kNoFonts, "byte 0 is 0: the image holds no fonts");
    if (slots > kMaxSlots) return Fault(LoadResult::kBadHeader, "byte 0 claims %d fonts, at most 16 fit", slots);
    for (int s = 0; s < slots; ++s) {
        const int height = image[kHeightRow + s];
        if (height < 1 || height > kMaxHeight)
            return Fault(LoadResult::kBadHeader, "font %d: height %d bytes, not 1-4", s, height);
        const int interval = image[kIntervalRow + s];
        if (interval > kMaxInterval)
            return Fault(LoadResult::kBadHeader, "font %d: interval %d, not 0-15", s, interval);
        const int limit = image[kLimitRow + s];
        if (limit < 1 || limit > kMaxLimit)
            return Fault(LoadResult::kBadHeader, "font %d: height limit %d, not 1-8", s, limit);
    }
    return {};
}

ImageFault CheckSymbols(const uint8_t* image) {
    const int slots = image[0];
    for (int s = 0; s < slots; ++s) {
        const int height = image[kHeightRow + s];
        const int dataStart = s < kSlotsPerBank ? kBank0DataStart : Bank1DataStart(slots);
        const int bankEnd = BankEnd(s);
        for (int code = 0; code < Font::kSymbolCount; ++code) {
            const int offset = ReadEntry(image, s, code) - AddressBias(s);
            if (offset < dataStart || offset >= bankEnd)
                return Fault(LoadResult::kBadOffset, "font %d, symbol %d: record address outside the font's bank", s,
                             code);
            const int width = image[offset];
            const int bytes = width * height;
            if (bytes > Symbol::kDataSize || offset + 1 + bytes > bankEnd)
                return Fault(LoadResult::kBadRecord,
                             "font %d, symbol %d: record of %d columns is over 512 bytes or runs past its bank", s,
                             code, width);
        }
    }
    return {};
}

ImageFault CheckImage(const uint8_t* image) {
    ImageFault fault = CheckHeader(image);
    if (fault.result != LoadResult::kLoaded) return fault;
    return CheckSymbols(image);
}

// The image as the reader sees it: a short buffer is taken as zero-filled.
std::vector<uint8_t> FullImage(const uint8_t* bytes, size_t size) {
    std::vector<uint8_t> image(FontImage::kFileSize, 0);
    if (size > 0) std::memcpy(image.data(), bytes, std::min<size_t>(size, FontImage::kFileSize));
    return image;
}

void ReadFont(const uint8_t* image, int slot, Font& font) {
    const int height = image[kHeightRow + slot];
    const int limit = image[kLimitRow + slot];
    font.SetHeight(height);
    font.SetInterval(image[kIntervalRow + slot]);
    font.SetHeightLimit(limit);

    const uint8_t* record = image + kNameRow + kNameRecordSize * slot;
    unsigned sum = 0;
    for (int i = 0; i < kNameRecordSize; ++i) sum += record[i];
    if ((sum & 0xFF) == 0xFF)
        font.SetName(reinterpret_cast<const char*>(record), record[Font::kNameLength]);
    else
        font.SetName(kUnnamed, kUnnamedChecksum);

    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const int offset = ReadEntry(image, slot, code) - AddressBias(slot);
        font.SetOffset(code, offset);
        Symbol& symbol = font.At(code);
        symbol.width = image[offset];
        symbol.height = height;
        symbol.heightLimit = limit;
        std::memcpy(symbol.data.get(), image + offset + 1, symbol.width * height);
    }
}

// ---- writing ----

// Where each font goes. Slots below bank0Fonts hold fonts 0 to bank0Fonts - 1,
// the next fillers slots hold filler fonts, and the slots after them hold the
// remaining fonts in order.
struct Layout {
    int slots = 0;
    int bank0Fonts = 0;
    int fillers = 0;

    // Font index of a slot, or -1 for a filler.
    int FontOf(int slot) const {
        if (slot < bank0Fonts) return slot;
        if (slot < bank0Fonts + fillers) return -1;
        return slot - fillers;
    }
};

int CheckDocument(const FontImage& document) {
    if (document.GetFontCount() < 1) return SaveResult::kNoFonts;
    for (int i = 0; i < document.GetFontCount(); ++i) {
        const Font& font = document.FontAt(i);
        const int height = font.GetHeight();
        if (height < 1 || height > kMaxHeight || font.GetInterval() < 0 || font.GetInterval() > kMaxInterval)
            return SaveResult::kBadFontSetting;
        if (height == 1 && (font.GetHeightLimit() < 1 || font.GetHeightLimit() > kMaxLimit))
            return SaveResult::kBadFontSetting;
    }
    return SaveResult::kSaved;
}

int CheckWidths(const FontImage& document) {
    for (int i = 0; i < document.GetFontCount(); ++i) {
        const Font& font = document.FontAt(i);
        for (int code = 0; code < Font::kSymbolCount; ++code) {
            const int width = font.At(code).width;
            if (width < 0 || width > kMaxRecordWidth || width * font.GetHeight() > Symbol::kDataSize)
                return SaveResult::kBadSymbolWidth;
        }
    }
    return SaveResult::kSaved;
}

// Rows at and above the limit of a font 1 byte high become background, in
// memory as in the file, so that the editor shows what the printer gets.
void ClipOneStringFonts(FontImage& document) {
    for (int i = 0; i < document.GetFontCount(); ++i) {
        Font& font = document.FontAt(i);
        if (font.GetHeight() != 1) continue;
        const uint8_t aboveLimit = static_cast<uint8_t>(~((1u << font.GetHeightLimit()) - 1));
        for (int code = 0; code < Font::kSymbolCount; ++code) {
            Symbol& symbol = font.At(code);
            const int bytes = std::min(symbol.width, Symbol::kDataSize);
            for (int b = 0; b < bytes; ++b) symbol.data[b] |= aboveLimit;
        }
    }
}

int PlanLayout(const FontImage& document, Layout& layout) {
    const int fonts = document.GetFontCount();
    int total = 0;
    for (int i = 0; i < fonts; ++i) total += document.FontAt(i).GetImageSize();
    if (fonts <= kSlotsPerBank && total < kBankDataCapacity) {
        layout = {fonts, fonts, 0};
    } else {
        int bank0Fonts = 0;
        int running = 0;
        while (bank0Fonts < std::min(fonts, kSlotsPerBank)) {
            const int next = running + document.FontAt(bank0Fonts).GetImageSize();
            if (next > kBankDataCapacity) break;
            running = next;
            ++bank0Fonts;
        }
        if (bank0Fonts == 0) return SaveResult::kFontsDoNotFit;
        if (fonts - bank0Fonts > kSlotsPerBank) return SaveResult::kTooManySlots;
        running = 0;
        for (int i = bank0Fonts; i < fonts; ++i) {
            running += document.FontAt(i).GetImageSize();
            if (running > kBankDataCapacity) return SaveResult::kFontsDoNotFit;
        }
        const int fillers = kSlotsPerBank - bank0Fonts;
        layout = {fonts + fillers, bank0Fonts, fillers};
    }
    // Slot 15's height shares its byte with slot 0's interval: a sixteenth
    // slot can be written only when both values are the same.
    if (layout.slots == kMaxSlots) {
        const int lastFont = layout.FontOf(kMaxSlots - 1);
        if (document.FontAt(0).GetInterval() != document.FontAt(lastFont).GetHeight())
            return SaveResult::kTooManySlots;
    }
    return SaveResult::kSaved;
}

void WriteHeader(const FontImage& document, const Layout& layout, uint8_t* image) {
    image[0] = static_cast<uint8_t>(layout.slots);
    for (int s = 0; s < layout.slots; ++s) {
        const int font = layout.FontOf(s);
        int height = 1, limit = kMaxLimit;
        if (font >= 0) {
            height = document.GetFontHeight(font);
            if (height == 1) limit = document.GetHeightLimit(font);
        }
        image[kHeightRow + s] = static_cast<uint8_t>(height);
        image[kLimitRow + s] = static_cast<uint8_t>(limit);
    }
    for (int s = layout.slots; s < kHeightRowEnd - kHeightRow; ++s) image[kHeightRow + s] = kMaxHeight;
    for (int s = layout.slots; s < kMaxSlots; ++s) image[kLimitRow + s] = kMaxLimit;
    // Intervals last: for a sixteenth slot they keep slot 0's interval on 0x10.
    for (int s = 0; s < layout.slots; ++s) {
        const int font = layout.FontOf(s);
        image[kIntervalRow + s] = static_cast<uint8_t>(font >= 0 ? document.GetInterval(font) : 1);
    }
    for (int i = 0; i < document.GetFontCount(); ++i) image[kPositionRow + i] = i < 4 ? 7 : 8;
    for (int s = 0; s < layout.slots; ++s) {
        char name[Font::kNameLength + 1];
        uint8_t* record = image + kNameRow + kNameRecordSize * s;
        record[Font::kNameLength] = document.GetFontName(layout.FontOf(s), name);
        std::memcpy(record, name, Font::kNameLength);
    }
}

// Appends records from position on, never past bankEnd; false when they do
// not fit.
class RecordWriter {
public:
    RecordWriter(uint8_t* image, int position, int bankEnd) : image_(image), position_(position), bankEnd_(bankEnd) {}

    bool Append(const uint8_t* data, int width, int height, int& at) {
        const int bytes = width * height;
        if (position_ + 1 + bytes > bankEnd_) return false;
        at = position_;
        image_[position_] = static_cast<uint8_t>(width);
        std::memcpy(image_ + position_ + 1, data, bytes);
        position_ += 1 + bytes;
        return true;
    }

private:
    uint8_t* image_;
    int position_;
    int bankEnd_;
};

// Every symbol that holds ink, and the space, has a record of its own; the
// other blank symbols all share the record of the first of them.
bool WriteFont(const Font& font, int slot, RecordWriter& writer, uint8_t* image) {
    const int height = font.GetHeight();
    const int bias = AddressBias(slot);
    int sharedBlank = -1;
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        const Symbol& symbol = font.At(code);
        const bool shares = symbol.IsEmpty() && code != kSpace;
        if (shares && sharedBlank >= 0) {
            WriteEntry(image, slot, code, bias + sharedBlank);
            continue;
        }
        int at = 0;
        if (!writer.Append(symbol.data.get(), symbol.width, height, at)) return false;
        if (shares) sharedBlank = at;
        WriteEntry(image, slot, code, bias + at);
    }
    return true;
}

bool WriteFiller(int slot, RecordWriter& writer, uint8_t* image) {
    const uint8_t blank = Symbol::kBlank;
    int at = 0;
    if (!writer.Append(&blank, 1, 1, at)) return false;
    for (int code = 0; code < Font::kSymbolCount; ++code) WriteEntry(image, slot, code, AddressBias(slot) + at);
    return true;
}

bool WriteRecords(const FontImage& document, const Layout& layout, uint8_t* image) {
    RecordWriter bank0(image, kBank0DataStart, kBankSize);
    RecordWriter bank1(image, Bank1DataStart(layout.slots), 2 * kBankSize);
    for (int s = 0; s < layout.slots; ++s) {
        RecordWriter& writer = s < kSlotsPerBank ? bank0 : bank1;
        const int font = layout.FontOf(s);
        if (font < 0) continue;
        if (!WriteFont(document.FontAt(font), s, writer, image)) return false;
    }
    // Fillers follow all the bank-0 fonts.
    for (int s = layout.bank0Fonts; s < layout.bank0Fonts + layout.fillers; ++s) {
        if (!WriteFiller(s, bank0, image)) return false;
    }
    return true;
}

}  // namespace

int SavedFontNumber(FontImage& document, int index) {
    std::vector<uint8_t> image;
    if (index < 0 || index >= document.GetFontCount() || document.Serialize(image) != SaveResult::kSaved) return -1;
    Layout layout;
    if (PlanLayout(document, layout) != SaveResult::kSaved) return -1;
    return index < layout.bank0Fonts ? index : index + layout.fillers;
}

bool IsFillerFont(const FontImage& image, int index) {
    char filler[Font::kNameLength + 1], name[Font::kNameLength + 1];
    const uint8_t fillerChecksum = image.GetFontName(-1, filler);
    if (image.GetFontName(index, name) != fillerChecksum || std::memcmp(name, filler, Font::kNameLength) != 0)
        return false;
    const Font& font = image.FontAt(index);
    if (font.GetHeight() != 1 || font.GetInterval() != 1 || font.GetHeightLimit() != kMaxLimit) return false;
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        if (font.At(code).width != 1 || !font.IsSymbolEmpty(code)) return false;
    }
    return true;
}

int CheckFontImage(const uint8_t* bytes, size_t size, std::string* why) {
    const std::vector<uint8_t> image = FullImage(bytes, size);
    ImageFault fault = CheckImage(image.data());
    if (why) *why = std::move(fault.why);
    return fault.result;
}

int FontImage::Deserialize(const uint8_t* bytes, size_t size) {
    const std::vector<uint8_t> image = FullImage(bytes, size);
    const int checked = CheckImage(image.data()).result;
    if (checked != LoadResult::kLoaded) return checked;

    // The document keeps its fonts until the new pool exists.
    std::unique_ptr<Font[]> previous = std::move(pool);
    if (!AllocateFonts(kMaxFonts)) {
        pool = std::move(previous);
        return LoadResult::kNoPool;
    }
    for (int i = 0; i < kMaxFonts; ++i) {
        fonts[i] = &pool[i];
        used[i] = 0;
    }
    count = image[0];
    for (int s = 0; s < count; ++s) {
        ReadFont(image.data(), s, pool[s]);
        used[s] = 1;
    }
    return LoadResult::kLoaded;
}

int FontImage::Load(const std::string& path) {
    const ScopedFile file = OpenWithRetries(path, "rb");
    if (!file) return LoadResult::kNotOpened;
    std::vector<uint8_t> bytes(kFileSize);
    const size_t read = std::fread(bytes.data(), 1, bytes.size(), file.get());
    return Deserialize(bytes.data(), read);
}

int FontImage::Serialize(std::vector<uint8_t>& out) {
    int result = CheckDocument(*this);
    if (result != SaveResult::kSaved) return result;
    ClipOneStringFonts(*this);
    result = CheckWidths(*this);
    if (result != SaveResult::kSaved) return result;
    Layout layout;
    result = PlanLayout(*this, layout);
    if (result != SaveResult::kSaved) return result;

    std::vector<uint8_t> image(kFileSize, 0);
    WriteHeader(*this, layout, image.data());
    if (!WriteRecords(*this, layout, image.data())) return SaveResult::kFontsDoNotFit;
    out.swap(image);
    return SaveResult::kSaved;
}

int FontImage::Save(const std::string& path) {
    std::vector<uint8_t> image;
    const int result = Serialize(image);
    if (result != SaveResult::kSaved) return result;
    return WriteFileAtomically(path, image.data(), image.size()) ? SaveResult::kSaved : SaveResult::kWriteFailed;
}
