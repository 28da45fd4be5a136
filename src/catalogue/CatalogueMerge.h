// The three-way merge of catalogues: what this program last read or wrote
// (the base), what it holds now (mine) and what another program left in the
// file since (theirs). Hosts are merged as whole records, the way diff3 merges
// lines; no file, no window.
#pragma once

#include "catalogue/CatalogueDigest.h"
#include "catalogue/HostRecords.h"

#include <string>
#include <vector>

namespace qb {

// One version of the file's content. The window position travels beside the
// options, as formatCatalogue takes it.
struct CatalogueVersion {
    HostCatalogue hosts;
    AppOptions options;
    int32_t x = 0;
    int32_t y = 0;
};

struct CatalogueMergeResult {
    CatalogueVersion merged;
    // Titles of the hosts kept from regions both sides changed differently,
    // in catalogue order, each once.
    std::vector<std::string> conflicts;
};

// Every field of the host and of each of its entries, entries in order.
bool sameHost(const HostItem& a, const HostItem& b);

// The merged hosts are deep copies: the result shares nothing with its inputs.
CatalogueMergeResult mergeCatalogues(const CatalogueVersion& base, const CatalogueVersion& mine,
                                     const CatalogueVersion& theirs);
// The same with the base kept as digests: its hosts are never needed whole.
CatalogueMergeResult mergeCatalogues(const CatalogueBase& base, const CatalogueVersion& mine,
                                     const CatalogueVersion& theirs);

// What the user is told about conflicts: up to five titles, then ", ..." when
// there are more. Empty when there is no conflict.
std::string mergeConflictMessage(const std::vector<std::string>& titles);

}  // namespace qb
