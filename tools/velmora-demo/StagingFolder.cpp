#include "StagingFolder.h"

#include "data/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <signal.h>

#include <cerrno>

namespace velmora::demo {

namespace {

const QString kPrefix = QStringLiteral(".velmora-demo-");

bool processRunning(qint64 pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

void removeStaleStagingFolders(const QString& folder) {
    const QFileInfoList entries = QDir(folder).entryInfoList(
        {kPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& e : entries) {
        // .velmora-demo-PID-RANDOM: the run of that process id.
        const QStringList parts = e.fileName().mid(kPrefix.size()).split(u'-');
        bool ok = false;
        const qint64 pid = parts.value(0).toLongLong(&ok);
        if (!ok || parts.size() != 2)
            continue;
        if (pid == QCoreApplication::applicationPid() || !processRunning(pid))
            QDir(e.absoluteFilePath()).removeRecursively();
    }
}

StagingFolder::StagingFolder(const QString& target) : target_(target) {
    const QFileInfo info(target);
    wholeFolder_ = !info.exists();
    const QString parent = wholeFolder_ ? info.absolutePath() : info.absoluteFilePath();
    if (!QDir().mkpath(parent)) {
        problem_ = QStringLiteral("cannot create the folder %1").arg(parent);
        return;
    }
    // What an earlier run that was killed left here goes first.
    removeStaleStagingFolders(parent);
    // Made with mkdir, so that it gets the permissions any new folder gets here.
    for (int attempt = 0; attempt < 20 && path_.isEmpty(); ++attempt) {
        const QString name = QStringLiteral(".velmora-demo-%1-%2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
        const QString candidate = QDir(parent).filePath(name);
        if (QDir().mkdir(candidate))
            path_ = candidate;
    }
    if (path_.isEmpty())
        problem_ = QStringLiteral("cannot create a working folder in %1").arg(parent);
}

StagingFolder::~StagingFolder() {
    if (!path_.isEmpty() && !moved_)
        QDir(path_).removeRecursively();
}

data::MaybeFailure StagingFolder::moveInto(const QStringList& optional,
                                           const QStringList& required) {
    if (wholeFolder_) {
        if (!QDir().rename(path_, target_))
            return data::Failure{data::err::DiskError,
                                 QStringLiteral("cannot move the new files into %1").arg(target_)};
        moved_ = true;
        return std::nullopt;
    }
    const QDir from(path_), to(target_);
    QStringList movedNames;
    data::MaybeFailure failure;
    auto move = [&](const QString& name) {
        if (QFile::rename(from.filePath(name), to.filePath(name)))
            movedNames << name;
        else
            failure = data::Failure{data::err::DiskError,
                                    QStringLiteral("cannot move %1 into %2").arg(name, target_)};
    };
    for (const QString& name : optional) {
        const QString there = data::resolvePathCaseInsensitive(to.filePath(name));
        if (!failure && from.exists(name) && !QFileInfo::exists(there))
            move(name);
    }
    for (const QString& name : required) {
        if (!failure)
            move(name);
    }
    if (failure) {
        // What was moved goes back, so that the folder is as it was.
        for (const QString& name : movedNames)
            QFile::rename(to.filePath(name), from.filePath(name));
    }
    return failure;
}

}  // namespace velmora::demo
