#pragma once

#include "data/Failure.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;

namespace velmora::exporting {

namespace detail {
class WholeWrites;
}

// A file that a list, table or report is written into, named by the user.
//
// A regular file, or a name not yet taken, is replaced only once the whole output has been
// written: through a temporary file in the same folder that takes its place at the end, so
// that a failure leaves the file as it was. A device, FIFO or terminal (/dev/null, a pipe,
// /dev/stdout) is written into directly and stays what it is. A symbolic link is followed
// to what it names, a link that names nothing yet too: the file it names is made in the
// same way, never written in place.
class OutputFile {
  public:
    explicit OutputFile(QString path);
    ~OutputFile();  // an output not committed is given up
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens the output for writing; false with the reason (errorString()) otherwise.
    bool open();
    // Where the output goes while open.
    QIODevice* device() const;
    // Ends the output: true when everything written is in place, else false with the
    // reason and a file to be replaced left as it was.
    bool commit();
    // Gives the output up: a file to be replaced stays as it was.
    void cancel();

    // Why the last step failed, as the system says it ("No space left on device").
    QString errorString() const { return error_; }

  private:
    bool fail(const QString& reason);

    QString path_;
    QString error_;
    std::unique_ptr<detail::WholeWrites> device_;
    bool replacing_ = false;  // a regular file replaced through a temporary file
};

// Writes bytes into an output file as OutputFile does. Otherwise a failure (err::DiskError)
// whose text is the reason, as the system says it.
[[nodiscard]] data::MaybeFailure writeOutputFile(const QString& path, const QByteArray& bytes);

}  // namespace velmora::exporting
