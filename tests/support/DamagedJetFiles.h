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

// nwind.mdb with a long value whose chain of pages comes back to its first page: the picture
// of the first category, which begins on page 25, row 0, points at itself there. Empty when
// the test file is not there.
inline QByteArray jetWithLongValueChainLoop() {
    QByteArray bytes = jetFixtureBytes("nwind.mdb");
    constexpr qsizetype kPage = 25 * 2048;
    if (bytes.size() < kPage + 2048)
        return {};
    // A Jet 3 page lists where its rows begin from byte 10 on.
    const qsizetype row =
        kPage + (qFromLittleEndian<quint16>(bytes.constData() + kPage + 10) & 0x1fff);
    qToLittleEndian<quint32>(25 * 256, bytes.data() + row);
    return bytes;
}

// DateTestDatabase.mdb with a row whose offsets put a text beyond the end of its page: the
// first row of page 20 ends in its variable columns' offsets, and the last of them is made
// 0xFFFF. Empty when the test file is not there.
inline QByteArray jetWithFieldBeyondItsPage() {
    QByteArray bytes = jetFixtureBytes("DateTestDatabase.mdb");
    constexpr qsizetype kAt = 20 * 4096 + 4091;
    if (bytes.size() < kAt + 3)
        return {};
    bytes.replace(kAt, 3, QByteArray("\xff\xff\x01", 3));
    return bytes;
}

// A copy of a test file whose header says its pages are encrypted: the encoding key (bytes
// 0x3E to 0x41 of the first page) made non-zero. Jet 4 and ACE keep that part of the header
// under a fixed RC4 stream, so flipping bits of the stored bytes flips the same bits of the
// key. Empty when the test file is not there.
inline QByteArray jetMarkedEncrypted(const char* name) {
    QByteArray bytes = jetFixtureBytes(name);
    constexpr qsizetype kEncodingKey = 0x3E;
    if (bytes.size() < kEncodingKey + 4)
        return {};
    bytes[kEncodingKey] = static_cast<char>(bytes[kEncodingKey] ^ 0x5A);
    bytes[kEncodingKey + 2] = static_cast<char>(bytes[kEncodingKey + 2] ^ 0x3C);
    return bytes;
}

}  // namespace velmora::testing
