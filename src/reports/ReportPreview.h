#pragma once

#include "ReportData.h"
#include "ReportJob.h"

#include <QString>

class QWidget;

namespace velmora::reports {

// Renders a report headless into a PDF file (replaced when it exists; left untouched when
// the report fails). False, with a clear message naming the file at fault, on failure.
bool renderReportToPdf(const ReportJob& job, const QString& pdfPath, QString* error);

// Writes a report already read into a PDF file.
bool writeReportPdf(const ReportModel& model, const QString& pdfPath, QString* error);

// Reads the report and opens a print preview window for it (zoom, pages, page set-up,
// print, and "Save as PDF"). The window is modeless and deletes itself when closed; the
// caller stays usable. False, with a message and nothing shown, when the report cannot be
// read.
bool showReportPreview(QWidget* parent, const ReportJob& job, QString* error);

}  // namespace velmora::reports
