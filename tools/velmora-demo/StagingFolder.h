#pragma once

#include "data/Failure.h"

#include <QString>
#include <QStringList>

namespace velmora::demo {

// A hidden folder in which files are made before they are moved into their folder, so that
// a run that is interrupted (killed, out of disk) leaves no half-made files where a later
// run or the program would find them. It lies beside the target folder when that does not
// exist yet (the whole folder then moves into place at once), else inside it; both are on
// the target's file system, where a move is a rename. Removed with what it holds unless
// its files were moved; one that a killed run left there is removed by the next run.
class StagingFolder {
  public:
    explicit StagingFolder(const QString& target);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // Empty when the folder was made; else why not.
    const QString& problem() const { return problem_; }
    const QString& path() const { return path_; }

    // Moves the files into the target, in this order: each name of `optional` only when the
    // target lacks it (a file already there is kept), then each of `required`, which the
    // target must lack. A failure (err::DiskError) with a message when a move fails; the
    // files moved so far then go back.
    [[nodiscard]] data::MaybeFailure moveInto(const QStringList& optional,
                                              const QStringList& required);

  private:
    QString target_;
    QString path_;
    QString problem_;
    bool wholeFolder_ = false;  // the target did not exist: the folder itself is moved
    bool moved_ = false;
};

// Removes the working folders of runs that were killed: those in the folder whose process
// is no longer running (or is this one, a process of the same id that ended long ago).
void removeStaleStagingFolders(const QString& folder);

}  // namespace velmora::demo
