#include "JetFile.h"

#include "TableSource.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace velmora::legacy {

namespace {

// Bytes 4 to 18 name the engine; byte 20 tells the format within it.
constexpr int kSignatureAt = 4;
constexpr int kVersionAt = 20;
// The catalog lives on the third page: a shorter file holds no tables at all.
constexpr int kMinimumPages = 3;

QString formatOf(bool ace, unsigned char version) {
    if (!ace && version == 0)
        return QStringLiteral("Jet 3");
    if (!ace && version == 1)
        return QStringLiteral("Jet 4");
    static const char* const kAce[] = {"ACE 12", "ACE 14", "ACE 15", "ACE 16", "ACE 17"};
    if (version >= 2 && version <= 6)
        return QString::fromLatin1(kAce[version - 2]);
    return QStringLiteral("Jet (format %1)").arg(version);
}

// Whether the path names a regular file (or a link to one). Opening a pipe would wait for
// a writer, and a device gives bytes without end: neither is ever opened.
bool isRegularFile(const QString& path) {
    struct stat sb {};
    return ::stat(QFile::encodeName(path).constData(), &sb) == 0 && S_ISREG(sb.st_mode);
}

bool isSqliteFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3", 16);
}

}  // namespace

JetFileHeader readJetHeader(const QString& path) {
    JetFileHeader h;
    if (!isRegularFile(path))
        return h;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return h;
    const QByteArray head = f.read(kVersionAt + 1);
    if (head.size() <= kVersionAt || !head.startsWith(QByteArray("\x00\x01\x00\x00", 4)))
        return h;
    const QByteArray signature = head.mid(kSignatureAt, 15);
    const bool jet = signature == "Standard Jet DB";
    const bool ace = signature == "Standard ACE DB";
    if (!jet && !ace)
        return h;
    const auto version = static_cast<unsigned char>(head[kVersionAt]);
    h.isJet = true;
    h.formatName = formatOf(ace, version);
    h.pageSize = version == 0 && jet ? 2048 : 4096;
    return h;
}

bool isJetFile(const QString& path) {
    return readJetHeader(path).isJet;
}

JetFileHeader checkJetFile(const QString& path) {
    const QFileInfo fi(path);
    if (!fi.exists())
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("Could not find the file %1.").arg(path));
    if (fi.isDir())
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("%1 is a folder, not a database file.").arg(path));
    if (!isRegularFile(path))
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("%1 is not a regular file (it is a device, a pipe or a "
                                           "socket): it cannot be read as a database file.")
                                .arg(path));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw data::DbError(
            data::err::JetFile,
            QStringLiteral("Cannot read the file %1: %2.").arg(path, f.errorString()));
    f.close();
    if (fi.size() == 0)
        throw data::DbError(
            data::err::JetFile,
            QStringLiteral("The file %1 is empty: it is not a Jet database.").arg(path));
    const JetFileHeader h = readJetHeader(path);
    if (!h.isJet && isSqliteFile(path))
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("The file %1 is a Velmora data file already: there is "
                                           "nothing to convert.")
                                .arg(path));
    if (!h.isJet)
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("The file %1 is not a database in the earlier Jet "
                                           "(Access .mdb) format.")
                                .arg(path));
    if (fi.size() % h.pageSize != 0)
        throw data::DbError(kDamagedJetFile,
                            QStringLiteral("The Jet database %1 is cut short (damaged): it ends "
                                           "in the middle of a page.")
                                .arg(path));
    if (fi.size() < qint64{kMinimumPages} * h.pageSize)
        throw data::DbError(kDamagedJetFile,
                            QStringLiteral("The Jet database %1 is cut short (damaged): it is too "
                                           "short to hold its list of tables.")
                                .arg(path));
    return h;
}

data::DbError damagedJetFileError(const QString& path, const QString& why) {
    return data::DbError(
        kDamagedJetFile,
        QStringLiteral("The Jet database %1 is damaged and cannot be converted: %2.")
            .arg(path, why));
}

data::DbError encryptedJetFileError(const QString& path) {
    return data::DbError(kEncryptedJetFile,
                         QStringLiteral("The Jet database %1 is encrypted with a password; open it "
                                        "in Access, remove the password, and convert it again.")
                             .arg(path));
}

}  // namespace velmora::legacy
