#include "Symbol.h"

#include <algorithm>
#include <cstring>

Symbol::Symbol() : data(new uint8_t[kDataSize]) { std::memset(data.get(), kBlank, kDataSize); }

Symbol::~Symbol() = default;

bool Symbol::IsEmpty() const {
    const int size = ByteCount();
    if (size <= 0) return true;
    const uint8_t* bytes = data.get();
    return std::all_of(bytes, bytes + std::min(size, kDataSize), [](uint8_t b) { return b == kBlank; });
}

int Symbol::Clear() {
    std::memset(data.get(), kBlank, kDataSize);
    return 1;
}

void Symbol::CopyFrom(const Symbol& other) {
    if (&other == this) return;
    width = other.width;
    height = other.height;
    heightLimit = other.heightLimit;
    std::memcpy(data.get(), other.data.get(), kDataSize);
}

void Symbol::Relayout(int newHeight) {
    uint8_t relaid[kDataSize];
    std::memset(relaid, kBlank, kDataSize);
    const int kept = std::min(height, newHeight);
    for (int column = 0; column < width; ++column) {
        for (int b = 0; b < kept; ++b) relaid[column * newHeight + b] = data[column * height + b];
    }
    std::memcpy(data.get(), relaid, kDataSize);
    height = newHeight;
}
