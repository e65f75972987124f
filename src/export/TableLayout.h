#pragma once

#include <QtGlobal>

#include <vector>

namespace velmora::exporting {

// What one printed column needs across: its natural width (every text on one line, the
// heading on at most two) and its least width (no word broken). Both with the cell padding.
struct ColumnNeed {
    qreal natural = 0;
    qreal least = 0;
};

// Columns side by side on one page width: indexes into the columns measured, and the width
// each is given.
struct ColumnBand {
    std::vector<size_t> columns;
    std::vector<qreal> widths;
};

// How the columns stand on pages of the given width. Columns that fit across at their
// natural width take it. Otherwise each gets its least width and the room left is shared
// out by what each lacks of its natural width, so that long texts wrap onto more lines.
// Where even the least widths do not fit across, the columns are printed in bands, one
// after the other, each as wide as the page; the first column (what names the row) is
// repeated at the left of every band. Never an empty band; no column wider than the page.
std::vector<ColumnBand> layoutColumns(std::vector<ColumnNeed> needs, qreal pageWidth);

}  // namespace velmora::exporting
