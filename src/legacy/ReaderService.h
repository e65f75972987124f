#pragma once

#include "TableSource.h"

#include <QByteArray>
#include <QString>

namespace velmora::legacy {

// Where the reader takes its requests from and gives its answers to.
class ByteChannel {
  public:
    virtual ~ByteChannel() = default;
    // Reads exactly size bytes; false when the input ends first or cannot be read.
    virtual bool read(char* data, qsizetype size) = 0;
    // Writes all the bytes; false when they cannot be written.
    virtual bool write(const QByteArray& bytes) = 0;
};

// A channel on two file descriptors of the process (a pipe each way).
class FdChannel final : public ByteChannel {
  public:
    FdChannel(int in, int out) : in_(in), out_(out) {}
    bool read(char* data, qsizetype size) override;
    bool write(const QByteArray& bytes) override;

  private:
    int in_, out_;
};

// The reader's side of the conversation (see ReaderWire.h): answers "Opened" with the
// source's format, then each request in turn, until the requests end or the answers cannot
// be written. A failure to read answers "Failed" with its message (name names the source in
// messages of its own); the next request is answered as usual.
void serveTableSource(TableSource& source, const QString& name, ByteChannel& channel);

// Opens a Jet file and serves it; a file that cannot be opened is answered "Failed" with
// why. What a reader process runs.
void serveJetFile(const QString& path, ByteChannel& channel);

}  // namespace velmora::legacy
