#include "TableLayout.h"

#include <algorithm>
#include <numeric>

namespace velmora::exporting {

namespace {

// A row-naming column is repeated in every band only while it leaves most of the page to
// the other columns.
constexpr qreal kLargestRepeatedShare = 0.25;

qreal sumOf(const std::vector<ColumnNeed>& needs, const std::vector<size_t>& columns,
            qreal ColumnNeed::*what) {
    qreal total = 0;
    for (size_t c : columns)
        total += needs[c].*what;
    return total;
}

ColumnBand widthsFor(const std::vector<ColumnNeed>& needs, std::vector<size_t> columns,
                     qreal pageWidth) {
    ColumnBand band;
    band.columns = std::move(columns);
    const qreal natural = sumOf(needs, band.columns, &ColumnNeed::natural);
    const qreal least = sumOf(needs, band.columns, &ColumnNeed::least);
    for (size_t c : band.columns) {
        const ColumnNeed& n = needs[c];
        if (natural <= pageWidth || natural <= least) {
            band.widths.push_back(n.natural);
        } else {
            const qreal share = std::max<qreal>(0, pageWidth - least) / (natural - least);
            band.widths.push_back(n.least + (n.natural - n.least) * std::min<qreal>(1, share));
        }
    }
    return band;
}

}  // namespace

std::vector<ColumnBand> layoutColumns(std::vector<ColumnNeed> needs, qreal pageWidth) {
    std::vector<ColumnBand> bands;
    if (needs.empty() || pageWidth <= 0)
        return bands;
    for (ColumnNeed& n : needs) {
        n.natural = std::min(n.natural, pageWidth);
        n.least = std::min(std::max<qreal>(0, n.least), pageWidth);
        n.natural = std::max(n.natural, n.least);
    }
    std::vector<size_t> all(needs.size());
    std::iota(all.begin(), all.end(), size_t{0});
    if (sumOf(needs, all, &ColumnNeed::least) <= pageWidth) {
        bands.push_back(widthsFor(needs, all, pageWidth));
        return bands;
    }
    const bool repeatFirst = needs[0].least <= pageWidth * kLargestRepeatedShare;
    std::vector<size_t> current{0};
    qreal used = needs[0].least;
    for (size_t c = 1; c < needs.size(); ++c) {
        if (used + needs[c].least > pageWidth) {
            bands.push_back(widthsFor(needs, current, pageWidth));
            current.clear();
            used = 0;
            // A column too wide to stand beside the repeated one has a band of its own.
            if (repeatFirst && needs[0].least + needs[c].least <= pageWidth) {
                current.push_back(0);
                used = needs[0].least;
            }
        }
        current.push_back(c);
        used += needs[c].least;
    }
    bands.push_back(widthsFor(needs, current, pageWidth));
    return bands;
}

}  // namespace velmora::exporting
