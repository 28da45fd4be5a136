// What the merge needs of the catalogue a program last read or wrote, in a
// few bytes per host: a 128-bit digest of each host's every field, and the
// options. Two different hosts get one digest only by chance, about once in
// 2^64 hosts compared, so the digests stand in for the hosts.
#pragma once

#include "catalogue/FileStore.h"
#include "catalogue/HostRecords.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qb {

struct Digest {
    uint64_t low = 0;
    uint64_t high = 0;
    friend bool operator==(const Digest& a, const Digest& b) { return a.low == b.low && a.high == b.high; }
    friend bool operator!=(const Digest& a, const Digest& b) { return !(a == b); }
};

// MurmurHash3's 128-bit x64 variant, fed in pieces: public domain, well
// studied, and a few times faster than a cryptographic hash, which matters
// for digesting every host at load. Digests live only in memory, so the
// machine's byte order is the one used.
class Hasher
{
public:
    void add(const void* bytes, size_t count);
    void add(std::string_view text);
    template <class Number>
    void addNumber(Number value)
    {
        add(&value, sizeof value);
    }
    Digest finish() const;

private:
    void block(const unsigned char* bytes);

    uint64_t m_h1 = 0;
    uint64_t m_h2 = 0;
    unsigned char m_tail[16] = {};
    size_t m_tailSize = 0;
    uint64_t m_length = 0;
};

Digest digestOfBytes(std::string_view bytes);
Digest digestOfBytes(ByteSource& bytes);

// Passes a source's pieces on, digesting them as they pass.
class DigestingSource final : public ByteSource
{
public:
    explicit DigestingSource(ByteSource& bytes) : m_bytes(bytes) {}
    std::string_view next() override
    {
        const std::string_view piece = m_bytes.next();
        m_hasher.add(piece);
        return piece;
    }
    // The digest of the pieces passed so far.
    Digest digest() const { return m_hasher.finish(); }

private:
    ByteSource& m_bytes;
    Hasher m_hasher;
};

// Every field of the host and of each of its entries, entries in order:
// equal digests where sameHost holds.
Digest hostDigest(const HostItem& host);

// A catalogue as the merge's base.
struct CatalogueBase {
    AppOptions options;
    std::vector<Digest> hosts;
};

CatalogueBase baseOf(const HostCatalogue& hosts, const AppOptions& options);

// The base that the file written from these records (the window at x, y)
// reads back as, without reading it: entries keep only what their kind's
// line holds, and a value the line cannot hold as it is reads back as the
// reader reads it.
CatalogueBase baseAsWritten(const HostCatalogue& hosts, const AppOptions& options, int32_t x, int32_t y);

}  // namespace qb
