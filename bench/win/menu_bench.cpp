// Times building and opening a host's menu of 125 entries (one template
// among them) as the program shows it, owner-drawn with icons, against the
// same popup drawn by the system. Each round builds the menu, opens it at a
// fixed point and closes it as soon as the menu loop goes idle, by which
// time every visible item has been measured and drawn.
//
//   menu_bench [ROUNDS]   prints one line per variant and their ratio
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/IconMenu.h"
#include "controls/IconStrip.h"
#include "launch/HostMenu.h"
#include "launch/win32/HostPopup.h"
#include "win/Dpi.h"

namespace {

class NoBrowser final : public qb::BrowserSource
{
public:
    std::string registeredCommand() override { return "\"C:\\browser.exe\" \"%1\""; }
};

struct Owner {
    CIconMenu iconMenu;
    bool ownerDrawn = false;
    int measured = 0;
    int drawn = 0;
};

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wp, LPARAM lp)
{
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!owner)
        return DefWindowProcA(window, message, wp, lp);
    switch (message) {
    case WM_INITMENUPOPUP:
        if (owner->ownerDrawn && !HIWORD(lp))
            owner->iconMenu.PreparePopup(reinterpret_cast<HMENU>(wp), win::dpiForWindow(window));
        return 0;
    case WM_MEASUREITEM:
        ++owner->measured;
        owner->iconMenu.MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
        return TRUE;
    case WM_DRAWITEM:
        ++owner->drawn;
        owner->iconMenu.DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_ENTERIDLE:
        if (wp == MSGF_MENU)
            EndMenu();
        return 0;
    default: return DefWindowProcA(window, message, wp, lp);
    }
}

qb::HostItem benchHost()
{
    qb::HostItem host;
    host.title = "bench";
    host.hostName = "bench-host";
    qb::CommandEntry windows;
    windows.kind = qb::WindowsTemplate;
    windows.templateHost = "%HOST%";
    windows.drives = "C$,D$";
    windows.icon = 12;
    host.entries.push_back(windows);
    for (int i = 1; i < 125; ++i) {
        qb::CommandEntry entry;
        if (i % 20 == 0) {
            entry.kind = qb::Separator;
        } else if (i % 15 == 0) {
            entry.kind = qb::Url;
            entry.urlName = "Web page " + std::to_string(i);
            entry.url = "http://%HOST%/" + std::to_string(i);
            entry.icon = i % 120;
        } else {
            entry.kind = qb::CustomCommand;
            entry.name = "Command number " + std::to_string(i);
            entry.program = "tool.exe";
            entry.params = "-h %HOST%";
            entry.icon = i % 120;
            entry.bold = i % 7 == 0;
        }
        host.entries.push_back(entry);
    }
    return host;
}

double now(const LARGE_INTEGER& frequency)
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    iconImagesForDpi(96);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ownerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "QbMenuBenchOwner";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "menu bench", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    Owner owner;
    SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(&owner));

    const qb::HostItem host = benchHost();
    const qb::AppOptions options;
    NoBrowser browsers;
    qb::CommandSlots slots{};
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);

    auto round = [&](bool ownerDrawn) {
        owner.ownerDrawn = ownerDrawn;
        const double start = now(frequency);
        qb::CommandImages images{};
        const qb::HostMenu menu = qb::buildHostMenu(host, options, browsers, slots, images);
        HostPopup popup = createHostPopup(menu);
        owner.iconMenu.SetImages(iconImagesForDpi(96), commandImageMap(menu, images), std::move(popup.labelImages));
        TrackPopupMenu(popup.menu, kHostMenuTrackFlags, 20, 20, 0, window, nullptr);
        popup.menu = win::PopupMenu(nullptr);
        return now(frequency) - start;
    };

    // Warm both paths up (fonts, image list, the menu window class).
    round(true);
    round(false);
    std::vector<double> drawnTimes;
    std::vector<double> plainTimes;
    owner.measured = owner.drawn = 0;
    for (int i = 0; i < rounds; ++i) {
        drawnTimes.push_back(round(true));
        plainTimes.push_back(round(false));
    }
    const double drawn = median(drawnTimes);
    const double plain = median(plainTimes);
    std::printf("menu_bench: %d rounds, 125 entries with a template\n", rounds);
    std::printf("owner-drawn  median %.2f ms per build+open+close (%d measured, %d drawn per round)\n", drawn,
                owner.measured / rounds, owner.drawn / rounds);
    std::printf("plain        median %.2f ms per build+open+close\n", plain);
    std::printf("ratio        %.2f (goal: at most 1.2)\n", plain > 0 ? drawn / plain : 0.0);
    DestroyWindow(window);
    return owner.drawn > 0 ? 0 : 1;
}
