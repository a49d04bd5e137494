// RAII owners of Windows handles, DC selections, files and memory blocks: one place, used
// everywhere, so that no return path has to release anything by hand. The C-library owners come
// first and build in every tree; the Windows owners only where <windows.h> exists.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <utility>

// A C-library stream, closed when it goes out of scope.
struct StdioFileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using StdioFile = std::unique_ptr<std::FILE, StdioFileClose>;

// Closes a stream now and tells whether everything written reached the file: the close flushes
// the buffer, so a full disk may only show here.
inline bool StdioFileCloseChecked(StdioFile& file)
{
    return file && std::fclose(file.release()) == 0;
}

#if defined(_WIN32)

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
// A metafile still recording: closing it gives the metafile, which nobody took.
inline void enhMetafileRecording(HDC h) { DeleteEnhMetaFile(CloseEnhMetaFile(h)); }
inline void printer(HANDLE h) { ClosePrinter(h); }
inline void metafile(HMETAFILE h) { DeleteMetaFile(h); }
inline void metafileRecording(HDC h) { DeleteMetaFile(CloseMetaFile(h)); }
inline void windowsHook(HHOOK h) { UnhookWindowsHookEx(h); }
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
using EnhMetafileRecordingHandle = UniqueHandle<HDC, HandleFree::enhMetafileRecording>;  // from CreateEnhMetaFile
using PrinterHandle = UniqueHandle<HANDLE, HandleFree::printer>;  // from OpenPrinterA
using MetafileHandle = UniqueHandle<HMETAFILE, HandleFree::metafile>;
using MetafileRecordingHandle = UniqueHandle<HDC, HandleFree::metafileRecording>;  // from CreateMetaFile
using HookHandle = UniqueHandle<HHOOK, HandleFree::windowsHook>;  // from SetWindowsHookExA

// An image handle of the kind LoadImage and the STM_/BM_SETIMAGE messages speak of (IMAGE_BITMAP,
// IMAGE_ICON, IMAGE_CURSOR, IMAGE_ENHMETAFILE), freed the way its kind is freed.
class ImageHandle {
public:
    ImageHandle() = default;
    ImageHandle(UINT kind, HANDLE image) : kind_(kind), image_(image) {}
    ~ImageHandle() { reset(); }
    ImageHandle(ImageHandle&& other) noexcept : kind_(other.kind_), image_(other.release()) {}
    ImageHandle& operator=(ImageHandle&& other) noexcept
    {
        if (this != &other) {
            reset();
            kind_ = other.kind_;
            image_ = other.release();
        }
        return *this;
    }
    ImageHandle(const ImageHandle&) = delete;
    ImageHandle& operator=(const ImageHandle&) = delete;

    HANDLE get() const { return image_; }
    explicit operator bool() const { return image_ != nullptr; }
    HANDLE release() { return std::exchange(image_, nullptr); }
    void reset()
    {
        HANDLE image = release();
        if (!image) return;
        if (kind_ == IMAGE_ICON) DestroyIcon(static_cast<HICON>(image));
        else if (kind_ == IMAGE_CURSOR) DestroyCursor(static_cast<HCURSOR>(image));
        else if (kind_ == IMAGE_ENHMETAFILE) DeleteEnhMetaFile(static_cast<HENHMETAFILE>(image));
        else DeleteObject(image);
    }

private:
    UINT kind_ = IMAGE_BITMAP;
    HANDLE image_ = nullptr;
};

// A window DC from GetDC, released with ReleaseDC. Movable, so that a DC kept for drawing across
// calls has an owner too.
class WindowDc {
public:
    WindowDc() = default;
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { reset(); }
    WindowDc(WindowDc&& other) noexcept : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDc& operator=(WindowDc&& other) noexcept
    {
        if (this != &other) {
            reset();
            window_ = other.window_;
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    HWND window() const { return dc_ ? window_ : nullptr; }
    void reset()
    {
        if (dc_) ReleaseDC(window_, std::exchange(dc_, nullptr));
    }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// BeginPaint / EndPaint of one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A block of memory in another process (VirtualAllocEx), freed with VirtualFreeEx: the buffer
// through which a control of that process hands back what a pointer message asks for.
class ProcessMemory {
public:
    ProcessMemory(HANDLE process, SIZE_T size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
    {
    }
    ~ProcessMemory() { if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    ProcessMemory(const ProcessMemory&) = delete;
    ProcessMemory& operator=(const ProcessMemory&) = delete;
    void* get() const { return address_; }

private:
    HANDLE process_;
    void* address_;
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

// A palette selected into a DC; the previous palette is selected back at the end of the scope.
class DcPaletteSelection {
public:
    DcPaletteSelection(HDC dc, HPALETTE palette)
        : dc_(dc), previous_(palette ? SelectPalette(dc, palette, FALSE) : nullptr) {}
    ~DcPaletteSelection() { if (previous_) SelectPalette(dc_, previous_, FALSE); }
    DcPaletteSelection(const DcPaletteSelection&) = delete;
    DcPaletteSelection& operator=(const DcPaletteSelection&) = delete;

private:
    HDC dc_;
    HPALETTE previous_;
};

// The clipboard held open by this thread until the object goes. Under X the clipboard lives in
// selections and another program may hold it a moment, so the open is retried until the deadline.
class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner, DWORD deadlineMs = 1000)
    {
        const DWORD start = GetTickCount();
        while (!(open_ = OpenClipboard(owner) != FALSE) && GetTickCount() - start < deadlineMs) Sleep(10);
    }
    ~ClipboardSession() { if (open_) CloseClipboard(); }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool isOpen() const { return open_; }

private:
    bool open_ = false;
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

// A record that lives as long as its window, kept in the window's GWLP_USERDATA. attach hands the
// record over (and releases one the window held before); the window's procedure calls release
// from WM_NCDESTROY, its last message, so that the record goes with the window on every path.
template <class Record>
struct WindowOwnedRecord {
    static Record* attach(HWND window, std::unique_ptr<Record> record)
    {
        Record* held = record.release();
        std::unique_ptr<Record> previous(
            reinterpret_cast<Record*>(SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(held))));
        if (previous.get() == held) previous.release();  // attached twice: still one owner
        return held;
    }
    static Record* of(HWND window) { return reinterpret_cast<Record*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }
    // Takes the record back from the window; it goes when the result goes.
    static std::unique_ptr<Record> release(HWND window)
    {
        return std::unique_ptr<Record>(reinterpret_cast<Record*>(SetWindowLongPtrA(window, GWLP_USERDATA, 0)));
    }
};

#endif  // _WIN32
