#include "TablePages.h"

#include "TableLayout.h"
#include "TextWrap.h"

#include <QAbstractItemModel>
#include <QBrush>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>

namespace velmora::exporting {

namespace {

// Rows measured for the column widths: enough to see the usual texts of a long table. A
// longer text further down wraps onto more lines.
constexpr int kMeasuredRows = 2000;
constexpr qreal kCellPadding = 0.6;  // of a character's width, on each side
// The size of the cells' text, and the least it is made to keep a table's columns on one
// page before they are printed in parts.
constexpr qreal kCellPoints = 8;
constexpr qreal kLeastCellPoints = 6.5;

// One table of a job: the main table, or a section printed after it.
struct Table {
    QString heading;
    const QAbstractItemModel* model = nullptr;
    std::vector<int> columns;
    const std::vector<int>* rows = nullptr;  // every row of the model when null

    int rowCount() const { return rows ? static_cast<int>(rows->size()) : model->rowCount(); }
    int modelRow(int r) const { return rows ? (*rows)[static_cast<size_t>(r)] : r; }
};

std::vector<Table> tablesOf(const TablePrintJob& job) {
    std::vector<Table> tables;
    if (job.model)
        tables.push_back({{}, job.model, job.columns, job.rows ? &*job.rows : nullptr});
    for (const TableSection& s : job.sections) {
        if (s.model)
            tables.push_back({s.heading, s.model, s.columns, nullptr});
    }
    return tables;
}

struct Fonts {
    qreal size;  // of the normal and bold text, in points
    QFont normal, bold, title;
    QFontMetricsF normalMetrics, boldMetrics, titleMetrics;
    TextWidths normalWidths, boldWidths;
    qreal textLine = 0;   // one line of text
    qreal rowPad = 0;     // added to the lines of a row
    qreal cellPad = 0;    // each side of a cell's text
    qreal titleLine = 0;  // the title's line

    static QFont sized(qreal points, bool bold) {
        QFont f(QStringLiteral("Sans Serif"));
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }
    explicit Fonts(QPaintDevice* device, qreal points = kCellPoints)
        : size(points),
          normal(sized(points, false)),
          bold(sized(points, true)),
          title(sized(11, true)),
          normalMetrics(normal, device),
          boldMetrics(bold, device),
          titleMetrics(title, device),
          normalWidths(normalMetrics),
          boldWidths(boldMetrics) {
        textLine = normalMetrics.lineSpacing();
        rowPad = normalMetrics.height() * 0.25;
        cellPad = normalMetrics.averageCharWidth() * kCellPadding;
        titleLine = titleMetrics.height() * 1.4;
    }
};

QString headerText(const Table& t, int column) {
    return t.model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

bool isBold(const QModelIndex& ix) {
    const QVariant font = ix.data(Qt::FontRole);
    return font.isValid() && qvariant_cast<QFont>(font).bold();
}

std::vector<ColumnNeed> measure(const Table& t, const Fonts& f) {
    std::vector<ColumnNeed> needs;
    const int rows = std::min(t.rowCount(), kMeasuredRows);
    for (int c : t.columns) {
        const QString header = headerText(t, c);
        ColumnNeed n{twoLineWidth(header, f.boldWidths), widestWord(header, f.boldWidths)};
        for (int r = 0; r < rows; ++r) {
            const QModelIndex ix = t.model->index(t.modelRow(r), c);
            const QString text = ix.data(Qt::DisplayRole).toString();
            const TextWidths& m = isBold(ix) ? f.boldWidths : f.normalWidths;
            n.natural = std::max(n.natural, widestLine(text, m));
            n.least = std::max(n.least, widestWord(text, m));
        }
        n.natural += 2 * f.cellPad;
        n.least += 2 * f.cellPad;
        needs.push_back(n);
    }
    return needs;
}

qreal leastAcross(const std::vector<ColumnNeed>& needs) {
    qreal total = 0;
    for (const ColumnNeed& n : needs)
        total += n.least;
    return total;
}

Qt::Alignment horizontal(const QVariant& align) {
    return align.isValid() ? Qt::Alignment(align.toInt()) & Qt::AlignHorizontal_Mask
                           : Qt::AlignLeft;
}

// One row as it is printed in a band: each cell's lines, font, colour and alignment.
struct PrintedRow {
    struct Cell {
        QStringList lines;
        bool bold = false;
        QColor colour;
        Qt::Alignment align = Qt::AlignLeft;
    };
    std::vector<Cell> cells;
    int lines = 1;
};

// What counting the pages learnt, so that painting them need not work it out again: each
// table's text size and bands of columns, and which rows of each band (in the order printed)
// stand on one line.
struct FlowMemo {
    std::vector<qreal> cellPoints;
    std::vector<std::vector<ColumnBand>> bands;
    std::vector<std::vector<bool>> singleLine;
};

// Lays the tables out page by page, filling the memo; paints them when it has a painter,
// from the memo the counting filled.
class Flow {
  public:
    Flow(const TablePrintJob& job, QPagedPaintDevice* device, QPainter* painter, const QRectF& area,
         int pageCount, FlowMemo* memo)
        : job_(job),
          device_(device),
          p_(painter),
          area_(area),
          pageCount_(pageCount),
          memo_(*memo),
          fonts_(device) {}

    int run() {
        startPage();
        bool first = true;
        size_t table = 0;
        for (const Table& t : tablesOf(job_)) {
            if (!p_) {
                memo_.bands.push_back(layoutColumns(cellFontsFor(t), area_.width()));
                memo_.cellPoints.push_back(cells_->size);
            } else {
                cells_ = std::make_unique<Fonts>(device_, memo_.cellPoints[table]);
            }
            const std::vector<ColumnBand>& bands = memo_.bands[table++];
            for (size_t b = 0; b < bands.size(); ++b) {
                if (b > 0 || (!first && !roomForStart(t, bands[b])))
                    newPage();
                printBand(t, bands[b], b, bands.size());
            }
            first = false;
        }
        return page_;
    }

  private:
    // Chooses the text size of a table's cells: the usual one, or a smaller one (not below
    // kLeastCellPoints) at which every word of its columns fits across the page. Returns what
    // its columns need at that size; at the usual size when none fits, to be printed in parts.
    std::vector<ColumnNeed> cellFontsFor(const Table& t) {
        cells_ = std::make_unique<Fonts>(device_);
        std::vector<ColumnNeed> needs = measure(t, *cells_);
        const qreal least = leastAcross(needs);
        if (least <= area_.width())
            return needs;
        // Text widths shrink with the size: start at the size that should just fit.
        qreal points = std::floor(kCellPoints * area_.width() / least * 2) / 2;
        for (; points >= kLeastCellPoints; points -= 0.5) {
            auto smaller = std::make_unique<Fonts>(device_, points);
            std::vector<ColumnNeed> at = measure(t, *smaller);
            if (leastAcross(at) <= area_.width()) {
                cells_ = std::move(smaller);
                return at;
            }
        }
        return needs;
    }
    const Fonts& cell() const { return *cells_; }

    qreal bottom() const { return area_.height() - fonts_.textLine * 0.5; }

    void startPage() {
        ++page_;
        y_ = 0;
        rowsOnPage_ = false;
        if (p_) {
            forgetPainterState();
            p_->setPen(Qt::black);
            p_->setFont(fonts_.title);
            p_->drawText(QRectF(0, 0, area_.width(), fonts_.titleLine),
                         Qt::AlignLeft | Qt::AlignVCenter, job_.title);
            p_->setFont(fonts_.normal);
            p_->drawText(QRectF(0, 0, area_.width(), fonts_.titleLine),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Page %1 of %2").arg(page_).arg(pageCount_));
        }
        y_ += fonts_.titleLine;
        if (page_ == 1 && !job_.subtitle.isEmpty()) {
            const QStringList lines = wrapText(job_.subtitle, fonts_.normalWidths, area_.width());
            for (const QString& line : lines) {
                if (p_)
                    p_->drawText(QRectF(0, y_, area_.width(), fonts_.textLine),
                                 Qt::AlignLeft | Qt::AlignVCenter, line);
                y_ += fonts_.textLine;
            }
            y_ += fonts_.textLine * 0.5;
        }
    }

    void newPage() {
        if (p_)
            device_->newPage();
        startPage();
    }

    PrintedRow headerRow(const Table& t, const ColumnBand& band) const {
        PrintedRow row;
        for (size_t i = 0; i < band.columns.size(); ++i) {
            const int c = t.columns[band.columns[i]];
            PrintedRow::Cell cell;
            cell.bold = true;
            cell.align = horizontal(t.model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole));
            cell.lines = wrapText(headerText(t, c), this->cell().boldWidths, inner(band, i));
            row.lines = std::max(row.lines, static_cast<int>(cell.lines.size()));
            row.cells.push_back(std::move(cell));
        }
        return row;
    }

    // A row's cells; those known to stand on one line are not measured again.
    PrintedRow dataRow(const Table& t, const ColumnBand& band, int r, bool oneLine) const {
        PrintedRow row;
        for (size_t i = 0; i < band.columns.size(); ++i) {
            const QModelIndex ix = t.model->index(t.modelRow(r), t.columns[band.columns[i]]);
            PrintedRow::Cell cell;
            cell.bold = isBold(ix);
            if (p_) {
                const QVariant fg = ix.data(Qt::ForegroundRole);
                if (fg.isValid())
                    cell.colour = qvariant_cast<QBrush>(fg).color();
                cell.align = horizontal(ix.data(Qt::TextAlignmentRole));
            }
            const QString text = ix.data(Qt::DisplayRole).toString();
            cell.lines =
                oneLine ? QStringList{text}
                        : wrapText(text,
                                   cell.bold ? this->cell().boldWidths : this->cell().normalWidths,
                                   inner(band, i));
            row.lines = std::max(row.lines, static_cast<int>(cell.lines.size()));
            row.cells.push_back(std::move(cell));
        }
        return row;
    }

    qreal inner(const ColumnBand& band, size_t i) const {
        return std::max<qreal>(1, band.widths[i] - 2 * cell().cellPad);
    }
    qreal heightOf(int lines) const { return lines * cell().textLine + cell().rowPad; }
    qreal bandWidth(const ColumnBand& band) const {
        qreal w = 0;
        for (qreal x : band.widths)
            w += x;
        return w;
    }

    // Whether a table's heading, column headings and first line fit on what is left of the
    // page.
    bool roomForStart(const Table& t, const ColumnBand& band) const {
        const qreal heading = t.heading.isEmpty() ? 0 : fonts_.textLine * 1.5;
        const qreal header = heightOf(headerRow(t, band).lines) + cell().rowPad;
        return y_ + fonts_.textLine + heading + header + heightOf(1) <= bottom();
    }

    void forgetPainterState() {
        painterFont_ = nullptr;
        painterColour_ = QColor();
    }

    // One line of a cell in the box at left, top of the given width, one text line high. The
    // font and pen are set only when they change, and the text placed by its baseline: the
    // quickest way to paint the many cells of a long list.
    void drawLine(qreal left, qreal top, qreal width, const PrintedRow::Cell& cell,
                  const QString& text) {
        if (text.isEmpty())
            return;
        const Fonts& f = this->cell();
        if (!painterFont_ || painterBold_ != cell.bold || painterFont_ != &f) {
            p_->setFont(cell.bold ? f.bold : f.normal);
            painterFont_ = &f;
            painterBold_ = cell.bold;
        }
        const QColor colour = cell.colour.isValid() ? cell.colour : QColor(Qt::black);
        if (colour != painterColour_) {
            p_->setPen(colour);
            painterColour_ = colour;
        }
        const QFontMetricsF& m = cell.bold ? f.boldMetrics : f.normalMetrics;
        qreal x = left;
        if (cell.align & (Qt::AlignRight | Qt::AlignHCenter)) {
            const qreal spare = width - (cell.bold ? f.boldWidths : f.normalWidths).width(text);
            x += cell.align & Qt::AlignRight ? spare : spare / 2;
        }
        p_->drawText(QPointF(x, top + (f.textLine - m.height()) / 2 + m.ascent()), text);
    }

    void drawLines(const ColumnBand& band, const PrintedRow& row, int from, int count) {
        qreal x = 0;
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const PrintedRow::Cell& cell = row.cells[i];
            if (p_) {
                const int end = std::min<int>(from + count, static_cast<int>(cell.lines.size()));
                for (int k = from; k < end; ++k) {
                    drawLine(x + this->cell().cellPad,
                             y_ + this->cell().rowPad / 2 + (k - from) * this->cell().textLine,
                             inner(band, i), cell, cell.lines[k]);
                }
            }
            x += band.widths[i];
        }
        y_ += heightOf(count);
    }

    void printHeading(const Table& t, size_t b, size_t bands) {
        QStringList notes;
        if (!t.heading.isEmpty())
            notes << t.heading;
        if (bands > 1)
            notes << QStringLiteral("Columns, part %1 of %2").arg(b + 1).arg(bands);
        if (notes.isEmpty())
            return;
        y_ += t.heading.isEmpty() ? 0 : fonts_.textLine * 0.5;
        if (p_) {
            forgetPainterState();
            p_->setPen(Qt::black);
            p_->setFont(fonts_.bold);
            p_->drawText(QRectF(0, y_, area_.width(), fonts_.textLine),
                         Qt::AlignLeft | Qt::AlignVCenter, notes.join(QStringLiteral(" - ")));
        }
        y_ += fonts_.textLine;
    }

    void printHeader(const ColumnBand& band, const PrintedRow& header) {
        drawLines(band, header, 0, header.lines);
        if (p_) {
            forgetPainterState();
            p_->setPen(Qt::black);
            p_->drawLine(QPointF(0, y_), QPointF(bandWidth(band), y_));
        }
        y_ += cell().rowPad;
    }

    void printBand(const Table& t, const ColumnBand& band, size_t b, size_t bands) {
        printHeading(t, b, bands);
        const PrintedRow header = headerRow(t, band);
        printHeader(band, header);
        const int rows = t.rowCount();
        if (!p_)
            memo_.singleLine.emplace_back(static_cast<size_t>(rows), false);
        std::vector<bool>& oneLine = memo_.singleLine[bandNo_++];
        for (int r = 0; r < rows; ++r) {
            const PrintedRow row = dataRow(t, band, r, oneLine[static_cast<size_t>(r)]);
            if (!p_)
                oneLine[static_cast<size_t>(r)] = row.lines == 1;
            int from = 0;
            while (from < row.lines) {
                const int room =
                    static_cast<int>(std::floor((bottom() - y_ - cell().rowPad) / cell().textLine));
                // A row runs on over the next page only where a page cannot hold it.
                if (room >= row.lines - from || !rowsOnPage_) {
                    const int count = std::max(1, std::min(room, row.lines - from));
                    drawLines(band, row, from, count);
                    from += count;
                    rowsOnPage_ = true;
                    continue;
                }
                newPage();
                printHeading(t, b, bands);
                printHeader(band, header);
            }
        }
    }

    const TablePrintJob& job_;
    QPagedPaintDevice* device_;
    QPainter* p_;
    QRectF area_;
    int pageCount_;
    FlowMemo& memo_;
    size_t bandNo_ = 0;  // bands printed so far
    // What the painter was last given.
    const Fonts* painterFont_ = nullptr;
    bool painterBold_ = false;
    QColor painterColour_;
    Fonts fonts_;                   // the title, headings and notes
    std::unique_ptr<Fonts> cells_;  // the cells of the table being printed
    int page_ = 0;
    qreal y_ = 0;
    bool rowsOnPage_ = false;  // a line of a table's rows printed on this page
};

}  // namespace

bool fitsAcross(const TablePrintJob& job, QPaintDevice* device, qreal width) {
    const Fonts fonts(device);
    for (const Table& t : tablesOf(job)) {
        qreal total = 0;
        for (const ColumnNeed& n : measure(t, fonts))
            total += n.natural;
        if (total > width)
            return false;
    }
    return true;
}

int flowTables(const TablePrintJob& job, QPagedPaintDevice* device, QPainter* painter,
               const QRectF& area) {
    FlowMemo memo;
    const int pages = Flow(job, device, nullptr, area, 0, &memo).run();
    Flow(job, device, painter, area, pages, &memo).run();
    return pages;
}

}  // namespace velmora::exporting
