// Finding hosts by what the user types: a host is found when every
// blank-separated word occurs in its title as shown (without a "||" colour)
// or in its host name, case folded by the code page's table. The texts are
// folded once, when a find starts or the rows change, so that a keystroke
// only searches.
#pragma once

#include "app/ListKeyboard.h"
#include "catalogue/HostRecords.h"

#include <string>
#include <string_view>
#include <vector>

namespace qb {

class HostFilter
{
public:
    // The hosts in row order.
    HostFilter(const std::vector<HostItem*>& hosts, const CaseTable& fold);

    const CaseTable& fold() const { return m_fold; }
    // The positions, ascending, of the hosts that `text` finds; every host
    // when it holds no word.
    std::vector<int> matches(std::string_view text) const;

private:
    std::string_view text(size_t index) const;
    bool holds(int host, std::string_view word) const;

    CaseTable m_fold;
    // Each host's title and host name folded, back to back, each text
    // ending in a blank, which no word holds: a match never spans two texts.
    std::string m_texts;
    std::vector<size_t> m_ends;
};

}  // namespace qb
