#include "win/Dpi.h"

#include "win/Handles.h"

#include <cstddef>
#include <initializer_list>

namespace win {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// Windows 10 1607 and later; null before.
template <typename Fn>
Fn user32Function(const char* name)
{
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The size Windows Vista and later know; the padded border came with them.
constexpr UINT kMetricsSize = sizeof(NONCLIENTMETRICSW);

}  // namespace

UINT systemDpi()
{
    const WindowDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    return dpi > 0 ? UINT(dpi) : 96;
}

UINT dpiForWindow(HWND window)
{
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = (getDpiForWindow && window) ? getDpiForWindow(window) : 0;
    return dpi ? dpi : systemDpi();
}

int metricForDpi(int index, UINT dpi)
{
    static const auto forDpi = user32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), int(dpi), int(systemDpi()));
}

NONCLIENTMETRICSW nonClientMetricsForDpi(UINT dpi)
{
    static const auto forDpi = user32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = kMetricsSize;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, kMetricsSize, &metrics, 0, dpi))
        return metrics;
    metrics = NONCLIENTMETRICSW{};
    metrics.cbSize = kMetricsSize;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kMetricsSize, &metrics, 0)) {
        // Windows XP's smaller structure, for completeness of the fallback.
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    }
    const UINT system = systemDpi();
    if (dpi != system) {
        for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                               &metrics.lfStatusFont, &metrics.lfMessageFont})
            font->lfHeight = fontHeightForDpi(font->lfHeight, system, dpi);
        for (int* size : {&metrics.iBorderWidth, &metrics.iScrollWidth, &metrics.iScrollHeight, &metrics.iCaptionWidth,
                          &metrics.iCaptionHeight, &metrics.iSmCaptionWidth, &metrics.iSmCaptionHeight,
                          &metrics.iMenuWidth, &metrics.iMenuHeight, &metrics.iPaddedBorderWidth})
            *size = MulDiv(*size, int(dpi), int(system));
    }
    return metrics;
}

LONG fontHeightForDpi(LONG height, UINT from, UINT to)
{
    // Negative: the character height, which is what a point size gives.
    return height < 0 ? -MulDiv(MulDiv(-height, 72, int(from)), int(to), 72) : MulDiv(height, int(to), int(from));
}

RECT workAreaOf(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    return info.rcWork;
}

}  // namespace win
