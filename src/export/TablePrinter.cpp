#include "TablePrinter.h"

#include "OutputFile.h"
#include "TablePages.h"

#include <QDir>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

namespace velmora::exporting {

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
    if (!fitsAcross(job, &points, layout.paintRect(QPageLayout::Point).width()))
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
    const int pages = flowTables(job, device, &p, area);
    p.end();
    return pages;
}

data::MaybeFailure writeTablePdf(const TablePrintJob& job, const QString& path) {
    OutputFile file(path);
    auto cannot = [&](const QString& reason) {
        return data::Failure{data::err::DiskError,
                             QStringLiteral("The file %1 cannot be written: %2")
                                 .arg(QDir::toNativeSeparators(path), reason)};
    };
    if (!file.open())
        return cannot(file.errorString());
    {
        QPdfWriter pdf(file.device());
        pdf.setPageLayout(tablePageLayout(job));
        pdf.setResolution(300);
        pdf.setTitle(job.title);
        pdf.setCreator(QStringLiteral("Velmora"));
        QString error;
        if (paintTable(job, &pdf, &error) == 0)
            return data::Failure{data::err::DiskError, error};  // the file is given up, as it was
    }
    if (!file.commit())
        return cannot(file.errorString());
    return std::nullopt;
}

}  // namespace velmora::exporting
