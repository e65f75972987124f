#pragma once

#include "support/TestFiles.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>

namespace velmora::testing {

// A data folder with Timemgr.mdb, the two default report definitions and a fleet whose
// remaining life is worked out by hand (see ReportTestData.cpp).
class ReportFolder {
  public:
    ReportFolder();
    QString path() const { return folder.path(); }
    QString mainFile() const { return main; }
    QString reportFile(const QString& name) const { return folder.file(name); }
    std::shared_ptr<data::Database> db;
    TestFolder folder;

    // Adds n installed components (items 100, 101, ...) to an aircraft.
    void addManyParts(const QString& reg, int n);

  private:
    QString main;
};

// The text of a PDF as pdftotext reads it (-layout); the pages from..to when given.
// Empty with a reason in *why when the tool is missing or fails.
QString pdfText(const QString& pdf, QString* why, int firstPage = 0, int lastPage = 0);
bool havePdfToText();

// The words of a text, split at blanks and line ends.
QStringList words(const QString& text);

// Today less or plus a number of months, as the engine stores dates.
QString isoMonthsFromToday(int months);

}  // namespace velmora::testing
