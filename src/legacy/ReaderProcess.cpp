#include "ReaderProcess.h"
#include "ReaderProcessSource.h"

#include "JetFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace velmora::legacy {

namespace {

constexpr int kDefaultSeconds = 30;
constexpr int kLongestSeconds = 24 * 3600;
// The reader's address space: mdbtools and the file's largest value (a memo of at most
// 256 MB, then its text twice over) fit well within it.
constexpr rlim_t kReaderMemory = rlim_t{3} << 30;
// What the answers to one request may hold: a value takes a few times the bytes it takes in
// the file at most (a Yes/No column one bit there), so more than this is no data of the file.
constexpr qint64 kBytesPerFileByte = 64;
constexpr qint64 kBytesBeyondFile = qint64{64} << 20;

// Sanitizers reserve far more address space than a limit on it would let them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kLimitMemory = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
constexpr bool kLimitMemory = false;
#else
constexpr bool kLimitMemory = true;
#endif
#else
constexpr bool kLimitMemory = true;
#endif

// Runs in the reader's process between fork and exec: system calls only.
void limitReader() {
    if (kLimitMemory) {
        const rlimit memory{kReaderMemory, kReaderMemory};
        ::setrlimit(RLIMIT_AS, &memory);
    }
    const rlimit noCore{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCore);
    // A reader whose program is killed ends with it, even in the middle of a loop.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
}

}  // namespace

QString jetReaderProgram() {
    const QString name = QStringLiteral("velmora-jet-reader");
    const QString set = qEnvironmentVariable("VELMORA_JET_READER");
    if (!set.isEmpty())
        return set;
    const QDir folder =
        QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absoluteDir();
    const QString beside = folder.filePath(name);
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QDir::cleanPath(folder.filePath(QStringLiteral(VELMORA_READER_FROM_BINDIR "/") + name));
}

int jetReaderTimeoutSeconds() {
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("VELMORA_JET_READER_TIMEOUT", &ok);
    return ok && seconds >= 1 && seconds <= kLongestSeconds ? seconds : kDefaultSeconds;
}

ReaderProcess::ReaderProcess(const QString& path, const QString& codePage)
    : path_(path), seconds_(jetReaderTimeoutSeconds()) {
    allowance_ = QFileInfo(path).size() * kBytesPerFileByte + kBytesBeyondFile;
    left_ = allowance_;
    const QString program = jetReaderProgram();
    process_.setProgram(program);
    process_.setArguments({path});
    process_.setStandardErrorFile(QProcess::nullDevice());
    // mdbtools reads a Jet 3 file's text in the code page this variable names.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MDB_JET3_CHARSET"), jet3CodePage(codePage));
    process_.setProcessEnvironment(environment);
    process_.setChildProcessModifier(limitReader);
    process_.start();
    if (!process_.waitForStarted(seconds_ * 1000)) {
        const QString why = process_.errorString();
        process_.kill();
        process_.waitForFinished(1000);
        throw data::DbError(data::err::JetFile,
                            QStringLiteral("The Jet database %1 cannot be read: the program that "
                                           "reads Jet files, %2, cannot be started (%3).")
                                .arg(path, program, why));
    }
    // A constructor that throws runs no destructor: the reader that refused the file (or
    // answered garbage) is ended here, not left to QProcess's complaint on standard error.
    try {
        wire::Reader opened(receive(wire::Kind::Opened));
        format_ = opened.text();
        if (!opened.complete())
            garbled();
    } catch (...) {
        stop();
        throw;
    }
}

ReaderProcess::~ReaderProcess() {
    stop();
}

void ReaderProcess::stop() {
    if (process_.state() == QProcess::NotRunning)
        return;
    // The end of its requests ends the reader; one that does not end is stopped.
    process_.closeWriteChannel();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

void ReaderProcess::send(wire::Writer request) {
    if (broken_)
        throw *broken_;
    skipRows();
    left_ = allowance_;
    const QByteArray frame = request.frame();
    if (process_.write(frame) != frame.size() ||
        (process_.bytesToWrite() > 0 && !process_.waitForBytesWritten(seconds_ * 1000)))
        fail(QStringLiteral("reading it stopped taking requests"));
}

QByteArray ReaderProcess::ask(wire::Writer request, wire::Kind expected) {
    send(std::move(request));
    return receive(expected);
}

QByteArray ReaderProcess::receive(wire::Kind expected) {
    if (broken_)
        throw *broken_;
    const QByteArray length = readBytes(4);
    const std::uint32_t size = wire::frameLength(length.constData());
    if (size == 0 || size > wire::kLongestFrame)
        garbled();
    if (static_cast<qint64>(size) > left_)
        fail(QStringLiteral("reading it gave more data than a file of its size can hold"));
    left_ -= size;
    const QByteArray content = readBytes(size);
    const auto kind = static_cast<wire::Kind>(static_cast<std::uint8_t>(content[0]));
    if (kind == wire::Kind::Failed) {
        // A failure ends the rows of a table too.
        rowsComing_ = false;
        wire::Reader r(content);
        const int number = r.i32();
        const QString text = r.text();
        if (!r.complete() || text.isEmpty())
            garbled();
        throw jetFileFailure(number, text);
    }
    if (kind != expected)
        garbled();
    return content;
}

void ReaderProcess::skipRows() {
    while (rowsComing_) {
        try {
            wire::Reader batch(receive(wire::Kind::RowBatch));
            const std::uint8_t last = batch.u8();
            if (batch.garbled())
                garbled();
            if (last)
                rowsComing_ = false;
        } catch (const data::DbError&) {
            if (broken_)
                throw;
        }
    }
}

QByteArray ReaderProcess::readBytes(qint64 size) {
    const QDeadlineTimer deadline{std::chrono::seconds(seconds_)};
    while (process_.bytesAvailable() < size) {
        if (process_.state() == QProcess::NotRunning)
            fail(process_.exitStatus() == QProcess::CrashExit
                     ? QStringLiteral("reading it crashed")
                     : QStringLiteral("reading it ended without an answer"));
        if (deadline.hasExpired())
            fail(QStringLiteral("reading it did not finish within %1 seconds").arg(seconds_));
        process_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    }
    return process_.read(size);
}

void ReaderProcess::garbled() {
    fail(QStringLiteral("reading it gave data that cannot be understood"));
}

void ReaderProcess::fail(const QString& why) {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(2000);
    }
    broken_ = damagedJetFileError(path_, why);
    throw *broken_;
}

}  // namespace velmora::legacy
