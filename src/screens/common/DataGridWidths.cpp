#include "DataGrid.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScopedValueRollback>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

// The grid's column widths: fitted to captions and rows, remembered and restored, and the
// tool tip that shows a cell's whole text where its column cuts it.

namespace velmora::screens {

namespace {

// A long note does not make its column wider than forty characters; its tool tip shows the
// rest.
int widestFit(const QFontMetrics& fm) {
    return 40 * fm.averageCharWidth();
}

}  // namespace

void DataGrid::setTwoLineHeaders(bool twoLines) {
    twoLineHeaders_ = twoLines;
    QHeaderView* header = horizontalHeader();
    if (twoLines) {
        header->setDefaultAlignment(
            Qt::Alignment::fromInt(int(Qt::AlignCenter) | int(Qt::TextWordWrap)));
        const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        header->setFixedHeight(2 * header->fontMetrics().lineSpacing() + 2 * margin + 4);
    } else {
        header->setDefaultAlignment(Qt::AlignCenter);
        header->setMinimumHeight(0);
        header->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    applyColumnWidths();
    updateGeometries();
}

int DataGrid::captionWidth(int col) const {
    const QFontMetrics fm = horizontalHeader()->fontMetrics();
    const int padding = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 12;
    const QString caption = model_->column(col).caption;
    int width = fm.horizontalAdvance(caption);
    if (twoLineHeaders_) {
        // The narrowest width that holds the caption on two lines broken between words.
        const QStringList words = caption.split(u' ', Qt::SkipEmptyParts);
        for (qsizetype at = 1; at < words.size(); ++at) {
            const int first = fm.horizontalAdvance(words.mid(0, at).join(u' '));
            const int second = fm.horizontalAdvance(words.mid(at).join(u' '));
            width = std::min(width, std::max(first, second));
        }
    }
    return std::max(width + padding, 48);
}

int DataGrid::rowsWidth(int col) const {
    // The rows of a screenful and some: enough to see what the column holds, without
    // reading a long list through on every refresh.
    constexpr int kRowsMeasured = 50;
    const QFontMetrics fm = fontMetrics();
    const int rows = std::min(model_->dataRowCount(), kRowsMeasured);
    int widest = 0;
    for (int r = 0; r < rows; ++r)
        widest = std::max(widest, fm.horizontalAdvance(model_->text(r, col)));
    if (widest == 0)
        return 0;
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    return std::min(widest + margin + 6, widestFit(fm));
}

void DataGrid::setWidthQuietly(int col, int width) {
    QScopedValueRollback<bool> sizing(sizingColumns_, true);
    const bool hidden = isColumnHidden(col);
    setColumnHidden(col, false);  // a hidden column would not keep the width
    setColumnWidth(col, width);
    setColumnHidden(col, hidden);
}

void DataGrid::applyColumnWidths() {
    userSized_.assign(static_cast<size_t>(model_->gridColumnCount()), false);
    for (int c = 0; c < model_->gridColumnCount(); ++c) {
        setWidthQuietly(c, captionWidth(c));
        setColumnHidden(c, !model_->column(c).visible);
    }
}

void DataGrid::fitColumnsToRows() {
    userSized_.resize(static_cast<size_t>(model_->gridColumnCount()), false);
    for (int c = 0; c < model_->gridColumnCount(); ++c) {
        if (userSized_[static_cast<size_t>(c)] || !model_->column(c).visible ||
            columnWidth(c) >= widestFit(fontMetrics()))
            continue;
        const int wanted = rowsWidth(c);
        if (wanted > columnWidth(c))
            setWidthQuietly(c, wanted);
    }
}

std::vector<int> DataGrid::columnWidths() const {
    std::vector<int> widths;
    for (int c = 0; c < model_->gridColumnCount(); ++c) {
        const bool chosen =
            static_cast<size_t>(c) < userSized_.size() && userSized_[static_cast<size_t>(c)];
        widths.push_back(chosen && !isColumnHidden(c) ? columnWidth(c) : 0);
    }
    return widths;
}

void DataGrid::setColumnWidths(const std::vector<int>& widths) {
    const int n = std::min(static_cast<int>(widths.size()), model_->gridColumnCount());
    for (int c = 0; c < n; ++c) {
        const int w = widths[static_cast<size_t>(c)];
        if (w <= 0)
            continue;
        setWidthQuietly(c, w);
        if (static_cast<size_t>(c) < userSized_.size())
            userSized_[static_cast<size_t>(c)] = true;
    }
}

bool DataGrid::isTextCut(int row, int col) const {
    if (col < 0 || col >= model_->gridColumnCount() || isColumnHidden(col))
        return false;
    const QString text = model_->text(row, col);
    if (text.isEmpty())
        return false;
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    return fontMetrics().horizontalAdvance(text) > columnWidth(col) - margin;
}

bool DataGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex at = indexAt(help->pos());
        if (at.isValid() && isTextCut(at.row(), at.column())) {
            const QRect cell = visualRect(at);
            QToolTip::showText(help->globalPos(), model_->text(at.row(), at.column()), viewport(),
                               cell);
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

}  // namespace velmora::screens
