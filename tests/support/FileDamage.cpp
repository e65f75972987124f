#include "FileDamage.h"

#include "data/Database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace velmora::testing {

void addManyParts(const QString& mainFile, int count, const QString& reg) {
    auto db = data::Database::open(mainFile);
    data::Transaction tx(*db);
    for (int i = 0; i < count; ++i)
        db->executeBound(
            QStringLiteral("INSERT INTO Parts (RegNum, ItemNumber, Description) VALUES "
                           "(?1, ?2, ?3)"),
            {data::Value(reg), data::Value(i), data::Value(QString(200, u'x'))});
    tx.commit();
}

void damageLastPage(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadWrite))
        throw std::runtime_error("cannot open the file to damage");
    const qint64 size = f.size();
    if (size < 8 * 4096)
        throw std::runtime_error("the file is too small to damage one of its tables");
    f.seek(size - 4096);
    f.write(QByteArray(12, static_cast<char>(0xA5)));
}

namespace {

bool run(const QString& name, const QStringList& args, QString* why) {
    QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(
            name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (program.isEmpty()) {
        *why = QStringLiteral("%1 is not on this machine").arg(name);
        return false;
    }
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *why = QStringLiteral("%1 %2 failed: %3 %4")
                   .arg(name, args.join(u' '), p.errorString(),
                        QString::fromLocal8Bit(p.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}

}  // namespace

SmallFileSystem::SmallFileSystem(int megabytes) {
    if (::geteuid() != 0) {
        whyNot_ = QStringLiteral("mounting a small file system needs root");
        return;
    }
    const QString image = QDir(work_.path()).filePath(QStringLiteral("disk.img"));
    {
        QFile f(image);
        if (!f.open(QIODevice::WriteOnly) || !f.resize(qint64(megabytes) * 1024 * 1024)) {
            whyNot_ = QStringLiteral("cannot make the image file");
            return;
        }
    }
    if (!run(QStringLiteral("mkfs.ext4"), {QStringLiteral("-q"), QStringLiteral("-F"), image},
             &whyNot_))
        return;
    if (!run(QStringLiteral("mount"),
             {QStringLiteral("-o"), QStringLiteral("loop"), image, mountPoint_.path()}, &whyNot_))
        return;
    mounted_ = true;
}

SmallFileSystem::~SmallFileSystem() {
    if (mounted_) {
        QString why;
        run(QStringLiteral("umount"), {mountPoint_.path()}, &why);
    }
}

}  // namespace velmora::testing
