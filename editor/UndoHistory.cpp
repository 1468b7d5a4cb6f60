#include "UndoHistory.h"

#include <algorithm>
#include <cstring>

#include "FontImageView.h"

namespace {

// --- the parts' states as bytes: symbols without their trailing blank bytes ---

void PutInt(std::vector<uint8_t>& out, int value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(static_cast<unsigned>(value) >> shift));
}

int GetInt(const uint8_t*& in) {
    unsigned value = 0;
    for (int shift = 0; shift < 32; shift += 8) value |= static_cast<unsigned>(*in++) << shift;
    return static_cast<int>(value);
}

void PutSymbol(std::vector<uint8_t>& out, const Symbol& symbol) {
    const uint8_t* data = symbol.data.get();
    int kept = Symbol::kDataSize;
    while (kept > 0 && data[kept - 1] == Symbol::kBlank) --kept;
    PutInt(out, symbol.width);
    PutInt(out, symbol.height);
    PutInt(out, symbol.heightLimit);
    PutInt(out, kept);
    out.insert(out.end(), data, data + kept);
}

void GetSymbol(const uint8_t*& in, Symbol& symbol) {
    symbol.width = GetInt(in);
    symbol.height = GetInt(in);
    symbol.heightLimit = GetInt(in);
    const int kept = GetInt(in);
    std::memset(symbol.data.get(), Symbol::kBlank, Symbol::kDataSize);
    std::memcpy(symbol.data.get(), in, kept);
    in += kept;
}

void PutFields(std::vector<uint8_t>& out, const Font& font) {
    out.insert(out.end(), font.name, font.name + Font::kNameLength);
    out.push_back(font.checksum);
    PutInt(out, font.height);
    PutInt(out, font.interval);
    PutInt(out, font.heightLimit);
}

void GetFields(const uint8_t*& in, Font& font) {
    std::memcpy(font.name, in, Font::kNameLength);
    in += Font::kNameLength;
    font.checksum = *in++;
    font.height = GetInt(in);
    font.interval = GetInt(in);
    font.heightLimit = GetInt(in);
}

void PutWholeFont(std::vector<uint8_t>& out, const Font& font) {
    PutFields(out, font);
    for (int code = 0; code < Font::kSymbolCount; ++code) PutSymbol(out, font.At(code));
}

void GetWholeFont(const uint8_t*& in, Font& font) {
    GetFields(in, font);
    for (int code = 0; code < Font::kSymbolCount; ++code) GetSymbol(in, font.At(code));
}

std::vector<uint8_t> Capture(const FontImage& image, const ChangePart& what) {
    std::vector<uint8_t> state;
    const Font& font = image.FontAt(what.font);
    switch (what.kind) {
        case ChangePart::kSymbol: PutSymbol(state, font.At(what.code)); break;
        case ChangePart::kFontFields: PutFields(state, font); break;
        case ChangePart::kWholeFont:
        case ChangePart::kFontAdded:
        case ChangePart::kFontRemoved: PutWholeFont(state, font); break;
    }
    return state;
}

void Restore(FontImage& image, const ChangePart& what, const std::vector<uint8_t>& state) {
    const uint8_t* in = state.data();
    Font& font = image.FontAt(what.font);
    switch (what.kind) {
        case ChangePart::kSymbol: GetSymbol(in, font.At(what.code)); break;
        case ChangePart::kFontFields: GetFields(in, font); break;
        default: GetWholeFont(in, font); break;
    }
}

bool IsPresencePart(const UndoStep::Part& part) {
    return part.what.kind == ChangePart::kFontAdded || part.what.kind == ChangePart::kFontRemoved;
}

// Puts a font back into the list at index; the caller has made sure of room.
void PutBackFont(FontImage& image, int index, const std::vector<uint8_t>& state) {
    Font* font = InsertFont(image, index);
    if (!font) return;
    const uint8_t* in = state.data();
    GetWholeFont(in, *font);
}

void Swap(FontImage& image, UndoStep::Part& part) {
    if (IsPresencePart(part)) {
        if (part.present) {
            part.state = Capture(image, part.what);
            image.RemoveFont(part.what.font);
        } else {
            PutBackFont(image, part.what.font, part.state);
            part.state.clear();
            part.state.shrink_to_fit();
        }
        part.present = !part.present;
        return;
    }
    std::vector<uint8_t> current = Capture(image, part.what);
    Restore(image, part.what, part.state);
    part.state = std::move(current);
}

DocumentPlace PlaceIn(const FontImageView& document) {
    return {document.GetCurrentFont(), document.GetCurrentSymbol()};
}

}  // namespace

size_t UndoStep::Bytes() const {
    size_t bytes = sizeof *this;
    for (const Part& part : parts) bytes += sizeof part + part.state.capacity();
    return bytes;
}

bool UndoStep::FitsInto(const FontImage& image) const {
    int putBack = 0;
    for (const Part& part : parts) putBack += IsPresencePart(part) && !part.present ? 1 : 0;
    return image.GetFontCount() + putBack <= FontImage::kMaxFonts;
}

bool UndoStep::Touches(int font, int code) const {
    for (const Part& part : parts) {
        switch (part.what.kind) {
            case ChangePart::kSymbol:
                if (part.what.font == font && part.what.code == code) return true;
                break;
            case ChangePart::kFontFields: break;
            case ChangePart::kWholeFont:
                if (part.what.font == font) return true;
                break;
            case ChangePart::kFontAdded:
            case ChangePart::kFontRemoved:
                if (part.what.font <= font) return true;
                break;
        }
    }
    return false;
}

UndoHistory::Pending UndoHistory::Begin(const FontImageView& document, const std::vector<ChangePart>& parts) const {
    Pending pending;
    pending.open_ = true;
    pending.fontCount_ = document.GetFontCount();
    pending.step_.before = PlaceIn(document);
    for (const ChangePart& what : parts) {
        UndoStep::Part part{what, true, {}};
        if (what.kind != ChangePart::kFontAdded) part.state = Capture(document, what);
        pending.step_.parts.push_back(std::move(part));
    }
    return pending;
}

bool UndoHistory::Commit(const FontImageView& document, Pending pending) {
    if (!pending.open_) return false;
    UndoStep& step = pending.step_;
    const int count = document.GetFontCount();
    std::vector<UndoStep::Part> changed;
    for (UndoStep::Part& part : step.parts) {
        switch (part.what.kind) {
            case ChangePart::kFontAdded:
                if (count != pending.fontCount_ + 1) continue;
                part.what.font = count - 1;
                break;
            case ChangePart::kFontRemoved:
                if (count != pending.fontCount_ - 1) continue;
                part.present = false;
                break;
            default:
                if (Capture(document, part.what) == part.state) continue;
                break;
        }
        part.state.shrink_to_fit();
        changed.push_back(std::move(part));
    }
    if (changed.empty()) return false;
    step.parts = std::move(changed);
    step.after = PlaceIn(document);
    steps_.Push(std::move(step));
    return true;
}

bool UndoHistory::Undo(FontImageView& document, DocumentPlace* place) {
    if (!CanUndo() || !NextUndo().FitsInto(document)) return false;
    return steps_.Undo([&](UndoStep& step) {
        for (auto part = step.parts.rbegin(); part != step.parts.rend(); ++part) Swap(document, *part);
        *place = step.before;
    });
}

bool UndoHistory::Redo(FontImageView& document, DocumentPlace* place) {
    if (!CanRedo() || !NextRedo().FitsInto(document)) return false;
    return steps_.Redo([&](UndoStep& step) {
        for (UndoStep::Part& part : step.parts) Swap(document, part);
        *place = step.after;
    });
}
