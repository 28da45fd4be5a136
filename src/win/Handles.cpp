#include "win/Handles.h"

#include "win/App.h"

namespace win {

WindowDC::WindowDC(HWND window) noexcept : m_window(window), m_dc(::GetDC(window))
{}

WindowDC::~WindowDC()
{
    if (m_dc)
        ::ReleaseDC(m_window, m_dc);
}

PaintDC::PaintDC(HWND window) noexcept : m_window(window), m_paint{}, m_dc(::BeginPaint(window, &m_paint))
{}

PaintDC::~PaintDC()
{
    // EndPaint is due even when BeginPaint gave no DC.
    ::EndPaint(m_window, &m_paint);
}

SavedDC::SavedDC(HDC dc) noexcept : m_dc(dc), m_level(dc ? ::SaveDC(dc) : 0)
{}

SavedDC::~SavedDC()
{
    if (m_level != 0)
        ::RestoreDC(m_dc, m_level);
}

SelectGuard::SelectGuard(HDC dc, HGDIOBJ object) noexcept
    : m_dc(dc), m_previous(dc && object ? ::SelectObject(dc, object) : nullptr)
{}

SelectGuard::~SelectGuard()
{
    if (m_previous && m_previous != HGDI_ERROR)
        ::SelectObject(m_dc, m_previous);
}

Icon loadIconResource(int id, int width, int height)
{
    return Icon(static_cast<HICON>(::LoadImageA(moduleInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, width, height,
                                                width == 0 && height == 0 ? LR_DEFAULTSIZE : 0)));
}

Icon loadSmallIconResource(int id)
{
    return loadIconResource(id, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
}

Bitmap loadBitmapResource(int id)
{
    return Bitmap(static_cast<HBITMAP>(
        ::LoadImageA(moduleInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
}

}  // namespace win
