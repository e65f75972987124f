#pragma once

#include "ReportData.h"
#include "ReportJob.h"

#include <QString>

class QWidget;

namespace velmora::reports {

// Renders a report headless into a PDF file (replaced when it exists; left untouched when
// the report fails). A failure, with a clear message naming the file at fault, otherwise.
[[nodiscard]] data::MaybeFailure renderReportToPdf(const ReportJob& job, const QString& pdfPath);

// Writes a report already read into a PDF file.
[[nodiscard]] data::MaybeFailure writeReportPdf(const ReportModel& model, const QString& pdfPath);

// Reads the report and opens a print preview window for it (zoom, pages, page set-up,
// print, and "Save as PDF"). The window is modeless and deletes itself when closed; the
// caller stays usable. A failure, with nothing shown, when the report cannot be read.
[[nodiscard]] data::MaybeFailure showReportPreview(QWidget* parent, const ReportJob& job);

}  // namespace velmora::reports
