#pragma once

#include "data/Failure.h"

#include <QIODevice>
#include <QString>

namespace velmora::cli {

// A program's standard output as a device that tells when a write fails (a full disk,
// /dev/full, a closed pipe) and why. What is written goes out at once: a QTextStream on it
// buffers, and its flush() hands the text over.
class StandardOutput : public QIODevice {
  public:
    explicit StandardOutput(int descriptor = 1);

    bool isSequential() const override { return true; }
    // Whether a write failed, and the system's reason for the first that did.
    bool failed() const { return !failure_.isEmpty(); }
    QString failure() const { return failure_; }

  protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

  private:
    int descriptor_;
    QString failure_;
};

// Writes bytes to a file descriptor in full; otherwise a failure (err::DiskError) whose text
// is the system's reason.
[[nodiscard]] data::MaybeFailure writeFully(int descriptor, const char* data, qint64 size);

// The exit status of a program whose output is complete: its own status when all of it
// reached standard output; else 1, with "PROGRAM: the output could not be written in full:
// REASON." on standard error.
int outputStatus(const QString& program, const StandardOutput& out, int status);

// For a program that made its output as text: writes out to standard output and err to
// standard error, and returns the exit status as outputStatus() does.
int writeOutput(const QString& program, const QString& out, const QString& err, int status);

}  // namespace velmora::cli
