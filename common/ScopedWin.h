// Owners for Win32 handles and GDI objects: each releases what it holds when
// it goes out of scope, and none can be copied.
#pragma once

#include <windows.h>

#include <utility>

template <typename T, typename Traits>
class Scoped {
public:
    Scoped() = default;
    explicit Scoped(T value) : value_(value) {}
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : value_(std::exchange(other.value_, Traits::Empty())) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.value_, Traits::Empty()));
        return *this;
    }
    ~Scoped() { Reset(); }

    T Get() const { return value_; }
    explicit operator bool() const { return Traits::IsValid(value_); }
    void Reset(T value = Traits::Empty()) {
        if (Traits::IsValid(value_)) Traits::Close(value_);
        value_ = value;
    }
    T Release() { return std::exchange(value_, Traits::Empty()); }

private:
    T value_ = Traits::Empty();
};

struct KernelHandleTraits {
    static HANDLE Empty() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
using ScopedHandle = Scoped<HANDLE, KernelHandleTraits>;

template <typename T>
struct GdiObjectTraits {
    static T Empty() { return nullptr; }
    static bool IsValid(T h) { return h != nullptr; }
    static void Close(T h) { DeleteObject(h); }
};
using ScopedBitmap = Scoped<HBITMAP, GdiObjectTraits<HBITMAP>>;
using ScopedFont = Scoped<HFONT, GdiObjectTraits<HFONT>>;
using ScopedBrush = Scoped<HBRUSH, GdiObjectTraits<HBRUSH>>;
using ScopedPen = Scoped<HPEN, GdiObjectTraits<HPEN>>;

struct MemoryDcTraits {
    static HDC Empty() { return nullptr; }
    static bool IsValid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
// A device context from CreateCompatibleDC.
using ScopedMemoryDC = Scoped<HDC, MemoryDcTraits>;

struct IconTraits {
    static HICON Empty() { return nullptr; }
    static bool IsValid(HICON h) { return h != nullptr; }
    static void Close(HICON h) { DestroyIcon(h); }
};
using ScopedIcon = Scoped<HICON, IconTraits>;

struct AcceleratorTraits {
    static HACCEL Empty() { return nullptr; }
    static bool IsValid(HACCEL h) { return h != nullptr; }
    static void Close(HACCEL h) { DestroyAcceleratorTable(h); }
};
using ScopedAccelerators = Scoped<HACCEL, AcceleratorTraits>;

// Selects an object into a device context and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ~ScopedSelect() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The window's device context from GetDC, released with ReleaseDC.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    ~ScopedWindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint around a WM_PAINT handler.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    ~ScopedPaint() { EndPaint(window_, &paint_); }
    HDC Get() const { return dc_; }
    const PAINTSTRUCT& Info() const { return paint_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// OpenClipboard and CloseClipboard.
class ScopedClipboard {
public:
    explicit ScopedClipboard(HWND owner) : open_(OpenClipboard(owner) != 0) {}
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    ~ScopedClipboard() {
        if (open_) CloseClipboard();
    }
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// GlobalLock and GlobalUnlock of a memory block.
class ScopedGlobalLock {
public:
    explicit ScopedGlobalLock(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    ~ScopedGlobalLock() {
        if (data_) GlobalUnlock(block_);
    }
    void* Get() const { return data_; }
    SIZE_T Size() const { return data_ ? GlobalSize(block_) : 0; }

private:
    HGLOBAL block_;
    void* data_;
};
