#pragma once

#include <QStringList>

class QTextStream;

namespace velmora::reporttool {

// velmora-report [--forecast] --data FOLDER --reg REG --pdf OUT.pdf [--company NAME]
//                [--phone PHONE]
// Renders the actual report (FOLDER/1.rpt) or the forecast report (FOLDER/2.rpt) of one
// aircraft from FOLDER/Timemgr.mdb into a PDF file.
// velmora-report --llp --data FOLDER --reg REG [--pdf OUT.pdf | --csv OUT.csv] [--settings FILE]
// Writes the status of the aircraft's life-limited parts as PDF or CSV (CSV on out when
// neither file is named). Returns the exit status: 0 when the
// PDF was written, 1 with a message on err otherwise.
int runReportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

QString usageText();

}  // namespace velmora::reporttool
