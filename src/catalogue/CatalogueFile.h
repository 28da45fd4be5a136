// The catalogue file "quillbank.ini": one options line, then each host line
// followed by its entry lines, CR LF after every line, ANSI bytes, no escaping.
#pragma once

#include "catalogue/FileStore.h"
#include "catalogue/HostRecords.h"

#include <functional>
#include <string>
#include <string_view>

namespace qb {

extern const char* const kCatalogueFileName;  // "quillbank.ini"

// What loading and saving need from the main window: its position, moving it,
// and dropping its taskbar button.
class CatalogueWindow
{
public:
    virtual ~CatalogueWindow() = default;
    virtual void moveTopLeftTo(int32_t x, int32_t y) = 0;
    virtual void dropTaskbarButton() = 0;
    virtual void currentTopLeft(int32_t& x, int32_t& y) = 0;
};

// For readers without a window (the console companion, the line checker):
// positions are ignored and the window stands at 0, 0.
class NoCatalogueWindow final : public CatalogueWindow
{
public:
    void moveTopLeftTo(int32_t, int32_t) override {}
    void dropTaskbarButton() override {}
    void currentTopLeft(int32_t& x, int32_t& y) override { x = y = 0; }
};

// Shows the text of a failed save to the user.
using SaveReport = std::function<void(const std::string& message)>;

// Parses the file's bytes into the (empty) catalogue and the options. The
// window is moved and may lose its taskbar button as each options line is
// read. readError: the bytes end where a read failed (the host being read
// then is dropped, as is a last line cut short).
void parseCatalogue(std::string_view bytes, HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window,
                    bool readError = false);

// The file's bytes for these records, with the window at (x, y), made a
// piece of a few hundred kilobytes at a time, whole lines only. The records
// must stay as they are until the last piece is taken.
class CatalogueFormatter final : public ByteSource
{
public:
    CatalogueFormatter(const HostCatalogue& hosts, const AppOptions& options, int32_t x, int32_t y);
    std::string_view next() override;

private:
    bool makeRoom(size_t used, size_t most);

    const HostCatalogue& m_hosts;
    AppOptions m_options;  // with the window's position
    size_t m_next = 0;     // the first host not yet formatted
    bool m_started = false;
    std::string m_piece;
};

// The same bytes whole.
std::string formatCatalogue(const HostCatalogue& hosts, const AppOptions& options, int32_t x, int32_t y);

// Reads the file when it can be opened; leaves everything as it is when it
// cannot, and says how the read went.
ReadStatus loadCatalogue(HostCatalogue& hosts, AppOptions& options, CatalogueWindow& window, FileStore& files,
                         const std::string& path);

// Writes the whole file through a safe replace; on failure reports
// "Unable to save quillbank.ini: <reason>" and returns false.
bool saveCatalogue(const HostCatalogue& hosts, const AppOptions& options, CatalogueWindow& window,
                   const SaveReport& report, FileStore& files, const std::string& path);

// "Unable to save quillbank.ini: <reason>", the reason cut to 255 characters.
std::string saveFailureMessage(const std::string& path, std::string reason);

// A save that went through without keeping the previous file as the backup.
std::string backupFailureMessage(const std::string& path, const std::string& reason);

// Whether a file's bytes read back to what these records (written with the
// window at x, y) hold: the same hosts, options and window position. Lines
// the reader ignores do not count, and a file that gives no position holds
// any.
bool holdsSameCatalogue(std::string_view fileBytes, const HostCatalogue& hosts, const AppOptions& options, int32_t x,
                        int32_t y);

}  // namespace qb
