#include "screen/WindowPlacement.h"

#include "screen/DisplayScale.h"

#include <algorithm>

namespace qb {

namespace {

// In 64 bits: a saved point near the 32-bit limits plus the window's size,
// or a far-off point squared, would overflow 32.
struct Span {
    int64_t low, high;
};

int64_t gapBetween(Span a, Span b)
{
    return std::max<int64_t>({0, b.low - a.high, a.low - b.high});
}

bool overlaps(Span a, Span b)
{
    return a.low < b.high && b.low < a.high;
}

// The start of a span of `size` inside [low, high), as close to `at` as it
// fits; a span wider than the room starts at `low`.
int32_t clampInto(int32_t at, int32_t size, int32_t low, int32_t high)
{
    return static_cast<int32_t>(std::max<int64_t>(low, std::min<int64_t>(at, int64_t{high} - size)));
}

}  // namespace

ScreenPoint placeOnMonitors(ScreenPoint saved, int32_t width, int32_t height, const std::vector<MonitorArea>& monitors)
{
    const Span across{saved.x, int64_t{saved.x} + width};
    const Span down{saved.y, int64_t{saved.y} + height};
    const auto gap = [&](const ScreenRect& r) {
        const int64_t dx = gapBetween(across, {r.left, r.right});
        const int64_t dy = gapBetween(down, {r.top, r.bottom});
        return dx * dx + dy * dy;
    };
    const MonitorArea* nearest = nullptr;
    for (const MonitorArea& area : monitors) {
        const ScreenRect& r = area.monitor;
        if (overlaps(across, {r.left, r.right}) && overlaps(down, {r.top, r.bottom}))
            return saved;
        if (!nearest || gap(r) < gap(nearest->monitor))
            nearest = &area;
    }
    if (!nearest)
        return saved;
    const ScreenRect& work = nearest->work;
    return {clampInto(saved.x, width, work.left, work.right), clampInto(saved.y, height, work.top, work.bottom)};
}

ScreenPoint centreOnWorkArea(int32_t width, int32_t height, const ScreenRect& work)
{
    const auto centred = [](int64_t low, int64_t high, int64_t size) { return low + (high - low - size) / 2; };
    const int64_t x = centred(work.left, work.right, width);
    const int64_t y = centred(work.top, work.bottom, height);
    return {static_cast<int32_t>(x < work.left ? int64_t{work.right} - width : x),
            static_cast<int32_t>(std::max<int64_t>(y, work.top))};
}

ListFit fitRowsToWorkArea(int32_t rows, int32_t rowHeight, int32_t windowTop, const ScreenRect& work, int32_t dpi,
                          int32_t fieldHeight)
{
    ListFit fit;
    const int32_t windowExtra = scaledForDpi(kWindowExtraHeight, dpi);
    const int64_t workHeight = int64_t{work.bottom} - work.top;
    const int64_t room = workHeight - windowExtra;
    const int64_t fitting = rowHeight > 0 ? std::max<int64_t>(room / rowHeight, 1) : rows;
    fit.shownRows = static_cast<int32_t>(std::min<int64_t>(rows, fitting));
    fit.scrolls = fit.shownRows < rows;
    fit.outerHeight = fit.shownRows * rowHeight + windowExtra;
    fit.listHeight = fit.shownRows * rowHeight + scaledForDpi(kListExtraHeight, dpi);
    if (fieldHeight > 0) {
        const int32_t listExtra = fit.listHeight - fit.shownRows * rowHeight;
        if (!fit.scrolls)
            fit.outerHeight = static_cast<int32_t>(std::max<int64_t>(
                std::min<int64_t>(int64_t{fit.outerHeight} + fieldHeight, workHeight), fit.outerHeight));
        fit.listHeight = fit.outerHeight - windowExtra - fieldHeight + listExtra;
        // Whole rows in what the list keeps, never less than one.
        fit.shownRows = rowHeight > 0 ? std::max((fit.listHeight - listExtra) / rowHeight, 1) : rows;
        fit.scrolls = fit.shownRows < rows;
    }
    fit.top = windowTop;
    if (int64_t{windowTop} + fit.outerHeight > work.bottom)
        fit.top = static_cast<int32_t>(std::max<int64_t>(int64_t{work.bottom} - fit.outerHeight, work.top));
    return fit;
}

}  // namespace qb
