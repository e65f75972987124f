#include "TablePrinter.h"

#include "OutputFile.h"

#include <QAbstractItemModel>
#include <QBrush>
#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace velmora::exporting {

namespace {

// Rows measured for the column widths: enough to see the usual texts of a long table.
constexpr int kMeasuredRows = 2000;
constexpr qreal kCellPadding = 0.6;  // of a character's width, on each side

struct Layout {
    QRectF page;  // the printable area in device pixels
    QFont font, bold, titleFont;
    qreal line = 0;       // height of one row
    qreal titleLine = 0;  // height of the title line
    std::vector<qreal> widths;
    int rowsFirst = 0;  // rows on the first page (which also has the subtitle)
    int rowsOther = 0;
};

QString headerText(const TablePrintJob& job, int c) {
    return job.model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
}

int rowCountOf(const TablePrintJob& job) {
    return job.rows ? static_cast<int>(job.rows->size()) : job.model->rowCount();
}
int modelRow(const TablePrintJob& job, int row) {
    return job.rows ? (*job.rows)[static_cast<size_t>(row)] : row;
}

QString cellText(const TablePrintJob& job, int row, int c) {
    row = modelRow(job, row);
    return job.model->data(job.model->index(row, c), Qt::DisplayRole).toString();
}

Layout makeLayout(const TablePrintJob& job, QPaintDevice* device, const QRectF& page) {
    Layout l;
    l.page = page;
    l.font = QFont(QStringLiteral("Sans Serif"));
    l.font.setPointSizeF(8);
    l.bold = l.font;
    l.bold.setBold(true);
    l.titleFont = l.font;
    l.titleFont.setPointSizeF(11);
    l.titleFont.setBold(true);
    const QFontMetricsF fm(l.font, device), fb(l.bold, device), ft(l.titleFont, device);
    l.line = fm.height() * 1.25;
    l.titleLine = ft.height() * 1.4;
    const qreal pad = fm.averageCharWidth() * kCellPadding * 2;
    const int rows = std::min(rowCountOf(job), kMeasuredRows);
    qreal total = 0;
    for (int c : job.columns) {
        qreal w = fb.horizontalAdvance(headerText(job, c));
        for (int r = 0; r < rows; ++r)
            w = std::max(w, fm.horizontalAdvance(cellText(job, r, c)));
        l.widths.push_back(w + pad);
        total += w + pad;
    }
    if (total > page.width() && total > 0) {
        const qreal k = page.width() / total;
        for (qreal& w : l.widths)
            w *= k;
    }
    const qreal footer = l.line * 1.5;
    const qreal otherTop = l.titleLine + l.line * 1.3;  // title, headings
    const qreal firstTop = otherTop + (job.subtitle.isEmpty() ? 0 : l.line * 1.5);
    l.rowsOther = std::max(1, static_cast<int>((page.height() - otherTop - footer) / l.line));
    l.rowsFirst = std::max(1, static_cast<int>((page.height() - firstTop - footer) / l.line));
    return l;
}

int pagesFor(const Layout& l, int rows) {
    if (rows <= l.rowsFirst)
        return 1;
    return 1 + (rows - l.rowsFirst + l.rowsOther - 1) / l.rowsOther;
}

void drawCell(QPainter& p, const QRectF& cell, const QString& text, Qt::Alignment align,
              const QFont& font, qreal pad) {
    const QRectF inner = cell.adjusted(pad, 0, -pad, 0);
    const QString shown =
        QFontMetricsF(font, p.device()).elidedText(text, Qt::ElideRight, inner.width());
    p.drawText(inner, static_cast<int>(align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
}

}  // namespace

QPageLayout tablePageLayout() {
    const QPageSize size(QLocale().measurementSystem() == QLocale::ImperialUSSystem
                             ? QPageSize::Letter
                             : QPageSize::A4);
    return QPageLayout(size, QPageLayout::Landscape, QMarginsF(12.7, 12.7, 12.7, 12.7),
                       QPageLayout::Millimeter);
}

QPageLayout tablePageLayout(const TablePrintJob& job) {
    QPageLayout layout = tablePageLayout();
    if (!job.uprightWhenNarrow || !job.model)
        return layout;
    // Measured in points, as the page is: an image of 72 dots per inch stands in for it.
    QImage points(1, 1, QImage::Format_RGB32);
    points.setDotsPerMeterX(qRound(72 / 0.0254));
    points.setDotsPerMeterY(qRound(72 / 0.0254));
    layout.setOrientation(QPageLayout::Portrait);
    const QRectF upright = layout.paintRect(QPageLayout::Point);
    const Layout natural = makeLayout(job, &points, QRectF(0, 0, 1e9, upright.height()));
    qreal width = 0;
    for (qreal w : natural.widths)
        width += w;
    if (width > upright.width())
        layout.setOrientation(QPageLayout::Landscape);
    return layout;
}

int paintTable(const TablePrintJob& job, QPagedPaintDevice* device, QString* error) {
    if (!job.model) {
        *error = QStringLiteral("There is no table to print.");
        return 0;
    }
    QPainter p;
    if (!p.begin(device)) {
        *error = QStringLiteral("The printer or file cannot be painted on.");
        return 0;
    }
    const QRectF page = device->pageLayout().paintRectPixels(device->logicalDpiX());
    const QRectF area(0, 0, page.width(), page.height());
    const Layout l = makeLayout(job, device, area);
    const int rows = rowCountOf(job);
    const int pages = pagesFor(l, rows);
    const qreal pad = QFontMetricsF(l.font, device).averageCharWidth() * kCellPadding;
    const QColor normal(Qt::black);
    int row = 0;
    for (int pageNo = 1; pageNo <= pages; ++pageNo) {
        if (pageNo > 1)
            device->newPage();
        qreal y = 0;
        p.setPen(normal);
        p.setFont(l.titleFont);
        p.drawText(QRectF(0, y, area.width(), l.titleLine), Qt::AlignLeft | Qt::AlignVCenter,
                   job.title);
        p.setFont(l.font);
        p.drawText(QRectF(0, y, area.width(), l.titleLine), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("Page %1 of %2").arg(pageNo).arg(pages));
        y += l.titleLine;
        if (pageNo == 1 && !job.subtitle.isEmpty()) {
            p.drawText(QRectF(0, y, area.width(), l.line), Qt::AlignLeft | Qt::AlignVCenter,
                       job.subtitle);
            y += l.line * 1.5;
        }
        p.setFont(l.bold);
        qreal x = 0;
        for (size_t i = 0; i < job.columns.size(); ++i) {
            const int c = job.columns[i];
            const QVariant a = job.model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole);
            drawCell(
                p, QRectF(x, y, l.widths[i], l.line), headerText(job, c),
                a.isValid() ? Qt::Alignment(a.toInt()) & Qt::AlignHorizontal_Mask : Qt::AlignLeft,
                l.bold, pad);
            x += l.widths[i];
        }
        y += l.line;
        p.drawLine(QPointF(0, y), QPointF(x, y));
        y += l.line * 0.3;
        const int count = pageNo == 1 ? l.rowsFirst : l.rowsOther;
        for (int k = 0; k < count && row < rows; ++k, ++row) {
            x = 0;
            for (size_t i = 0; i < job.columns.size(); ++i) {
                const QModelIndex ix = job.model->index(modelRow(job, row), job.columns[i]);
                const QVariant fg = ix.data(Qt::ForegroundRole);
                const QVariant font = ix.data(Qt::FontRole);
                const QVariant align = ix.data(Qt::TextAlignmentRole);
                QFont f = l.font;
                if (font.isValid() && qvariant_cast<QFont>(font).bold())
                    f = l.bold;
                p.setFont(f);
                p.setPen(fg.isValid() ? qvariant_cast<QBrush>(fg).color() : normal);
                drawCell(p, QRectF(x, y, l.widths[i], l.line), ix.data(Qt::DisplayRole).toString(),
                         align.isValid() ? Qt::Alignment(align.toInt()) & Qt::AlignHorizontal_Mask
                                         : Qt::AlignLeft,
                         f, pad);
                x += l.widths[i];
            }
            y += l.line;
        }
    }
    p.end();
    return pages;
}

bool writeTablePdf(const TablePrintJob& job, const QString& path, QString* error) {
    OutputFile file(path);
    auto cannot = [&](const QString& reason) {
        *error = QStringLiteral("The file %1 cannot be written: %2")
                     .arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    if (!file.open())
        return cannot(file.errorString());
    {
        QPdfWriter pdf(file.device());
        pdf.setPageLayout(tablePageLayout(job));
        pdf.setResolution(300);
        pdf.setTitle(job.title);
        pdf.setCreator(QStringLiteral("Velmora"));
        if (paintTable(job, &pdf, error) == 0)
            return false;  // the file is given up, as it was
    }
    if (!file.commit())
        return cannot(file.errorString());
    return true;
}

}  // namespace velmora::exporting
