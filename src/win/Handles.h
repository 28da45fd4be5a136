// Move-only owners for the Win32 handles the front uses. Each owner frees its
// handle exactly once; copying is deleted because a copied owner would free
// twice. A raw handle (HFONT, HBRUSH, HWND ...) is the non-owning form: pass it
// around freely, never free it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace win {

// Owns one handle; Traits::Close frees it. Traits::Null is the empty value.
template <typename Traits>
class UniqueHandle
{
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const noexcept { return m_handle; }
    // Lets an owner go straight into an API call that only borrows the handle.
    operator Handle() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return m_handle != Traits::Null(); }

    // Gives up ownership without freeing.
    Handle release() noexcept { return std::exchange(m_handle, Traits::Null()); }

    // Frees the current handle (if any) and takes `handle`.
    void reset(Handle handle = Traits::Null()) noexcept
    {
        const Handle old = std::exchange(m_handle, handle);
        if (old != Traits::Null())
            Traits::Close(old);
    }

private:
    Handle m_handle = Traits::Null();
};

namespace detail {

template <typename H>
struct GdiObjectTraits {
    using Handle = H;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};

struct DcTraits {
    using Handle = HDC;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};

struct CursorTraits {
    using Handle = HCURSOR;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::DestroyCursor(h); }
};

struct MenuTraits {
    using Handle = HMENU;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::DestroyMenu(h); }
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::FreeLibrary(h); }
};

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::ImageList_Destroy(h); }
};

}  // namespace detail

// GDI objects (DeleteObject). Example: win::Brush brush(CreateSolidBrush(c));
using Pen = UniqueHandle<detail::GdiObjectTraits<HPEN>>;
using Brush = UniqueHandle<detail::GdiObjectTraits<HBRUSH>>;
using Font = UniqueHandle<detail::GdiObjectTraits<HFONT>>;
using Bitmap = UniqueHandle<detail::GdiObjectTraits<HBITMAP>>;
using Region = UniqueHandle<detail::GdiObjectTraits<HRGN>>;

// A DC from CreateCompatibleDC or CreateDC (DeleteDC).
using MemoryDC = UniqueHandle<detail::DcTraits>;

// Icons and cursors made by CreateIconIndirect, CopyIcon, or LoadImage without
// LR_SHARED. Never put a shared icon (LoadIcon, LR_SHARED) into one.
using Icon = UniqueHandle<detail::IconTraits>;
using Cursor = UniqueHandle<detail::CursorTraits>;

// A menu that is not attached to a window (DestroyMenu, which also destroys
// its sub-menus).
using Menu = UniqueHandle<detail::MenuTraits>;

// A registry key opened with RegOpenKeyExA (RegCloseKey).
using RegKey = UniqueHandle<detail::RegKeyTraits>;

// A library loaded with LoadLibraryA (FreeLibrary).
using Module = UniqueHandle<detail::ModuleTraits>;

// An image list made with ImageList_Create (ImageList_Destroy).
using ImageList = UniqueHandle<detail::ImageListTraits>;

// GetDC / ReleaseDC for a window (or the screen when the window is null).
class WindowDC
{
public:
    explicit WindowDC(HWND window) noexcept;
    ~WindowDC();
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&& other) noexcept;
    WindowDC& operator=(WindowDC&&) = delete;

    HDC get() const noexcept { return m_dc; }
    operator HDC() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

// BeginPaint / EndPaint for the handling of one WM_PAINT.
class PaintDC
{
public:
    explicit PaintDC(HWND window) noexcept;
    ~PaintDC();
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const noexcept { return m_dc; }
    operator HDC() const noexcept { return m_dc; }
    const PAINTSTRUCT& paint() const noexcept { return m_paint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint;
    HDC m_dc;
};

// SaveDC now, RestoreDC(-1 level) when it goes: brings back the selected
// objects, colours and clipping that drawing code changed meanwhile.
class SavedDC
{
public:
    explicit SavedDC(HDC dc) noexcept;
    ~SavedDC();
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC m_dc;
    int m_level;
};

// Selects a GDI object into a DC and puts the previous one back when it goes,
// so that the object can then be deleted safely. Declare the guard after the
// object's owner so that it is destroyed first.
class SelectGuard
{
public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept;
    ~SelectGuard();
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

    HGDIOBJ previous() const noexcept { return m_previous; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Resources of the running executable. The results are owned (not shared), so
// they are freed when their owner goes. Sizes 0 take the image's own size.
Icon LoadIconResource(int id, int width, int height);
// The icon at the system's small-icon size, for a dialog's caption.
Icon LoadSmallIconResource(int id);
Bitmap LoadBitmapResource(int id);

}  // namespace win
