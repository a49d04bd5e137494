// RAII owners of Windows handles, DC selections and memory blocks: one place, used everywhere,
// so that no return path has to release anything by hand.
#pragma once

#include <cstdint>
#include <utility>

#include "toolkit/foundation/WinApi.h"

#include <winspool.h>

// Owns a handle of type H and frees it with Free when it goes out of scope. Invalid is the value
// that means "no handle" (nullptr for most, INVALID_HANDLE_VALUE for files).
template <class H, auto Free, std::intptr_t Invalid = 0>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    H get() const { return handle_; }
    explicit operator bool() const { return handle_ != invalid(); }
    H release() { return std::exchange(handle_, invalid()); }
    void reset(H handle = invalid())
    {
        if (handle_ != invalid()) Free(handle_);
        handle_ = handle;
    }

private:
    static H invalid() { return reinterpret_cast<H>(Invalid); }
    H handle_ = invalid();
};

namespace HandleFree {
inline void window(HWND h) { DestroyWindow(h); }
inline void gdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void dc(HDC h) { DeleteDC(h); }
inline void kernel(HANDLE h) { CloseHandle(h); }
inline void menu(HMENU h) { DestroyMenu(h); }
inline void library(HMODULE h) { FreeLibrary(h); }
inline void globalMemory(HGLOBAL h) { GlobalFree(h); }
inline void enhMetafile(HENHMETAFILE h) { DeleteEnhMetaFile(h); }
inline void icon(HICON h) { DestroyIcon(h); }
inline void accelerators(HACCEL h) { DestroyAcceleratorTable(h); }
inline void find(HANDLE h) { FindClose(h); }
inline void registryKey(HKEY h) { RegCloseKey(h); }
inline void printer(HANDLE h) { ClosePrinter(h); }
}  // namespace HandleFree

using WindowHandle = UniqueHandle<HWND, HandleFree::window>;
using GdiObjectHandle = UniqueHandle<HGDIOBJ, HandleFree::gdiObject>;
using BitmapHandle = UniqueHandle<HBITMAP, HandleFree::gdiObject>;
using MemoryDcHandle = UniqueHandle<HDC, HandleFree::dc>;   // from CreateDC / CreateCompatibleDC
using KernelHandle = UniqueHandle<HANDLE, HandleFree::kernel>;
using FileHandle = UniqueHandle<HANDLE, HandleFree::kernel, -1>;  // INVALID_HANDLE_VALUE
using MenuHandle = UniqueHandle<HMENU, HandleFree::menu>;
using LibraryHandle = UniqueHandle<HMODULE, HandleFree::library>;
using GlobalMemoryHandle = UniqueHandle<HGLOBAL, HandleFree::globalMemory>;
using EnhMetafileHandle = UniqueHandle<HENHMETAFILE, HandleFree::enhMetafile>;
using IconHandle = UniqueHandle<HICON, HandleFree::icon>;
using AcceleratorHandle = UniqueHandle<HACCEL, HandleFree::accelerators>;
using FindHandle = UniqueHandle<HANDLE, HandleFree::find, -1>;   // FindFirstFileA's INVALID_HANDLE_VALUE
using RegistryKeyHandle = UniqueHandle<HKEY, HandleFree::registryKey>;
using PrinterHandle = UniqueHandle<HANDLE, HandleFree::printer>;  // from OpenPrinterA

// A window DC from GetDC, released with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { if (dc_) ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a DC; the previous object is selected back at the end of the scope.
class DcSelection {
public:
    DcSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~DcSelection() { if (previous_) SelectObject(dc_, previous_); }
    DcSelection(const DcSelection&) = delete;
    DcSelection& operator=(const DcSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// GlobalLock / GlobalUnlock of a movable memory block.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
    ~GlobalLockGuard() { if (data_) GlobalUnlock(block_); }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* data() const { return data_; }

private:
    HGLOBAL block_;
    void* data_;
};
