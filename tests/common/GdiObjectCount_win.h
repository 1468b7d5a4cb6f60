// The number of GDI objects the process holds. GetGuiResources gives it on
// Windows; Wine answers 0 there, so under Wine the handle table that Wine
// shares with the process (the PEB's GdiSharedHandleTable: 65,536 entries of
// 24 bytes, the object type at byte 14, 0 for a free entry) is counted.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <cstdint>

inline DWORD GdiObjectCount() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) return reported;
// mingw's NtCurrentTeb reads the segment register through a zero-length
// array, which GCC takes for an out-of-bounds read.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    const auto* peb = reinterpret_cast<const uint8_t*>(NtCurrentTeb()->ProcessEnvironmentBlock);
#pragma GCC diagnostic pop
#ifdef _WIN64
    constexpr size_t kHandleTableOffset = 0xF8;
#else
    constexpr size_t kHandleTableOffset = 0x94;
#endif
    const uint8_t* table = *reinterpret_cast<const uint8_t* const*>(peb + kHandleTableOffset);
    if (!table) return 0;
    constexpr int kEntries = 0x10000;
    constexpr size_t kEntrySize = 24;
    constexpr size_t kTypeOffset = 14;
    DWORD count = 0;
    for (int i = 0; i < kEntries; ++i) {
        if (table[i * kEntrySize + kTypeOffset] != 0) ++count;
    }
    return count;
}
