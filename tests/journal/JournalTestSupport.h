#pragma once

#include "data/Database.h"
#include "journal/JournalLines.h"

#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

namespace velmora::testing {

// Runs SQL on a file with the sqlite3 program: another program writing straight into it.
inline void sqlite3Program(const QString& file, const QString& sql) {
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, sql});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

inline std::vector<journal::JournalLine> allLines(data::Database& db) {
    return journal::readLines(db, {});
}

}  // namespace velmora::testing
