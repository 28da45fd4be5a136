#include "app/WindowPlacement.h"

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

}  // namespace qb
