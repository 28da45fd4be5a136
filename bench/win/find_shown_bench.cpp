// The find field among 100,000 hosts under Wine: each keystroke of a typed
// sequence shown in the real main window (the text set, the rows filtered,
// the list painted again), beside the same filter in the core alone and
// beside the baseline, the list given the same row count and painted
// without filtering. The rounds interleave the three.
//
//   find_shown_bench [ROUNDS]   prints one line per round and the medians
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/win32/MainDlg.h"
#include "catalogue/CatalogueFile.h"
#include "res/resource.h"

namespace {

constexpr int kHosts = 100000;
const std::vector<std::string> kTyped = {"s", "sr", "srv", "srv9", "srv99", "srv99 ", "srv99 r", "srv99 rack 1"};

struct Figures {
    double core = 0, shown = 0, baseline = 0;
};

double now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void writeCatalogue(const std::string& path)
{
    qb::HostCatalogue hosts;
    for (int i = 0; i < kHosts; ++i) {
        auto host = qb::newHost();
        host->title = "Server " + std::to_string(i) + " (rack " + std::to_string(i % 40) + ")";
        host->hostName = "srv" + std::to_string(i) + ".corp.example.org";
        host->icon = i % 120;
        host->colour = i % 3 == 0 ? -1 : 0x00336699 + i;
        hosts.push_back(std::move(host));
    }
    std::ofstream(path, std::ios::binary) << qb::formatCatalogue(hosts, qb::AppOptions{}, 100, 100);
}

// One round: every keystroke of the sequence in each of the three ways.
Figures round(CMainDlg& dialog, qb::HostRows& core)
{
    const HWND field = GetDlgItem(dialog, IDC_FIND_TEXT);
    const HWND list = dialog.HostList();
    const qb::CaseTable fold = qb::asciiCaseTable();
    Figures sum;
    for (const std::string& typed : kTyped) {
        double start = now();
        core.filter(typed, fold);
        sum.core += now() - start;

        start = now();
        SetWindowTextA(field, typed.c_str());
        UpdateWindow(list);
        sum.shown += now() - start;

        start = now();
        ListView_SetItemCount(list, dialog.Session().rows().count());
        UpdateWindow(list);
        sum.baseline += now() - start;
    }
    core.filter("", fold);
    SetWindowTextA(field, "");
    UpdateWindow(list);
    return sum;
}

CMainDlg* g_dialog = nullptr;
int g_rounds = 5;
int g_status = 1;

void CALLBACK measure(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (!g_dialog || !IsWindowVisible(*g_dialog))
        return;
    KillTimer(nullptr, timer);
    CMainDlg& dialog = *g_dialog;
    // The field open as the hotkey opens it.
    SendMessageA(dialog, WM_HOTKEY, 1, 0);
    qb::HostRows core;
    core.rebuild(dialog.Session().hosts());
    core.filter("", qb::asciiCaseTable());
    round(dialog, core);
    std::vector<double> cores, shown, baselines, ratios;
    std::printf("find_shown_bench: %d hosts, %zu keystrokes a round (ms for the whole round)\n", kHosts, kTyped.size());
    std::printf("%5s %9s %9s %9s %7s\n", "round", "core", "shown", "baseline", "ratio");
    for (int i = 0; i < g_rounds; ++i) {
        const Figures f = round(dialog, core);
        const double ratio = f.shown / (2 * f.core + f.baseline);
        std::printf("%5d %9.2f %9.2f %9.2f %7.2f\n", i + 1, f.core, f.shown, f.baseline, ratio);
        cores.push_back(f.core);
        shown.push_back(f.shown);
        baselines.push_back(f.baseline);
        ratios.push_back(ratio);
    }
    std::printf("median %8.2f %9.2f %9.2f %7.2f\n", median(cores), median(shown), median(baselines), median(ratios));
    std::printf("ratios");
    for (double ratio : ratios)
        std::printf(" %.3f", ratio);
    std::printf("\n");
    std::fflush(stdout);
    g_status = dialog.Session().rows().allCount() == kHosts ? 0 : 1;
    dialog.EndDialog(IDOK);
}

}  // namespace

int main(int argc, char** argv)
{
    g_rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "qb-find-bench";
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    writeCatalogue("quillbank.ini");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    {
        WindowsServices services;
        CMainDlg dialog(services);
        g_dialog = &dialog;
        SetTimer(nullptr, 0, 50, measure);
        dialog.DoModal();
        g_dialog = nullptr;
    }
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder);
    return g_status;
}
