// The front's drawing scopes and resource loaders; the handle owners
// themselves live with the platform services.
#pragma once

#include "handles/Handles.h"

namespace win {

// GetDC / ReleaseDC for a window (or the screen when the window is null).
class WindowDC
{
public:
    explicit WindowDC(HWND window) noexcept;
    ~WindowDC();
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

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

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Resources of the running executable. The results are owned (not shared), so
// they are freed when their owner goes. Sizes 0 take the image's own size.
Icon loadIconResource(int id, int width, int height);
// The icon at the system's small-icon size, for a dialog's caption.
Icon loadSmallIconResource(int id);
Bitmap loadBitmapResource(int id);

}  // namespace win
