#include "app/HostRows.h"

#include "catalogue/TextRules.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace qb {

namespace {

// A row's display text as its title and the colour suffix ("||" and the
// number, or nothing), so that sorting makes no copy of any title.
struct SortKey {
    HostItem* host;
    std::array<char, 16> suffix;
    size_t suffixLength;

    std::string_view title() const { return host->title; }
    std::string_view tail() const { return {suffix.data(), suffixLength}; }
};

SortKey sortKey(HostItem& host)
{
    SortKey key{&host, {}, 0};
    if (host.colour != kNoColour) {
        const std::string suffix = withBarNumber("", host.colour);
        key.suffixLength = std::min(suffix.size(), key.suffix.size());
        std::memcpy(key.suffix.data(), suffix.data(), key.suffixLength);
    }
    return key;
}

// Byte i of the display text (title, then suffix), as an unsigned value.
unsigned char byteAt(const SortKey& key, size_t i)
{
    const std::string_view title = key.title();
    return static_cast<unsigned char>(i < title.size() ? title[i] : key.suffix[i - title.size()]);
}

// Ascending unsigned byte order of the display texts, as std::string's own
// comparison orders them.
bool before(const SortKey& a, const SortKey& b)
{
    const std::string_view ta = a.title();
    const std::string_view tb = b.title();
    const size_t common = std::min(ta.size(), tb.size());
    if (const int order = common ? std::memcmp(ta.data(), tb.data(), common) : 0)
        return order < 0;
    const size_t lengthA = ta.size() + a.suffixLength;
    const size_t lengthB = tb.size() + b.suffixLength;
    for (size_t i = common; i < lengthA && i < lengthB; ++i) {
        const unsigned char x = byteAt(a, i);
        const unsigned char y = byteAt(b, i);
        if (x != y)
            return x < y;
    }
    return lengthA < lengthB;
}

}  // namespace

HostRow hostRow(const HostItem& host)
{
    const BarText parts = splitBarText(host.title);
    // The colour's own "||" comes after the title's, and the number after
    // the first bars stops at the next "|": the title's number wins.
    if (parts.hasNumber)
        return {parts.shown, parts.number, host.icon};
    return {host.title, host.colour == kNoColour ? std::nullopt : std::optional<int32_t>(host.colour), host.icon};
}

void HostRows::rebuild(const HostCatalogue& hosts)
{
    std::vector<SortKey> keys;
    keys.reserve(hosts.size());
    for (const auto& host : hosts)
        keys.push_back(sortKey(*host));
    std::stable_sort(keys.begin(), keys.end(), before);
    m_hosts.clear();
    m_hosts.reserve(keys.size());
    for (const SortKey& key : keys)
        m_hosts.push_back(key.host);
    if (m_filter) {
        const CaseTable fold = m_filter->fold();
        m_filter.emplace(m_hosts, fold);
        applyFilter();
    }
}

void HostRows::clear()
{
    showAll();
    std::vector<HostItem*>().swap(m_hosts);
}

void HostRows::filter(std::string_view text, const CaseTable& fold)
{
    if (!m_filter || m_filter->fold() != fold)
        m_filter.emplace(m_hosts, fold);
    m_filterText = text;
    applyFilter();
}

void HostRows::applyFilter()
{
    m_shown = m_filter->matches(m_filterText);
}

void HostRows::showAll()
{
    // The folded texts are as large as the titles: let go.
    m_filter.reset();
    m_filterText.clear();
    std::vector<int>().swap(m_shown);
}

HostItem* HostRows::host(int row) const
{
    if (row < 0 || row >= count())
        return nullptr;
    return m_hosts[static_cast<size_t>(m_filter ? m_shown[static_cast<size_t>(row)] : row)];
}

int HostRows::rowOf(const HostItem* host) const
{
    const auto found = std::find(m_hosts.begin(), m_hosts.end(), host);
    if (!host || found == m_hosts.end())
        return -1;
    const int index = static_cast<int>(found - m_hosts.begin());
    if (!m_filter)
        return index;
    const auto shown = std::lower_bound(m_shown.begin(), m_shown.end(), index);
    return shown != m_shown.end() && *shown == index ? static_cast<int>(shown - m_shown.begin()) : -1;
}

}  // namespace qb
