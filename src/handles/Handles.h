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

// A handle that `close` frees. Empty is null, or INVALID_HANDLE_VALUE for the
// calls that fail with it (CreateFileA, the Find* searches).
template <typename H, auto close, bool invalidIsEmpty = false>
struct CloseTraits {
    using Handle = H;
    static Handle Null()
    {
        if constexpr (invalidIsEmpty)
            return INVALID_HANDLE_VALUE;
        else
            return nullptr;
    }
    static void Close(Handle h) { close(h); }
};

// GDI objects (DeleteObject).
template <typename H>
using GdiObjectTraits = CloseTraits<H, ::DeleteObject>;

// Example: win::Brush brush(CreateSolidBrush(c));
using Brush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using Font = UniqueHandle<GdiObjectTraits<HFONT>>;
using Bitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using Region = UniqueHandle<GdiObjectTraits<HRGN>>;

// A DC from CreateCompatibleDC or CreateDC (DeleteDC).
using MemoryDC = UniqueHandle<CloseTraits<HDC, ::DeleteDC>>;

// Icons and cursors made by CreateIconIndirect, CopyIcon, or LoadImage without
// LR_SHARED. Never put a shared icon (LoadIcon, LR_SHARED) into one.
using Icon = UniqueHandle<CloseTraits<HICON, ::DestroyIcon>>;
using Cursor = UniqueHandle<CloseTraits<HCURSOR, ::DestroyCursor>>;

// A menu that is not attached to a window (DestroyMenu, which also destroys
// its sub-menus).
using Menu = UniqueHandle<CloseTraits<HMENU, ::DestroyMenu>>;

// A registry key opened with RegOpenKeyExA (RegCloseKey).
using RegKey = UniqueHandle<CloseTraits<HKEY, ::RegCloseKey>>;

// A library loaded with LoadLibraryA (FreeLibrary).
using Module = UniqueHandle<CloseTraits<HMODULE, ::FreeLibrary>>;

// A file opened with CreateFileA (CloseHandle). Empty is INVALID_HANDLE_VALUE,
// what CreateFileA returns on failure.
using FileHandle = UniqueHandle<CloseTraits<HANDLE, ::CloseHandle, true>>;

// A text the system allocated for the caller (FormatMessageA with
// FORMAT_MESSAGE_ALLOCATE_BUFFER; LocalFree).
using LocalText = UniqueHandle<CloseTraits<char*, ::LocalFree>>;

// An event (CreateEventA) or another kernel object closed by CloseHandle.
using KernelObject = UniqueHandle<CloseTraits<HANDLE, ::CloseHandle>>;

// FindFirstChangeNotificationA.
using ChangeNotification = UniqueHandle<CloseTraits<HANDLE, ::FindCloseChangeNotification, true>>;

// A search of a folder's names (FindFirstFileA).
using FindHandle = UniqueHandle<CloseTraits<HANDLE, ::FindClose, true>>;

// An image list made with ImageList_Create (ImageList_Destroy).
using ImageList = UniqueHandle<CloseTraits<HIMAGELIST, ::ImageList_Destroy>>;

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
