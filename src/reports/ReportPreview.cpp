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
    if (const auto failure = writeReportPdf(model, path))
        QMessageBox::warning(parent, QStringLiteral("Save as PDF"), failure->text);
}

}  // namespace

data::MaybeFailure writeReportPdf(const ReportModel& model, const QString& pdfPath) {
    const QString shown = QDir::toNativeSeparators(pdfPath);
    if (pdfPath.trimmed().isEmpty())
        return data::Failure{data::err::InvalidPath,
                             QStringLiteral("No file was named for the PDF.")};
    exporting::OutputFile file(pdfPath);
    const auto cannot = [&](const QString& reason) {
        return data::Failure{
            data::err::DiskError,
            QStringLiteral("The PDF file %1 cannot be written: %2.").arg(shown, reason)};
    };
    if (!file.open())
        return cannot(file.errorString());
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
        // The painter's message ends with its own full stop.
        return data::Failure{
            data::err::DiskError,
            QStringLiteral("The PDF file %1 cannot be written: %2").arg(shown, paintError)};
    }
    if (!file.commit())
        return cannot(file.errorString());
    return std::nullopt;
}

data::MaybeFailure renderReportToPdf(const ReportJob& job, const QString& pdfPath) {
    ReportModel model;
    if (auto failure = loadReportModel(job, &model))
        return failure;
    return writeReportPdf(model, pdfPath);
}

data::MaybeFailure showReportPreview(QWidget* parent, const ReportJob& job) {
    auto model = std::make_shared<ReportModel>();
    if (auto failure = loadReportModel(job, model.get()))
        return failure;
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
    return std::nullopt;
}

}  // namespace velmora::reports
