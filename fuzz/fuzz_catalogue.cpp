// Feeds arbitrary bytes to the catalogue reader. Besides memory and undefined
// behaviour faults it checks that one save and load settles the catalogue:
// what is written from a loaded catalogue reads back and writes again to the
// same bytes, unless a value holds ">" (the format cannot carry that, and the
// values after it shift on every load).
#include "catalogue/CatalogueFile.h"
#include "catalogue/FieldList.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>

namespace {

class FakeWindow final : public qb::CatalogueWindow
{
public:
    void moveTopLeftTo(int32_t x, int32_t y) override
    {
        m_x = x;
        m_y = y;
    }
    void dropTaskbarButton() override {}
    void currentTopLeft(int32_t& x, int32_t& y) override
    {
        x = m_x;
        y = m_y;
    }

private:
    int32_t m_x = 0;
    int32_t m_y = 0;
};

// Hands the bytes over in pieces, as a disk read may split them.
class PieceStore final : public qb::FileStore
{
public:
    PieceStore(std::string_view bytes, size_t piece) : m_bytes(bytes), m_piece(piece) {}
    qb::FileReadResult readAll(const std::string&) override
    {
        qb::FileReadResult result;
        result.opened = true;
        result.bytes = std::string(m_bytes);
        return result;
    }
    qb::ReadStatus readChunks(const std::string&, const std::function<void(std::string_view)>& sink) override
    {
        for (size_t at = 0; at < m_bytes.size(); at += m_piece)
            sink(m_bytes.substr(at, m_piece));
        qb::ReadStatus status;
        status.opened = true;
        return status;
    }
    bool replace(const std::string&, qb::ByteSource&, bool, std::string&, std::string&) override { return false; }
    bool writable(const std::string&, std::string&) override { return true; }
    // Nothing here is saved, so there is nothing to exclude or clear up.
    std::unique_ptr<Lock> lock(const std::string&, LockMode, std::string&) override { return std::make_unique<Lock>(); }
    void removeLeftovers(const std::string&) override {}

private:
    std::string_view m_bytes;
    size_t m_piece;
};

struct Round {
    qb::HostCatalogue hosts;
    qb::AppOptions options;
    FakeWindow window;
    std::string written;

    void run(std::string_view bytes, bool readError = false)
    {
        qb::parseCatalogue(bytes, hosts, options, window, readError);
        int32_t x = 0;
        int32_t y = 0;
        window.currentTopLeft(x, y);
        written = qb::formatCatalogue(hosts, options, x, y);
    }
};

bool hasClose(std::string_view text)
{
    return text.find('>') != std::string::npos;
}

// Host titles and host names may hold ">": that line type finds its tags by name.
bool formatCanCarry(const Round& round)
{
    if (hasClose(round.options.alternateBrowserPath))
        return false;
    for (const auto& host : round.hosts) {
        for (qb::EntryView entry : host->entries) {
            for (const auto& field : qb::kEntryFields) {
                if (field.type == qb::FieldType::Text && hasClose(entry.text(field.rank)))
                    return false;
            }
        }
    }
    return true;
}

void fail(const char* what)
{
    std::fprintf(stderr, "catalogue property broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);

    Round cut;
    cut.run(bytes, true);

    Round first;
    first.run(bytes);

    // Reading in pieces gives what reading at once gives.
    Round pieces;
    PieceStore store(bytes, 1 + (size ? data[0] % 13 : 0));
    qb::loadCatalogue(pieces.hosts, pieces.options, pieces.window, store, "x");
    int32_t x = 0;
    int32_t y = 0;
    pieces.window.currentTopLeft(x, y);
    if (qb::formatCatalogue(pieces.hosts, pieces.options, x, y) != first.written)
        fail("reading in pieces differs");
    Round second;
    second.run(first.written);

    // Hosts, entries and kinds survive whatever the values hold.
    if (first.hosts.size() != second.hosts.size())
        fail("host count");
    for (size_t i = 0; i < first.hosts.size(); ++i) {
        const auto& a = first.hosts[i]->entries;
        const auto& b = second.hosts[i]->entries;
        if (a.size() != b.size())
            fail("entry count");
        for (size_t j = 0; j < a.size(); ++j) {
            if (a[j].kind() != b[j].kind())
                fail("entry kind");
        }
    }
    if (formatCanCarry(first) && first.written != second.written)
        fail("written bytes change on the second round");
    return 0;
}
