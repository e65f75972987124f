#include "GridExport.h"

#include "Dialogs.h"
#include "export/Csv.h"

#include <QDir>
#include <QHeaderView>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>

namespace velmora::screens {

namespace {

QString suggestedPath(const QString& name, const QString& extension) {
    QString file = name;
    file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9 _.-]")), QStringLiteral("_"));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder).filePath(file + extension);
}

std::optional<QString> askForFile(QWidget* parent, const QString& title, const QString& filter,
                                  const QString& initial) {
    FileSaveRequest request;
    request.title = title;
    request.filter = filter;
    request.initialFile = initial;
    return Dialogs::current().saveFile(parent, request);
}

}  // namespace

std::vector<int> shownColumns(const QTableView& view) {
    std::vector<int> columns;
    const QHeaderView* header = view.horizontalHeader();
    for (int visual = 0; view.model() && visual < view.model()->columnCount(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical >= 0 && !view.isColumnHidden(logical))
            columns.push_back(logical);
    }
    return columns;
}

void previewTable(QWidget* parent, const exporting::TablePrintJob& job) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(exporting::tablePageLayout(job));
    printer.setDocName(job.title);
    printer.setCreator(QStringLiteral("Velmora"));
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print Preview - ") + job.title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&job](QPrinter* target) {
                         QString ignored;
                         exporting::paintTable(job, target, &ignored);
                     });
    dialog.exec();
    reactivateWindow(parent);
}

bool saveTableAsCsv(QWidget* parent, const QAbstractItemModel& model,
                    const std::vector<int>& columns, const QString& suggestedName) {
    return saveCsvText(parent, exporting::tableToCsv(model, columns), suggestedName);
}

bool saveCsvText(QWidget* parent, const QByteArray& csv, const QString& suggestedName) {
    const QString title = QStringLiteral("Export CSV");
    const auto path = askForFile(parent, title, QStringLiteral("CSV files|*.csv|All|*.*"),
                                 suggestedPath(suggestedName, QStringLiteral(".csv")));
    if (!path)
        return false;
    if (const auto failure = exporting::writeCsvFile(*path, csv)) {
        msgBox(parent, failure->text, MsgButtons::Ok, MsgIcon::Exclamation, title);
        return false;
    }
    return true;
}

bool saveTableAsPdf(QWidget* parent, const exporting::TablePrintJob& job,
                    const QString& suggestedName) {
    const QString title = QStringLiteral("Export PDF");
    const auto path = askForFile(parent, title, QStringLiteral("PDF files|*.pdf|All|*.*"),
                                 suggestedPath(suggestedName, QStringLiteral(".pdf")));
    if (!path)
        return false;
    if (const auto failure = exporting::writeTablePdf(job, *path)) {
        msgBox(parent, failure->text, MsgButtons::Ok, MsgIcon::Exclamation, title);
        return false;
    }
    return true;
}

}  // namespace velmora::screens
