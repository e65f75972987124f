#pragma once

#include <QDate>
#include <QString>

namespace velmora::demo {

// What was written into the two data files.
struct DemoSummary {
    int aircraft = 0;
    int components = 0;
    int overdue = 0;
    int notInstalled = 0;
    int oilSamples = 0;
    int templateMakes = 0;
    int templateModels = 0;
    int templateRows = 0;
};

// Creates the main data file (Timemgr.mdb) and the template file (HeliPart.mdb) in an
// existing folder, empty or holding the demo fleet as of today. Each file's rows are
// written in one transaction. When anything fails, the files made so far are removed and
// the DbError is passed on.
DemoSummary createDemoFiles(const QString& folder, bool empty, const QDate& today);

}  // namespace velmora::demo
