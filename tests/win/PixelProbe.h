// An off-screen canvas whose pixels tests read back: a drawing target for
// owner-draw code, or a snapshot of what a window paints for itself.
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>

class Canvas
{
public:
    Canvas(int w, int h) : m_w(w), m_h(h)
    {
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        m_bitmap = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        m_old = SelectObject(m_dc, m_bitmap);
        PatBlt(m_dc, 0, 0, w, h, BLACKNESS);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The window's client area as the window paints it.
    static RECT clientOf(HWND window)
    {
        RECT client{};
        GetClientRect(window, &client);
        return client;
    }
    explicit Canvas(HWND window) : Canvas(clientOf(window).right, clientOf(window).bottom)
    {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(m_dc), PRF_CLIENT | PRF_ERASEBKGND);
    }

    HDC dc() const { return m_dc; }
    int width() const { return m_w; }
    int height() const { return m_h; }
    COLORREF at(int x, int y) const { return GetPixel(m_dc, x, y); }
    void fill(COLORREF colour)
    {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all{0, 0, m_w, m_h};
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }

    // Pixels of `area` unlike `background`, and their x extent.
    struct Ink {
        int count = 0;
        int left = INT_MAX;
        int right = -1;
    };
    Ink ink(RECT area, COLORREF background) const
    {
        Ink result;
        for (int y = std::max(0L, area.top); y < std::min<LONG>(m_h, area.bottom); ++y)
            for (int x = std::max(0L, area.left); x < std::min<LONG>(m_w, area.right); ++x)
                if (at(x, y) != background) {
                    ++result.count;
                    result.left = std::min(result.left, x);
                    result.right = std::max(result.right, x);
                }
        return result;
    }
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
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};
