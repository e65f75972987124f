#include "ReportPreview.h"

#include "ReportRenderer.h"
#include "export/OutputFile.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QToolBar>

#include <memory>

namespace velmora::reports {

namespace {

QString documentTitle(const ReportModel& model) {
    const QString reg = model.values.value(QStringLiteral("regnum"));
    return reg.isEmpty() ? model.definition.title : model.definition.title + u' ' + reg;
}

// Asks where to save the report on show and writes it there.
void saveAsPdf(QWidget* parent, const ReportModel& model) {
    const QString reg = model.values.value(QStringLiteral("regnum"));
    QString suggested = model.definition.title + (reg.isEmpty() ? QString() : u' ' + reg);
    suggested.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9 _.-]")), QStringLiteral("_"));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save as PDF"),
                                                      QDir(folder).filePath(suggested + ".pdf"),
                                                      QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!writeReportPdf(model, path, &error))
        QMessageBox::warning(parent, QStringLiteral("Save as PDF"), error);
}

}  // namespace

bool writeReportPdf(const ReportModel& model, const QString& pdfPath, QString* error) {
    const QString shown = QDir::toNativeSeparators(pdfPath);
    if (pdfPath.trimmed().isEmpty()) {
        if (error)
            *error = QStringLiteral("No file was named for the PDF.");
        return false;
    }
    exporting::OutputFile file(pdfPath);
    if (!file.open()) {
        if (error)
            *error = QStringLiteral("The PDF file %1 cannot be written: %2.")
                         .arg(shown, file.errorString());
        return false;
    }
    QString paintError;
    int pages = 0;
    {
        QPdfWriter writer(file.device());
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("Velmora"));
        writer.setTitle(documentTitle(model));
        writer.setPageLayout(reportPageLayout(model.definition));
        pages = paintReport(model, &writer, &paintError);
    }
    if (pages == 0) {
        file.cancel();
        if (error)
            *error = QStringLiteral("The PDF file %1 cannot be written: %2").arg(shown, paintError);
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("The PDF file %1 cannot be written: %2.")
                         .arg(shown, file.errorString());
        return false;
    }
    return true;
}

bool renderReportToPdf(const ReportJob& job, const QString& pdfPath, QString* error) {
    ReportModel model;
    if (!loadReportModel(job, &model, error))
        return false;
    return writeReportPdf(model, pdfPath, error);
}

bool showReportPreview(QWidget* parent, const ReportJob& job, QString* error) {
    auto model = std::make_shared<ReportModel>();
    if (!loadReportModel(job, model.get(), error))
        return false;
    // The printer outlives the window that shows it: it goes when the window has gone.
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageLayout(reportPageLayout(model->definition));
    printer->setDocName(documentTitle(*model));
    printer->setCreator(QStringLiteral("Velmora"));
    auto* dialog = new QPrintPreviewDialog(printer, parent);
    QObject::connect(dialog, &QObject::destroyed, [printer] { delete printer; });
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::NonModal);
    dialog->setWindowTitle(QStringLiteral("Print Preview - ") + documentTitle(*model));
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [model](QPrinter* target) {
                         QString ignored;
                         paintReport(*model, target, &ignored);
                     });
    if (auto* bar = dialog->findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* save = bar->addAction(QStringLiteral("Save as PDF"));
        save->setObjectName(QStringLiteral("saveAsPdf"));
        save->setToolTip(QStringLiteral("Save the report as a PDF file"));
        QObject::connect(save, &QAction::triggered, dialog,
                         [dialog, model] { saveAsPdf(dialog, *model); });
    }
    dialog->show();
    return true;
}

}  // namespace velmora::reports
