#include "StandardOutput.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace velmora::cli {

namespace {

void writeError(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    // Standard error is where a failure would be told: one there has nowhere to go.
    (void)writeFully(STDERR_FILENO, bytes.constData(), bytes.size());
}

int failedOutput(const QString& program, const QString& reason) {
    writeError(
        QStringLiteral("%1: the output could not be written in full: %2.\n").arg(program, reason));
    return 1;
}

}  // namespace

data::MaybeFailure writeFully(int descriptor, const char* data, qint64 size) {
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::write(descriptor, data + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return data::Failure{data::err::DiskError,
                                 QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO))};
        done += n;
    }
    return std::nullopt;
}

StandardOutput::StandardOutput(int descriptor) : descriptor_(descriptor) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 StandardOutput::readData(char*, qint64) {
    return -1;
}

qint64 StandardOutput::writeData(const char* data, qint64 size) {
    // After a failure nothing more goes out: the output is incomplete either way.
    if (failed())
        return -1;
    if (const auto failure = writeFully(descriptor_, data, size)) {
        failure_ = failure->text;
        setErrorString(failure->text);
        return -1;
    }
    return size;
}

int outputStatus(const QString& program, const StandardOutput& out, int status) {
    return out.failed() ? failedOutput(program, out.failure()) : status;
}

int writeOutput(const QString& program, const QString& out, const QString& err, int status) {
    const QByteArray o = out.toUtf8(), e = err.toUtf8();
    const auto failure = writeFully(STDOUT_FILENO, o.constData(), o.size());
    writeError(err);
    return failure ? failedOutput(program, failure->text) : status;
}

}  // namespace velmora::cli
