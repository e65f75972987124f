#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <gtest/gtest.h>

// The public Jet test files (nwind.mdb, DateTestDatabase.mdb, ASampleDatabase.accdb) are
// read from the folder the build names in VELMORA_JET_FIXTURES.
namespace velmora::testing {

inline QString jetFixture(const char* name) {
    const QString path =
        QDir(QStringLiteral(VELMORA_JET_FIXTURES)).filePath(QString::fromUtf8(name));
    return QFileInfo::exists(path) ? path : QString();
}

}  // namespace velmora::testing

// Declares `variable` as the path of a Jet test file, or skips the test with a message
// when the file is not there.
#define JET_FIXTURE_OR_SKIP(variable, name)                                              \
    const QString variable = ::velmora::testing::jetFixture(name);                       \
    if (variable.isEmpty())                                                              \
    GTEST_SKIP() << "The Jet test file " << (name) << " is not in " VELMORA_JET_FIXTURES \
                 << " (set VELMORA_JET_FIXTURES to the folder of the public Jet test files)"
