#include "app/HostFilter.h"

#include "app/HostRows.h"

#include <algorithm>
#include <numeric>

namespace qb {

namespace {

// Blanks and control characters part words; neither is ever part of one.
bool parts(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

HostFilter::HostFilter(const std::vector<HostItem*>& hosts, const CaseTable& fold) : m_fold(fold)
{
    std::vector<std::string_view> texts;
    texts.reserve(hosts.size() * 2);
    size_t size = 0;
    for (const HostItem* host : hosts) {
        texts.push_back(hostRow(*host).title);
        texts.push_back(host->hostName);
        size += texts[texts.size() - 2].size() + texts.back().size() + 2;
    }
    m_texts.resize(size);
    m_ends.reserve(texts.size());
    size_t end = 0;
    for (const std::string_view text : texts) {
        for (const char c : text)
            m_texts[end++] = static_cast<char>(m_fold[static_cast<unsigned char>(c)]);
        m_texts[end++] = ' ';
        m_ends.push_back(end);
    }
}

std::string_view HostFilter::text(size_t index) const
{
    const size_t begin = index == 0 ? 0 : m_ends[index - 1];
    return std::string_view(m_texts).substr(begin, m_ends[index] - begin);
}

bool HostFilter::holds(int host, std::string_view word) const
{
    const size_t first = static_cast<size_t>(host) * 2;
    return text(first).find(word) != std::string_view::npos || text(first + 1).find(word) != std::string_view::npos;
}

std::vector<int> HostFilter::matches(std::string_view typed) const
{
    std::vector<std::string> words;
    for (size_t at = 0; at < typed.size();) {
        if (parts(typed[at])) {
            ++at;
            continue;
        }
        std::string word;
        for (; at < typed.size() && !parts(typed[at]); ++at)
            word += static_cast<char>(m_fold[static_cast<unsigned char>(typed[at])]);
        words.push_back(std::move(word));
    }
    const int hosts = static_cast<int>(m_ends.size() / 2);
    std::vector<int> found;
    if (words.empty()) {
        found.resize(static_cast<size_t>(hosts));
        std::iota(found.begin(), found.end(), 0);
        return found;
    }
    // The longest word is the rarest, as a rule: one pass over every text
    // for it, then the other words on the hosts it found.
    std::sort(words.begin(), words.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    const std::string_view all(m_texts);
    size_t hitText = 0;  // hits only move forward
    for (size_t at = all.find(words[0]); at != std::string_view::npos;) {
        while (m_ends[hitText] <= at)
            ++hitText;
        const int host = static_cast<int>(hitText / 2);
        if (std::all_of(words.begin() + 1, words.end(), [&](const std::string& word) { return holds(host, word); }))
            found.push_back(host);
        // On from the end of this host's texts: one hit per host.
        const size_t next = m_ends[static_cast<size_t>(host) * 2 + 1];
        at = all.find(words[0], next);
    }
    return found;
}

}  // namespace qb
