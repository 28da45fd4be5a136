#include "catalogue/CatalogueDigest.h"

#include "catalogue/CatalogueFile.h"

#include <array>
#include <cstring>
#include <iterator>

namespace qb {

namespace {

constexpr uint64_t kC1 = 0x87c37b91114253d5ull;
constexpr uint64_t kC2 = 0x4cf5ad432745937full;

uint64_t rotl(uint64_t x, int r)
{
    return (x << r) | (x >> (64 - r));
}

uint64_t fmix(uint64_t k)
{
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdull;
    k ^= k >> 33;
    k *= 0xc4ceb9fe1a85ec53ull;
    k ^= k >> 33;
    return k;
}

uint64_t mixK1(uint64_t k1)
{
    return rotl(k1 * kC1, 31) * kC2;
}

uint64_t mixK2(uint64_t k2)
{
    return rotl(k2 * kC2, 33) * kC1;
}

}  // namespace

namespace {

// Mixes count blocks of 16 bytes into the state. The state stays in locals
// meanwhile: kept in the object, it would be reloaded after every read of
// the bytes, which may alias it.
void mixBlocks(uint64_t& stateH1, uint64_t& stateH2, const unsigned char* bytes, size_t count)
{
    uint64_t h1 = stateH1, h2 = stateH2;
    for (const unsigned char* end = bytes + 16 * count; bytes != end; bytes += 16) {
        uint64_t k1, k2;
        std::memcpy(&k1, bytes, 8);
        std::memcpy(&k2, bytes + 8, 8);
        h1 ^= mixK1(k1);
        h1 = (rotl(h1, 27) + h2) * 5 + 0x52dce729;
        h2 ^= mixK2(k2);
        h2 = (rotl(h2, 31) + h1) * 5 + 0x38495ab5;
    }
    stateH1 = h1;
    stateH2 = h2;
}

}  // namespace

void Hasher::block(const unsigned char* bytes)
{
    mixBlocks(m_h1, m_h2, bytes, 1);
}

void Hasher::add(const void* bytes, size_t count)
{
    const auto* at = static_cast<const unsigned char*>(bytes);
    m_length += count;
    if (m_tailSize) {
        const size_t taken = count < 16 - m_tailSize ? count : 16 - m_tailSize;
        std::memcpy(m_tail + m_tailSize, at, taken);
        m_tailSize += taken;
        at += taken;
        count -= taken;
        if (m_tailSize < 16)
            return;
        block(m_tail);
        m_tailSize = 0;
    }
    mixBlocks(m_h1, m_h2, at, count / 16);
    at += count / 16 * 16;
    count %= 16;
    if (count)
        std::memcpy(m_tail, at, count);
    m_tailSize = count;
}

void Hasher::add(std::string_view text)
{
    add(text.data(), text.size());
}

Digest Hasher::finish() const
{
    uint64_t h1 = m_h1, h2 = m_h2, k1 = 0, k2 = 0;
    for (size_t i = m_tailSize; i-- > 0;) {
        if (i >= 8)
            k2 |= uint64_t{m_tail[i]} << (8 * (i - 8));
        else
            k1 |= uint64_t{m_tail[i]} << (8 * i);
    }
    if (m_tailSize > 8)
        h2 ^= mixK2(k2);
    if (m_tailSize > 0)
        h1 ^= mixK1(k1);
    h1 ^= m_length;
    h2 ^= m_length;
    h1 += h2;
    h2 += h1;
    h1 = fmix(h1);
    h2 = fmix(h2);
    h1 += h2;
    h2 += h1;
    return {h1, h2};
}

Digest digestOfBytes(std::string_view bytes)
{
    Hasher hasher;
    hasher.add(bytes);
    return hasher.finish();
}

Digest digestOfBytes(ByteSource& bytes)
{
    Hasher hasher;
    for (std::string_view piece = bytes.next(); !piece.empty(); piece = bytes.next())
        hasher.add(piece);
    return hasher.finish();
}

namespace {

enum class Fit {
    AsItIs,     // its lines read back as it is
    Changed,    // they read back as one host, but another one
    LineBreak,  // a value breaks its line: the lines read back as other lines
};

// The characters a line cannot hold as they are that text has, as bits.
enum : unsigned {
    kLineBreak = 1,
    kLessThan = 2,
    kGreaterThan = 4
};

// One pass over text: find_first_of calls memchr once per byte, which made
// this check most of a large catalogue's save.
unsigned lineCharactersIn(std::string_view text)
{
    unsigned found = 0;
    for (const char c : text) {
        switch (c) {
        case '\r':
        case '\n': found |= kLineBreak; break;
        case '<': found |= kLessThan; break;
        case '>': found |= kGreaterThan; break;
        default: break;
        }
    }
    return found;
}

// Which values a line cannot hold as they are: a "<" ends any value, a ">"
// shifts the values after it on an entry line, a custom command named "-"
// reads back as a separator, and what an entry's line does not hold reads
// back unset.
Fit fitOf(const HostItem& host)
{
    Fit fit = Fit::AsItIs;
    auto check = [&](std::string_view text, unsigned breaking) {
        const unsigned found = lineCharactersIn(text);
        if (found & kLineBreak)
            fit = Fit::LineBreak;
        else if (fit == Fit::AsItIs && (found & breaking))
            fit = Fit::Changed;
    };
    check(host.title, kLessThan);
    check(host.hostName, kLessThan);
    for (EntryView entry : host.entries) {
        if (!entry.onlyOwnFields() || (entry.kind() == CustomCommand && entry.name() == "-"))
            fit = fit == Fit::LineBreak ? fit : Fit::Changed;
    }
    // Every text an entry has, also one its line does not hold: that one
    // made the host Changed above, and a line break in it only sends the
    // host the slow, exact way.
    host.entries.forEachText([&](std::string_view text) { check(text, kLessThan | kGreaterThan); });
    return fit;
}

// The records that bytes read back as.
struct ReadBack {
    HostCatalogue hosts;
    AppOptions options;
};

ReadBack readBack(const HostCatalogue& hosts, const AppOptions& options, int32_t x, int32_t y)
{
    ReadBack read;
    NoCatalogueWindow nowhere;
    parseCatalogue(formatCatalogue(hosts, options, x, y), read.hosts, read.options, nowhere);
    return read;
}

}  // namespace

// The entries as their list lays them out, which is one layout for equal
// lists: no field is read apart.
Digest hostDigest(const HostItem& host)
{
    // The numbers and the lengths of the parts first, in one piece: small
    // pieces cost more to take in than to hash.
    std::array<int64_t, std::size(kHostFields) + 2> head{};
    std::array<std::string_view, std::size(kHostFields) + 2> parts{};
    size_t i = 0;
    for (const RecordField<HostItem>& field : kHostFields) {
        if (field.type == FieldType::Text) {
            parts[i] = host.*field.text;
            head[i] = static_cast<int64_t>(parts[i].size());
        } else {
            head[i] = host.*field.number;  // every other host field is a number
        }
        ++i;
    }
    for (std::string_view entries : {host.entries.packedSlots(), host.entries.packedTexts()}) {
        parts[i] = entries;
        head[i++] = static_cast<int64_t>(entries.size());
    }
    Hasher hasher;
    hasher.add(head.data(), sizeof head);
    for (std::string_view part : parts)
        hasher.add(part);
    return hasher.finish();
}

CatalogueBase baseOf(const HostCatalogue& hosts, const AppOptions& options)
{
    CatalogueBase base;
    base.options = options;
    base.hosts.reserve(hosts.size());
    for (const auto& host : hosts)
        base.hosts.push_back(hostDigest(*host));
    return base;
}

CatalogueBase baseAsWritten(const HostCatalogue& hosts, const AppOptions& options, int32_t x, int32_t y)
{
    // Values that break their line make lines of other hosts or options:
    // only reading the whole file back says what it holds. Nothing the
    // editors or the reader make holds one.
    bool breaks = (lineCharactersIn(options.alternateBrowserPath) & kLineBreak) != 0;
    CatalogueBase base;
    base.hosts.reserve(hosts.size());
    for (const auto& host : hosts) {
        if (breaks)
            break;
        switch (fitOf(*host)) {
        case Fit::AsItIs: base.hosts.push_back(hostDigest(*host)); break;
        case Fit::Changed: {
            HostCatalogue one;
            one.push_back(newHost());
            copyHost(*host, *one.back());
            base.hosts.push_back(hostDigest(*readBack(one, AppOptions(), 0, 0).hosts.at(0)));
            break;
        }
        case Fit::LineBreak: breaks = true; break;
        }
    }
    if (breaks) {
        ReadBack all = readBack(hosts, options, x, y);
        return baseOf(all.hosts, all.options);
    }
    base.options = readBack({}, options, x, y).options;
    return base;
}

}  // namespace qb
