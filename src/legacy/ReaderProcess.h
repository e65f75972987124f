#pragma once

#include "ReaderWire.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <optional>

namespace velmora::legacy {

// A Jet file read by a process of its own (the program velmora-jet-reader), so that
// mdbtools crashing, looping or running out of memory on a damaged file takes down that
// process only. The reader runs with a memory limit, its messages are thrown away, and each
// answer must come within a time limit and hold no more than the file can: otherwise the
// reader is ended and the file is told to be damaged (kDamagedJetFile).
class ReaderProcess {
  public:
    // Starts the reader on the file and waits for it to open it. Throws data::DbError: the
    // reader's own message when the file cannot be opened, a damaged-file error when it
    // crashes or hangs, or why the reader program cannot be started.
    // codePage: the code page of a Jet 3 file's text (an iconv name); empty: Windows-1252.
    explicit ReaderProcess(const QString& path, const QString& codePage = {});
    ~ReaderProcess();
    ReaderProcess(const ReaderProcess&) = delete;
    ReaderProcess& operator=(const ReaderProcess&) = delete;

    const QString& path() const { return path_; }
    const QString& formatName() const { return format_; }

    // Sends a request; its answers are read with receive(). A request sent while the rows of
    // a table are still coming reads the rest of them first, and throws them away. Each
    // request's answers together may hold only so much. Throws data::DbError.
    void send(wire::Writer request);
    // The next answer's content (its kind first), which must be of the expected kind.
    // Throws data::DbError: the reader's message when it could not read what was asked, a
    // damaged-file error when it crashed, hung or answered garbage (every later request
    // then fails the same way).
    QByteArray receive(wire::Kind expected);
    // Both at once.
    QByteArray ask(wire::Writer request, wire::Kind expected);

    // The rows of a table follow the request just sent, batch after batch, until the one
    // marked last (or a failure): the reader sends them without being asked again, so that
    // it reads the next batch while this program converts the one before.
    void rowsFollow() { rowsComing_ = true; }
    void rowsEnded() { rowsComing_ = false; }

    // Whether the reader was ended after a crash, hang or garbled answer.
    bool broken() const { return broken_.has_value(); }

    // A damaged-file error for an answer that was read but cannot be understood.
    [[noreturn]] void garbled();

  private:
    QByteArray readBytes(qint64 size);
    void skipRows();
    [[noreturn]] void fail(const QString& why);

    QString path_;
    QString format_;
    // Ends the reader: at the end of its requests, or killed when it does not end.
    void stop();

    QProcess process_;
    int seconds_ = 0;
    qint64 allowance_ = 0;  // what one request's answers may hold in all
    qint64 left_ = 0;       // what is left of it
    bool rowsComing_ = false;
    std::optional<data::DbError> broken_;
};

// The reader program: VELMORA_JET_READER when set, else velmora-jet-reader beside the
// running program (a build folder), else where the package installs it, seen from the
// folder of the running program (../libexec/velmora from /usr/bin).
QString jetReaderProgram();

// The longest wait for one answer of a reader, in seconds: VELMORA_JET_READER_TIMEOUT
// when it holds a number from 1 to 86400, else 30.
int jetReaderTimeoutSeconds();

}  // namespace velmora::legacy
