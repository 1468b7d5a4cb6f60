// The code pages behind --charset, as one table per name that every system
// shares (CharsetTables.cpp, made by make-charset-tables): the codes 128-255,
// codes 0-127 being ASCII in every one of them.
#pragma once

#include <array>
#include <vector>

struct CharsetTable {
    const char* name;
    bool dosGraphics;  // a DOS code page: codes 1-31 and 127 are graphic characters
    std::array<char32_t, 128> upperHalf;
};

const std::vector<CharsetTable>& CharsetTables();
