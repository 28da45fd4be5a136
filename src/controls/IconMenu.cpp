#include "controls/IconMenu.h"

#include "catalogue/TextRules.h"
#include "controls/IconStrip.h"
#include "screen/DisplayScale.h"
#include "win/Dpi.h"
#include "win/HighContrast.h"

#include <algorithm>
#include <string_view>
#include <string>

namespace {

// Menu texts are read up to this many characters; longer ones are cut.
constexpr int kMaxItemText = 99;

UINT menuState(HMENU menu, UINT id)
{
    UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
    return state == UINT(-1) ? 0 : state;
}

bool isSeparator(UINT state)
{
    return (state & MF_SEPARATOR) && !(state & MF_POPUP);
}

HMENU subMenuOf(HMENU menu, UINT id)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_SUBMENU;
    return GetMenuItemInfoA(menu, id, FALSE, &info) ? info.hSubMenu : nullptr;
}

std::string menuText(HMENU menu, UINT id)
{
    std::string text(kMaxItemText + 1, '\0');
    int length = GetMenuStringA(menu, id, &text[0], kMaxItemText + 1, MF_BYCOMMAND);
    text.resize(length > 0 ? std::min(length, kMaxItemText) : 0);
    return text;
}

struct LabelAndShortcut {
    std::string label;
    std::string shortcut;
};

LabelAndShortcut splitAtTab(std::string_view text)
{
    const size_t tab = text.find('\t');
    if (tab == std::string_view::npos)
        return {std::string(text), std::string()};
    return {std::string(text.substr(0, tab)), std::string(text.substr(tab + 1))};
}

SIZE measureLine(HDC dc, const std::string& text)
{
    RECT rect{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), int(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void fillSolid(HDC dc, int x, int y, int cx, int cy, COLORREF colour)
{
    COLORREF old = SetBkColor(dc, colour);
    RECT rect{x, y, x + cx, y + cy};
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void draw3dRect(HDC dc, int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight)
{
    fillSolid(dc, x, y, cx - 1, 1, topLeft);
    fillSolid(dc, x, y, 1, cy - 1, topLeft);
    fillSolid(dc, x + cx - 1, y, 1, cy, bottomRight);
    fillSolid(dc, x, y + cy - 1, cx, 1, bottomRight);
}

// Draws text in `colour`, first in white one pixel right and down when
// the item is greyed but not selected (the engraved look).
void drawShadowedText(HDC dc, const std::string& text, RECT rect, UINT format, COLORREF colour, bool whiteShadow)
{
    if (whiteShadow) {
        RECT shadow = rect;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, RGB(255, 255, 255));
        DrawTextA(dc, text.c_str(), int(text.size()), &shadow, format);
    }
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), int(text.size()), &rect, format);
}

// The image's silhouette in `fill` at (x, y), at the list's icon size; when
// `engraved`, over a white copy one art pixel (the icon's sixteenth) right
// and down.
void drawSilhouette(HDC target, int x, int y, HIMAGELIST list, int image, COLORREF fill, bool engraved)
{
    int size = 0, unused = 0;
    if (!ImageList_GetIconSize(list, &size, &unused) || size <= 0)
        return;
    // The shadow is one pixel of the art, so it doubles with the icon.
    const int shadow = std::max(1, size / qb::kBaseIconSize);
    win::MemoryDC mono(CreateCompatibleDC(target));
    win::Bitmap monoBitmap(CreateBitmap(size, size, 1, 1, nullptr));
    win::MemoryDC colour(CreateCompatibleDC(target));
    win::Bitmap colourBitmap(CreateCompatibleBitmap(target, size, size));
    if (!mono || !monoBitmap || !colour || !colourBitmap)
        return;
    win::SelectGuard monoSelection(mono, monoBitmap.get());
    win::SelectGuard colourSelection(colour, colourBitmap.get());

    PatBlt(mono.get(), 0, 0, size, size, WHITENESS);
    // Into a monochrome DC every pixel that is not the background (white)
    // becomes black: the icon's silhouette.
    SetBkColor(mono.get(), RGB(255, 255, 255));
    ImageList_Draw(list, image, mono.get(), 0, 0, ILD_TRANSPARENT);

    // Blits from a monochrome source map its bits through the destination's
    // text and background colours; pin them so the masks stay black/white.
    COLORREF oldText = SetTextColor(target, RGB(0, 0, 0));
    COLORREF oldBk = SetBkColor(target, RGB(255, 255, 255));
    if (engraved)
        BitBlt(target, x + shadow, y + shadow, size, size, mono.get(), 0, 0, MERGEPAINT);
    BitBlt(target, x, y, size, size, mono.get(), 0, 0, SRCAND);

    fillSolid(colour.get(), 0, 0, size, size, fill);
    PatBlt(mono.get(), 0, 0, size, size, DSTINVERT);
    SetTextColor(colour.get(), RGB(0, 0, 0));
    SetBkColor(colour.get(), RGB(255, 255, 255));
    BitBlt(colour.get(), 0, 0, size, size, mono.get(), 0, 0, SRCAND);
    BitBlt(target, x, y, size, size, colour.get(), 0, 0, SRCPAINT);

    SetTextColor(target, oldText);
    SetBkColor(target, oldBk);
}

}  // namespace

void CIconMenu::SetImages(HIMAGELIST list, std::map<UINT, int> images, std::map<HMENU, int> labelImages)
{
    m_imageList = list;
    m_images = std::move(images);
    m_labelImages = std::move(labelImages);
    m_look.reset();
}

std::optional<int> CIconMenu::ImageOf(HMENU menu, UINT id, UINT state, std::string_view text) const
{
    if (const auto found = m_images.find(id); found != m_images.end())
        return found->second;
    if (state & MF_POPUP) {
        if (const auto found = m_labelImages.find(subMenuOf(menu, id)); found != m_labelImages.end())
            return found->second;
    }
    const qb::BarText bar = qb::splitBarText(text);
    return bar.hasNumber ? std::optional<int>(bar.number) : std::nullopt;
}

void CIconMenu::PreparePopup(HMENU popup, UINT dpi)
{
    m_dpi = dpi;
    m_look.reset();
    MakeOwnerDrawn(popup);
}

CIconMenu::Layout CIconMenu::Layout::ForDpi(UINT dpi, int iconSize)
{
    const auto scaled = [dpi](int pixels) { return qb::scaledForDpi(pixels, int(dpi)); };
    // The icon grows by whole multiples while the DPI may grow by half, so
    // what surrounds the icon is placed from its real size; at 96 and 192
    // DPI this is every figure scaled alike.
    Layout l;
    l.iconLeft = scaled(3);
    l.iconSize = iconSize;
    l.frameLeft = l.iconLeft - scaled(2);
    l.frameSize = iconSize + 2 * scaled(2);
    l.highlightLeft = l.frameLeft + l.frameSize;
    l.textLeft = l.highlightLeft + scaled(3);
    l.minHeight = l.frameSize;
    l.textPadding = scaled(2);
    l.widthExtra = l.textLeft - scaled(1);
    l.shortcutGap = scaled(30);
    l.shortcutRight = scaled(25);
    l.submenuArrow = scaled(20);
    l.separator = SIZE{scaled(26), scaled(9)};
    l.separatorInset = scaled(2);
    l.separatorTop = scaled(3);
    return l;
}

CIconMenu::Look& CIconMenu::CurrentLook()
{
    if (!m_look) {
        Look& look = m_look.emplace();
        int iconSize = 0, unused = 0;
        if (!m_imageList || !ImageList_GetIconSize(m_imageList, &iconSize, &unused))
            iconSize = qb::iconSizeForDpi(int(m_dpi));
        look.layout = Layout::ForDpi(m_dpi, iconSize);
        LoadMenuMetrics(look.regular, false, m_dpi);
        LoadMenuMetrics(look.bold, true, m_dpi);
        look.measuring.reset(CreateCompatibleDC(nullptr));
        look.measuringFont.emplace(look.measuring.get(), look.bold.font.get());
    }
    return *m_look;
}

HDC CIconMenu::Canvas(HDC target, int w, int h)
{
    Look& look = CurrentLook();
    if (!look.canvas)
        look.canvas.reset(CreateCompatibleDC(target));
    if (look.canvasSize.cx < w || look.canvasSize.cy < h) {
        look.canvasSelection.reset();
        const SIZE size{std::max<LONG>(w, look.canvasSize.cx), std::max<LONG>(h, look.canvasSize.cy)};
        look.canvasBitmap.reset(CreateCompatibleBitmap(target, size.cx, size.cy));
        look.canvasSize = look.canvasBitmap ? size : SIZE{0, 0};
        look.canvasSelection.emplace(look.canvas.get(), look.canvasBitmap.get());
    }
    return look.canvas && look.canvasBitmap ? look.canvas.get() : nullptr;
}

void CIconMenu::MakeOwnerDrawn(HMENU popup)
{
    int count = GetMenuItemCount(popup);
    for (int position = 0; position < count; ++position) {
        UINT state = GetMenuState(popup, UINT(position), MF_BYPOSITION);
        // MIIM_FTYPE rather than MIIM_TYPE: the latter would drop the text.
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_DATA;
        if (state != UINT(-1) && (state & (MF_SEPARATOR | MF_POPUP))) {
            if (!GetMenuItemInfoA(popup, UINT(position), TRUE, &info))
                continue;
            info.fType |= MFT_OWNERDRAW;
            info.dwItemData = ULONG_PTR(popup);
            SetMenuItemInfoA(popup, UINT(position), TRUE, &info);
        } else {
            UINT id = GetMenuItemID(popup, position);
            if (!GetMenuItemInfoA(popup, id, FALSE, &info))
                continue;
            info.fType |= MFT_OWNERDRAW;
            info.dwItemData = ULONG_PTR(popup);
            SetMenuItemInfoA(popup, id, FALSE, &info);
        }
    }
}

void CIconMenu::LoadMenuMetrics(MenuMetrics& metrics, bool bold, UINT dpi)
{
    metrics.highlightColour = GetSysColor(COLOR_HIGHLIGHT);
    metrics.menuColour = GetSysColor(COLOR_MENU);
    metrics.menuTextColour = GetSysColor(COLOR_MENUTEXT);
    metrics.grayTextColour = GetSysColor(COLOR_GRAYTEXT);
    metrics.highlightTextColour = GetSysColor(COLOR_HIGHLIGHTTEXT);
    metrics.highContrast = win::highContrast();
    LOGFONTW font = win::nonClientMetricsForDpi(dpi).lfMenuFont;
    if (bold)
        font.lfWeight = FW_BOLD;
    metrics.font.reset(CreateFontIndirectW(&font));
}

void CIconMenu::MeasureItem(MEASUREITEMSTRUCT* request)
{
    HMENU menu = reinterpret_cast<HMENU>(request->itemData);
    UINT state = menuState(menu, request->itemID);
    const Layout& layout = CurrentLook().layout;
    if (isSeparator(state)) {
        request->itemWidth = UINT(layout.separator.cx);
        request->itemHeight = UINT(layout.separator.cy);
        return;
    }

    // Every item is measured bold so that a menu keeps its width whichever
    // items are emphasised. The DC is of the screen's kind, with its metrics.
    HDC screen = CurrentLook().measuring.get();

    LabelAndShortcut parts = splitAtTab(menuText(menu, request->itemID));
    SIZE size = measureLine(screen, parts.label);
    LONG width = size.cx;
    LONG height = size.cy;
    if (!parts.shortcut.empty()) {
        SIZE shortcut = measureLine(screen, parts.shortcut);
        width += shortcut.cx + layout.shortcutGap;
        height = std::max(height, shortcut.cy);
    }
    if (state & MF_POPUP)
        width += layout.submenuArrow;

    request->itemWidth = UINT(width + layout.widthExtra);
    LONG itemHeight = std::max<LONG>(height + layout.textPadding, layout.minHeight);
    if (itemHeight % 2)
        ++itemHeight;
    request->itemHeight = UINT(itemHeight);
}

void CIconMenu::DrawItem(const DRAWITEMSTRUCT* request)
{
    HMENU menu = reinterpret_cast<HMENU>(request->hwndItem);
    const UINT id = request->itemID;
    const bool selected = (request->itemState & ODS_SELECTED) != 0;
    const bool greyed = (request->itemState & ODS_GRAYED) != 0;
    const bool bold = (request->itemState & (ODS_CHECKED | ODS_DEFAULT)) != 0;
    std::string text = menuText(menu, id);

    const MenuMetrics& metrics = Metrics(bold);
    const Layout& layout = CurrentLook().layout;

    const int w = request->rcItem.right - request->rcItem.left;
    const int h = request->rcItem.bottom - request->rcItem.top;
    if (w <= 0 || h <= 0)
        return;

    // Composed off screen and copied in one blit, so the menu never flickers.
    HDC dc = Canvas(request->hDC, w, h);
    if (!dc)
        return;
    // Each item starts from the DC's first colours and mode, as on a fresh DC.
    win::SavedDC fresh(dc);
    fillSolid(dc, 0, 0, w, h, metrics.menuColour);

    RECT textRect{layout.textLeft, 0, w, h};
    UINT state = menuState(menu, id);
    if (isSeparator(state)) {
        RECT edge{layout.separatorInset, layout.separatorTop, w - layout.separatorInset, layout.separatorTop + 1};
        DrawEdge(dc, &edge, EDGE_ETCHED, BF_TOP);
    } else {
        const std::optional<int> picture = ImageOf(menu, id, state, text);
        const HIMAGELIST iconList = picture ? m_imageList : nullptr;
        const int image = picture.value_or(0);

        COLORREF textColour;
        if (selected && (request->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) {
            int x0 = iconList ? layout.highlightLeft : 0;
            fillSolid(dc, x0, 0, w - x0, h, metrics.highlightColour);
            const COLORREF onHighlight =
                metrics.highContrast ? metrics.highlightTextColour : (metrics.menuTextColour ^ 0xFFFFFF);
            textColour = greyed ? metrics.grayTextColour : onHighlight;
        } else {
            textColour = greyed ? metrics.grayTextColour : metrics.menuTextColour;
        }

        if (iconList) {
            if (selected && !greyed)
                draw3dRect(dc, layout.frameLeft, (h - layout.frameSize) / 2, layout.frameSize, layout.frameSize,
                           GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
            const int iconTop = (h - layout.iconSize) / 2;
            if (greyed && metrics.highContrast)
                drawSilhouette(dc, layout.iconLeft, iconTop, iconList, image, metrics.grayTextColour, false);
            else if (greyed)
                DrawDisabledIcon(dc, layout.iconLeft, iconTop, iconList, image);
            else
                drawIcon(iconList, image, dc, layout.iconLeft, iconTop, ILD_TRANSPARENT);
        }

        SetBkMode(dc, TRANSPARENT);
        win::SelectGuard fontSelection(dc, metrics.font.get());
        LabelAndShortcut parts = splitAtTab(qb::splitBarText(text).shown);
        const bool whiteShadow = greyed && !selected && !metrics.highContrast;
        drawShadowedText(dc, parts.label, textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT, textColour, whiteShadow);
        if (!parts.shortcut.empty()) {
            textRect.right = w - layout.shortcutRight;
            drawShadowedText(dc, parts.shortcut, textRect, DT_SINGLELINE | DT_VCENTER | DT_RIGHT, textColour,
                             whiteShadow);
        }
    }

    BitBlt(request->hDC, request->rcItem.left, request->rcItem.top, w, h, dc, 0, 0, SRCCOPY);
}

void CIconMenu::DrawDisabledIcon(HDC target, int x, int y, HIMAGELIST list, int image)
{
    drawSilhouette(target, x, y, list, image, RGB(127, 127, 127), true);
}
