// The code pages behind --charset, as one table per name that every system
// shares (CharsetTables.cpp, made by make-charset-tables).
#pragma once

#include <array>
#include <vector>

struct CharsetTable {
    const char* name;
    std::array<char32_t, 256> unicode;
};

const std::vector<CharsetTable>& CharsetTables();
