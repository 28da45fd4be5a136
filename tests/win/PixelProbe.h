// An off-screen canvas whose pixels tests read back: a drawing target for
// owner-draw code, or a snapshot of what a window paints for itself.
#pragma once

#include <windows.h>

#include "win/Handles.h"
#include "win/Window.h"

class Canvas
{
public:
    Canvas(int w, int h)
        : m_w(w), m_h(h), m_dc(CreateCompatibleDC(nullptr)),
          m_bitmap(CreateCompatibleBitmap(win::WindowDC(nullptr), w, h)), m_select(m_dc, m_bitmap)
    {
        // The bitmap is in the screen's format, which a fresh memory DC's own one-bit bitmap is not.
        PatBlt(m_dc, 0, 0, w, h, BLACKNESS);
    }

    // The window's client area as the window paints it.
    explicit Canvas(HWND window)
        : Canvas(win::Window(window).GetClientRect().right, win::Window(window).GetClientRect().bottom)
    {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
    }

    HDC dc() const { return m_dc.get(); }
    int width() const { return m_w; }
    int height() const { return m_h; }
    COLORREF at(int x, int y) const { return GetPixel(m_dc, x, y); }
    // Pixels of `area` that are exactly `colour`.
    int count(RECT area, COLORREF colour) const
    {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                n += at(x, y) == colour;
        return n;
    }

private:
    int m_w;
    int m_h;
    win::MemoryDC m_dc;
    win::Bitmap m_bitmap;
    win::SelectGuard m_select;
};
