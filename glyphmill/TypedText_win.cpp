#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "TypedText.h"

namespace {

std::string Narrow(const wchar_t* wide, UINT codePage) {
    const int count = WideCharToMultiByte(codePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(count > 0 ? count : 1), '\0');
    WideCharToMultiByte(codePage, 0, wide, -1, narrow.data(), count, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

}  // namespace

// The C library hands main the arguments in the ANSI code page, where a
// character outside it is a '?'. The same argument of the wide command line
// has every character typed.
std::string TypedTextAsUtf8(const std::string& typed) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> arguments(CommandLineToArgvW(GetCommandLineW(), &count),
                                                                   &LocalFree);
    for (int i = 1; arguments && i < count; ++i) {
        if (Narrow(arguments.get()[i], CP_ACP) == typed) return Narrow(arguments.get()[i], CP_UTF8);
    }
    const int wideCount = MultiByteToWideChar(CP_ACP, 0, typed.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideCount > 0 ? wideCount : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, typed.c_str(), -1, wide.data(), wideCount);
    return Narrow(wide.c_str(), CP_UTF8);
}
