#include "OutputFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <pthread.h>
#include <sys/stat.h>

namespace velmora::exporting {

namespace {

// As many links in a row as the system itself follows before it gives up.
constexpr int kMostLinks = 40;

QString systemError(int number) {
    return QString::fromLocal8Bit(std::strerror(number));
}

// What an output path leads to, and so how it is written.
struct Target {
    enum class Kind { Replace, Direct, Refused };
    Kind kind = Kind::Refused;
    QString path;    // the file to replace, or what to write into directly
    QString reason;  // why it is refused
};

Target refused(const QString& reason) {
    return {Target::Kind::Refused, {}, reason};
}

// A name that nothing is at: a new file, or a symbolic link (a chain of them) to a name not
// yet taken, which is then the file to make.
Target newFile(const QString& path) {
    QString name = path;
    for (int links = 0;; ++links) {
        struct stat st;
        if (::lstat(QFile::encodeName(name).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return {Target::Kind::Replace, name, {}};
        if (links == kMostLinks)
            return refused(systemError(ELOOP));
        name = QFileInfo(name).symLinkTarget();
    }
}

Target targetOf(const QString& path) {
    if (path.trimmed().isEmpty())
        return refused(QStringLiteral("no file was named"));
    struct stat st;
    // stat follows every link, also those of /proc and /dev/fd that name a pipe.
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        const int number = errno;
        return number == ENOENT ? newFile(path) : refused(systemError(number));
    }
    if (S_ISREG(st.st_mode)) {
        const QString real = QFileInfo(path).canonicalFilePath();
        return {Target::Kind::Replace, real.isEmpty() ? path : real, {}};
    }
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) || S_ISFIFO(st.st_mode))
        return {Target::Kind::Direct, path, {}};
    if (S_ISDIR(st.st_mode))
        return refused(QStringLiteral("it is a folder"));
    return refused(QStringLiteral("it is neither a file nor a device that can be written to"));
}

// A pipe whose reader has gone raises SIGPIPE at the next write, and that signal ends the
// program. While an output is written the signal is held back, so that the write fails
// with EPIPE ("Broken pipe") and is told like any other failure; one the write raised is
// taken back before the signal mask is restored.
class BrokenPipeHeld {
  public:
    BrokenPipeHeld() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        alreadyPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    ~BrokenPipeHeld() {
        sigset_t pending;
        sigpending(&pending);
        if (!alreadyPending_ && sigismember(&pending, SIGPIPE) == 1) {
            const timespec now{0, 0};
            sigtimedwait(&pipe_, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    BrokenPipeHeld(const BrokenPipeHeld&) = delete;
    BrokenPipeHeld& operator=(const BrokenPipeHeld&) = delete;

  private:
    sigset_t pipe_;
    sigset_t previous_;
    bool alreadyPending_ = false;
};

}  // namespace

namespace detail {

// What is written for the output goes through here to the file: a file system writes as much
// as it has room for and says nothing of the rest, so what is left is written again until
// the file takes it or refuses with its reason (a full disk).
class WholeWrites : public QIODevice {
  public:
    explicit WholeWrites(std::unique_ptr<QFileDevice> file) : file_(std::move(file)) {
        QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    QFileDevice* file() const { return file_.get(); }
    bool failed() const { return !failure_.isEmpty(); }
    QString failure() const { return failure_; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (failed())
            return -1;
        const BrokenPipeHeld held;
        qint64 done = 0;
        while (done < size) {
            const qint64 n = file_->write(data + done, size - done);
            if (n <= 0) {
                failure_ = file_->errorString();
                if (failure_.isEmpty())
                    failure_ = systemError(EIO);
                setErrorString(failure_);
                return -1;
            }
            done += n;
        }
        return size;
    }

  private:
    std::unique_ptr<QFileDevice> file_;
    QString failure_;
};

}  // namespace detail

using detail::WholeWrites;

OutputFile::OutputFile(QString path) : path_(std::move(path)) {}

OutputFile::~OutputFile() {
    cancel();
}

bool OutputFile::fail(const QString& reason) {
    error_ = reason.isEmpty() ? systemError(EIO) : reason;
    cancel();
    return false;
}

bool OutputFile::open() {
    cancel();
    error_.clear();
    const Target target = targetOf(path_);
    std::unique_ptr<QFileDevice> file;
    switch (target.kind) {
        case Target::Kind::Refused:
            return fail(target.reason);
        case Target::Kind::Replace:
            replacing_ = true;
            file = std::make_unique<QSaveFile>(target.path);
            break;
        case Target::Kind::Direct:
            replacing_ = false;
            file = std::make_unique<QFile>(target.path);
            break;
    }
    // Unbuffered: each write reaches the file at once, and its failure is seen.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file->errorString());
    device_ = std::make_unique<WholeWrites>(std::move(file));
    return true;
}

QIODevice* OutputFile::device() const {
    return device_.get();
}

bool OutputFile::commit() {
    if (!device_)
        return fail(error_.isEmpty() ? QStringLiteral("the file is not open") : error_);
    if (device_->failed())
        return fail(device_->failure());
    // A write that failed on the way is told by its own reason, taken before the file is
    // closed: the reason is forgotten with the file.
    QFileDevice* file = device_->file();
    if (file->error() != QFileDevice::NoError || !file->flush())
        return fail(file->errorString());
    if (replacing_) {
        auto* save = static_cast<QSaveFile*>(file);
        if (!save->commit())
            return fail(save->errorString());
    } else {
        file->close();
        if (file->error() != QFileDevice::NoError)
            return fail(file->errorString());
    }
    device_.reset();
    return true;
}

void OutputFile::cancel() {
    if (!device_)
        return;
    if (replacing_)
        static_cast<QSaveFile*>(device_->file())->cancelWriting();
    device_.reset();
}

data::MaybeFailure writeOutputFile(const QString& path, const QByteArray& bytes) {
    OutputFile out(path);
    if (out.open()) {
        out.device()->write(bytes);  // a write that fails is told by commit()
        if (out.commit())
            return std::nullopt;
    }
    return data::Failure{data::err::DiskError, out.errorString()};
}

}  // namespace velmora::exporting
