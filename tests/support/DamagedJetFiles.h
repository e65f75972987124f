#pragma once

#include "support/JetFixtures.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

// Jet files damaged in the ways that took the reader down, made from the public test files.
namespace velmora::testing {

inline QByteArray jetFixtureBytes(const char* name) {
    QFile f(jetFixture(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// nwind.mdb with a table definition (page 449) that claims 65,535 columns: mdbtools reads
// none of them. Empty when the test file is not there.
inline QByteArray jetWithDamagedTableDefinition() {
    QByteArray bytes = jetFixtureBytes("nwind.mdb");
    constexpr qsizetype kAt = 449 * 2048 + 25;
    if (bytes.size() < kAt + 2)
        return {};
    qToLittleEndian<quint16>(0xffff, bytes.data() + kAt);
    return bytes;
}

// ASampleDatabase.accdb cut short after 107 pages: mdbtools reads the missing pages' property
// lists as endless records and never returns. Empty when the test file is not there.
inline QByteArray jetCutShortSoThatMdbtoolsLoops() {
    return jetFixtureBytes("ASampleDatabase.accdb").left(438272);
}

}  // namespace velmora::testing
