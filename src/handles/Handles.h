// Move-only owners for Win32 handles, shared by the platform services and the
// window front. Each owner frees its handle exactly once; copying is deleted
// because a copied owner would free twice. A raw handle (HFONT, HKEY, HWND ...)
// is the non-owning form: pass it around freely, never free it.
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

struct FileTraits {
    using Handle = HANDLE;
    static Handle Null() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

// Events, threads and other kernel objects whose empty value is null.
struct KernelObjectTraits {
    using Handle = HANDLE;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::CloseHandle(h); }
};

struct ChangeNotificationTraits {
    using Handle = HANDLE;
    static Handle Null() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindCloseChangeNotification(h); }
};

struct FindTraits {
    using Handle = HANDLE;
    static Handle Null() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};

struct LocalTextTraits {
    using Handle = char*;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Null() { return nullptr; }
    static void Close(Handle h) { ::ImageList_Destroy(h); }
};

}  // namespace detail

// GDI objects (DeleteObject). Example: win::Brush brush(CreateSolidBrush(c));
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

// A file opened with CreateFileA (CloseHandle). Empty is INVALID_HANDLE_VALUE,
// what CreateFileA returns on failure.
using FileHandle = UniqueHandle<detail::FileTraits>;

// A text the system allocated for the caller (FormatMessageA with
// FORMAT_MESSAGE_ALLOCATE_BUFFER; LocalFree).
using LocalText = UniqueHandle<detail::LocalTextTraits>;

// An event (CreateEventA) or another kernel object closed by CloseHandle.
using KernelObject = UniqueHandle<detail::KernelObjectTraits>;

// FindFirstChangeNotificationA.
using ChangeNotification = UniqueHandle<detail::ChangeNotificationTraits>;

// A search of a folder's names (FindFirstFileA).
using FindHandle = UniqueHandle<detail::FindTraits>;

// An image list made with ImageList_Create (ImageList_Destroy).
using ImageList = UniqueHandle<detail::ImageListTraits>;

// One reference to a COM object (Release). put() hands the empty slot to a
// function that returns an object through a T**.
template <typename T>
class ComPtr
{
public:
    ComPtr() noexcept = default;
    explicit ComPtr(T* object) noexcept : m_object(object) {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}

    T* get() const noexcept { return m_object; }
    T* operator->() const noexcept { return m_object; }
    explicit operator bool() const noexcept { return m_object != nullptr; }
    T** put() noexcept
    {
        reset();
        return &m_object;
    }
    void reset() noexcept
    {
        if (T* old = std::exchange(m_object, nullptr))
            old->Release();
    }

private:
    T* m_object = nullptr;
};

}  // namespace win
