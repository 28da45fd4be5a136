#include "catalogue/CatalogueMerge.h"

#include "catalogue/CatalogueDigest.h"
#include "catalogue/CatalogueFile.h"
#include "catalogue/FieldList.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace qb {

namespace {

using HostIds = std::vector<uint32_t>;

struct DigestHash {
    size_t operator()(const Digest& digest) const { return static_cast<size_t>(digest.low); }
};

// Gives equal hosts of all three versions the same number, so that the diff
// compares numbers. Hosts are known by their digests: the base is nothing
// more.
class HostNumbering
{
public:
    // Room for about as many different hosts as one version holds.
    explicit HostNumbering(size_t hosts) { m_ids.reserve(hosts + hosts / 8); }

    HostIds number(const std::vector<Digest>& digests)
    {
        HostIds ids;
        ids.reserve(digests.size());
        for (const Digest& digest : digests)
            ids.push_back(numberOf(digest));
        return ids;
    }

    HostIds number(const HostCatalogue& hosts)
    {
        HostIds ids;
        ids.reserve(hosts.size());
        for (const auto& host : hosts)
            ids.push_back(numberOf(hostDigest(*host)));
        return ids;
    }

private:
    uint32_t numberOf(const Digest& digest)
    {
        // try_emplace makes no node for a digest already known.
        return m_ids.try_emplace(digest, static_cast<uint32_t>(m_ids.size())).first->second;
    }

    std::unordered_map<Digest, uint32_t, DigestHash> m_ids;
};

struct Match {
    size_t base;
    size_t side;
};

// Myers' O(ND) diff in linear space: the middle snake of the shortest edit
// script splits each box in two, so memory stays proportional to the
// catalogues even when they differ everywhere. As in Git's diff, hosts that
// the other version does not hold at all are set aside first (a catalogue
// whose every host changed costs nothing), and a box whose edit script grows
// beyond a bound is split where its paths reached furthest, so that a
// reordered catalogue of 100,000 hosts costs about a second, not minutes,
// for an edit script that may then be longer than the shortest.
class Alignment
{
public:
    using Index = std::ptrdiff_t;

    Alignment(const HostIds& base, const HostIds& side)
    {
        uint32_t most = 0;
        for (const HostIds* ids : {&base, &side})
            for (uint32_t id : *ids)
                most = std::max(most, id);
        std::vector<char> inBase(most + size_t{1}), inSide(most + size_t{1});
        for (uint32_t id : base)
            inBase[id] = 1;
        for (uint32_t id : side)
            inSide[id] = 1;
        keep(base, inSide, a_, aAt_);
        keep(side, inBase, b_, bAt_);
    }

    std::vector<Match> matches()
    {
        walk(0, 0, static_cast<Index>(a_.size()), static_cast<Index>(b_.size()));
        return std::move(matches_);
    }

private:
    struct Snake {
        Index startX, startY, endX, endY;
        Index diagonalX, diagonalY, length;
    };

    void diagonal(Index x, Index y, Index length)
    {
        for (Index i = 0; i < length; ++i)
            matches_.push_back({aAt_[static_cast<size_t>(x + i)], bAt_[static_cast<size_t>(y + i)]});
    }

    static void keep(const HostIds& ids, const std::vector<char>& held, HostIds& kept, std::vector<size_t>& at)
    {
        for (size_t i = 0; i < ids.size(); ++i)
            if (held[ids[i]]) {
                kept.push_back(ids[i]);
                at.push_back(i);
            }
    }

    void walk(Index left, Index top, Index right, Index bottom)
    {
        Index head = 0;
        while (left + head < right && top + head < bottom && a_[left + head] == b_[top + head])
            ++head;
        diagonal(left, top, head);
        left += head;
        top += head;
        Index tail = 0;
        while (right - tail > left && bottom - tail > top && a_[right - tail - 1] == b_[bottom - tail - 1])
            ++tail;
        right -= tail;
        bottom -= tail;
        if (left < right && top < bottom) {
            Snake snake = middleSnake(left, top, right, bottom);
            walk(left, top, snake.startX, snake.startY);
            diagonal(snake.diagonalX, snake.diagonalY, snake.length);
            walk(snake.endX, snake.endY, right, bottom);
        }
        diagonal(right, bottom, tail);
    }

    // The point furthest from its corner that a forward or backward path of
    // d edits reached, as an empty snake.
    template <typename Forward, typename Backward>
    static Snake furthest(Index d, Index left, Index top, Index right, Index bottom, Forward& vf, Backward& vb)
    {
        const Index delta = (right - left) - (bottom - top);
        Index bestX = (left + right) / 2, bestY = (top + bottom) / 2, best = 0;
        auto consider = [&](Index x, Index y, Index reach) {
            bool inside = x >= left && x <= right && y >= top && y <= bottom;
            bool corner = (x == left && y == top) || (x == right && y == bottom);
            if (inside && !corner && reach > best) {
                best = reach;
                bestX = x;
                bestY = y;
            }
        };
        for (Index k = -d; k <= d; k += 2) {
            Index x = vf(k), y = top + (x - left) - k;
            consider(x, y, (x - left) + (y - top));
        }
        for (Index c = -d; c <= d; c += 2) {
            Index y = vb(c), x = left + (y - top) + c + delta;
            consider(x, y, (right - x) + (bottom - y));
        }
        return {bestX, bestY, bestX, bestY, bestX, bestY, 0};
    }

    // Forward paths run on diagonals k = x - y (relative to the box's
    // corner), backward ones on c = k - delta; they meet half way.
    Snake middleSnake(Index left, Index top, Index right, Index bottom)
    {
        const Index width = right - left;
        const Index height = bottom - top;
        const Index delta = width - height;
        const Index most = (width + height + 1) / 2;
        const Index at = most + 1;
        forward_.assign(static_cast<size_t>(2 * most + 3), 0);
        backward_.assign(static_cast<size_t>(2 * most + 3), 0);
        auto vf = [&](Index k) -> Index& { return forward_[static_cast<size_t>(at + k)]; };
        auto vb = [&](Index c) -> Index& { return backward_[static_cast<size_t>(at + c)]; };
        vf(1) = left;
        vb(1) = bottom;
        const Index bound = std::max<Index>(256, static_cast<Index>(std::sqrt(static_cast<double>(width + height))));
        for (Index d = 0; d <= most; ++d) {
            for (Index k = d; k >= -d; k -= 2) {
                Index px, x;
                if (k == -d || (k != d && vf(k - 1) < vf(k + 1)))
                    px = x = vf(k + 1);
                else {
                    px = vf(k - 1);
                    x = px + 1;
                }
                Index y = top + (x - left) - k;
                Index py = (d == 0 || x != px) ? y : y - 1;
                const Index sx = x, sy = y;
                while (x < right && y < bottom && a_[x] == b_[y])
                    ++x, ++y;
                vf(k) = x;
                Index c = k - delta;
                if ((delta & 1) && c >= -(d - 1) && c <= d - 1 && y >= vb(c))
                    return {px, py, x, y, sx, sy, x - sx};
            }
            for (Index c = d; c >= -d; c -= 2) {
                Index py, y;
                if (c == -d || (c != d && vb(c - 1) > vb(c + 1)))
                    py = y = vb(c + 1);
                else {
                    py = vb(c - 1);
                    y = py - 1;
                }
                Index k = c + delta;
                Index x = left + (y - top) + k;
                Index px = (d == 0 || y != py) ? x : x + 1;
                const Index ey = y;
                while (x > left && y > top && a_[x - 1] == b_[y - 1])
                    --x, --y;
                vb(c) = y;
                if (!(delta & 1) && k >= -d && k <= d && x <= vf(k))
                    return {x, y, px, py, x, y, ey - y};
            }
            if (d >= bound)
                return furthest(d, left, top, right, bottom, vf, vb);
        }
        return {left, top, right, bottom, left, top, 0};  // not reached: the paths meet by d = most
    }

    HostIds a_, b_;                  // the hosts both versions hold
    std::vector<size_t> aAt_, bAt_;  // where each of them stands in its version
    std::vector<Match> matches_;
    std::vector<Index> forward_;
    std::vector<Index> backward_;
};

// Base hosts [base, baseEnd) replaced by the side's hosts [side, sideEnd).
struct Hunk {
    size_t base, baseEnd, side, sideEnd;
    bool insertion() const { return base == baseEnd; }
};

std::vector<Hunk> hunksOf(const HostIds& base, const HostIds& side)
{
    std::vector<Hunk> hunks;
    size_t b = 0, s = 0;
    for (const Match& match : Alignment(base, side).matches()) {
        if (match.base > b || match.side > s)
            hunks.push_back({b, match.base, s, match.side});
        b = match.base + 1;
        s = match.side + 1;
    }
    if (base.size() > b || side.size() > s)
        hunks.push_back({b, base.size(), s, side.size()});
    return hunks;
}

// Hunks of the two sides overlap when they share a base host or insert at the
// same place; an insertion inside a range the other side replaced overlaps it
// too (it has nowhere else to go). Touching hunks do not overlap.
bool overlaps(const Hunk& hunk, size_t lo, size_t hi)
{
    if (hunk.insertion() && lo == hi)
        return hunk.base == lo;
    if (hunk.insertion())
        return lo < hunk.base && hunk.base < hi;
    if (lo == hi)
        return hunk.base < lo && lo < hunk.baseEnd;
    return hunk.base < hi && lo < hunk.baseEnd;
}

// A run of hosts of one version.
struct Span {
    const HostCatalogue* hosts;
    const HostIds* ids;
    size_t from, to;

    bool sameAs(const Span& other) const
    {
        return to - from == other.to - other.from &&
               std::equal(ids->begin() + from, ids->begin() + to, other.ids->begin() + other.from);
    }
};

struct Side {
    const HostCatalogue& hosts;
    HostIds ids;
    std::vector<Hunk> hunks;
    size_t next = 0;  // first hunk not yet merged

    bool pending() const { return next < hunks.size(); }
    // Base positions before a hunk's start come first; at the same start an
    // insertion comes before a replacement it only touches.
    std::pair<size_t, bool> order() const { return {hunks[next].base, !hunks[next].insertion()}; }

    // This side's copy of base hosts [lo, hi) that none of its hunks
    // touches, the first `before` of them lying before lo. The base is only
    // digests: an unchanged host is taken from a side that holds it.
    Span unchanged(size_t before, size_t lo, size_t hi) const
    {
        const size_t from = before ? hunks[before - 1].sideEnd + (lo - hunks[before - 1].baseEnd) : lo;
        return {&hosts, &ids, from, from + (hi - lo)};
    }

    // This side's version of base hosts [lo, hi), given its hunks [first, next).
    Span version(size_t first, size_t lo, size_t hi) const
    {
        if (first == next)
            return unchanged(first, lo, hi);
        const Hunk& start = hunks[first];
        const Hunk& end = hunks[next - 1];
        return {&hosts, &ids, start.side - (start.base - lo), end.sideEnd + (hi - end.baseEnd)};
    }
};

class Merger
{
public:
    Merger(const CatalogueBase& base, const CatalogueVersion& mine, const CatalogueVersion& theirs)
        : numbering_(base.hosts.size()),
          baseIds_(numbering_.number(base.hosts)), mine_{mine.hosts, numbering_.number(mine.hosts), {}},
          theirs_{theirs.hosts, numbering_.number(theirs.hosts), {}}
    {
        mine_.hunks = hunksOf(baseIds_, mine_.ids);
        theirs_.hunks = hunksOf(baseIds_, theirs_.ids);
    }

    void merge(HostCatalogue& merged, std::vector<std::string>& conflicts)
    {
        size_t done = 0;  // base hosts before this are merged
        while (mine_.pending() || theirs_.pending()) {
            const size_t mineFirst = mine_.next, theirsFirst = theirs_.next;
            const bool mineOpens = !theirs_.pending() || (mine_.pending() && mine_.order() < theirs_.order());
            Side& opening = mineOpens ? mine_ : theirs_;
            size_t lo = opening.hunks[opening.next].base;
            size_t hi = opening.hunks[opening.next].baseEnd;
            ++opening.next;
            for (bool grew = true; grew;) {
                grew = false;
                for (Side* side : {&mine_, &theirs_})
                    if (side->pending() && overlaps(side->hunks[side->next], lo, hi)) {
                        hi = std::max(hi, side->hunks[side->next].baseEnd);
                        ++side->next;
                        grew = true;
                    }
            }
            take(mine_.unchanged(mineFirst, done, lo));
            done = hi;
            const Span mine = mine_.version(mineFirst, lo, hi);
            const Span theirs = theirs_.version(theirsFirst, lo, hi);
            if (mineFirst == mine_.next || mine.sameAs(theirs))
                take(theirs);
            else if (theirsFirst == theirs_.next)
                take(mine);
            else
                both(mine, theirs, lo == hi ? nullptr : &conflicts);
        }
        take(mine_.unchanged(mine_.next, done, baseIds_.size()));
        merged.reserve(kept_.size());
        for (const HostItem* host : kept_) {
            auto copy = newHost();
            copyHost(*host, *copy);
            merged.push_back(std::move(copy));
        }
    }

private:
    void take(const Span& span)
    {
        for (size_t i = span.from; i < span.to; ++i)
            kept_.push_back((*span.hosts)[i].get());
    }

    // Theirs, then mine's hosts that theirs does not hold; a conflict unless
    // both sides only inserted at the same place.
    void both(const Span& mine, const Span& theirs, std::vector<std::string>* conflicts)
    {
        const size_t start = kept_.size();
        take(theirs);
        std::unordered_set<uint32_t> theirsHolds(theirs.ids->begin() + theirs.from, theirs.ids->begin() + theirs.to);
        for (size_t i = mine.from; i < mine.to; ++i)
            if (!theirsHolds.count((*mine.ids)[i]))
                kept_.push_back((*mine.hosts)[i].get());
        if (!conflicts)
            return;
        // Every host kept from the region: a host that one side deleted may
        // be back, too.
        for (size_t i = start; i < kept_.size(); ++i)
            if (conflicted_.insert(kept_[i]->title).second)
                conflicts->push_back(kept_[i]->title);
    }

    HostNumbering numbering_;
    HostIds baseIds_;
    Side mine_;
    Side theirs_;
    std::vector<const HostItem*> kept_;
    std::unordered_set<std::string> conflicted_;
};

// Each option is theirs where mine left it as it was, else mine; the window
// stands where this program's window stands.
AppOptions mergeOptions(const AppOptions& base, const AppOptions& mine, const AppOptions& theirs)
{
    AppOptions merged = mine;
    for (const RecordField<AppOptions>& field : kOptionsFields) {
        if (field.type != FieldType::Position && sameValue(field, mine, base))
            copyValue(field, theirs, merged);
    }
    return merged;
}

}  // namespace

bool sameHost(const HostItem& a, const HostItem& b)
{
    return sameFields(a, b) && a.entries == b.entries;
}

CatalogueMergeResult mergeCatalogues(const CatalogueVersion& base, const CatalogueVersion& mine,
                                     const CatalogueVersion& theirs)
{
    return mergeCatalogues(baseOf(base.hosts, base.options), mine, theirs);
}

CatalogueMergeResult mergeCatalogues(const CatalogueBase& base, const CatalogueVersion& mine,
                                     const CatalogueVersion& theirs)
{
    CatalogueMergeResult result;
    Merger(base, mine, theirs).merge(result.merged.hosts, result.conflicts);
    result.merged.options = mergeOptions(base.options, mine.options, theirs.options);
    result.merged.x = mine.x;
    result.merged.y = mine.y;
    return result;
}

std::string mergeConflictMessage(const std::vector<std::string>& titles)
{
    if (titles.empty())
        return {};
    constexpr size_t kShown = 5;
    std::string text =
        std::string(kCatalogueFileName) + " was also changed by another program. Both versions were kept of: ";
    for (size_t i = 0; i < titles.size() && i < kShown; ++i)
        text += (i ? ", " : "") + titles[i];
    if (titles.size() > kShown)
        text += ", ...";
    return text;
}

}  // namespace qb
