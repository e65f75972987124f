#include "ReaderService.h"

#include "JetFile.h"
#include "MdbTableSource.h"
#include "ReaderWire.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace velmora::legacy {

namespace {

// Rows are answered in batches of this many, or fewer when they fill this many bytes: the
// program converts one batch while the next is read.
constexpr std::uint32_t kRowsPerBatch = 500;
constexpr qsizetype kBatchBytes = 1 << 20;
// A request is a word and at most a table's name.
constexpr std::uint32_t kLongestRequest = 1 << 16;

bool send(ByteChannel& channel, wire::Writer& w) {
    return channel.write(w.frame());
}

bool sendFailure(ByteChannel& channel, const data::DbError& e) {
    wire::Writer w(wire::Kind::Failed);
    w.i32(jetFileNumber(e));
    w.text(e.text());
    return send(channel, w);
}

data::DbError outOfMemory(const QString& name) {
    return damagedJetFileError(name, QStringLiteral("reading it needed more memory than a "
                                                    "reader may take"));
}

class Server {
  public:
    Server(TableSource& source, const QString& name, ByteChannel& channel)
        : source_(source), name_(name), channel_(channel) {}

    // Answers one request; false when there are no more or the answer cannot be written.
    bool answerNext() {
        char length[4];
        if (!channel_.read(length, 4))
            return false;
        const std::uint32_t n = wire::frameLength(length);
        if (n == 0 || n > kLongestRequest)
            return false;
        QByteArray content(static_cast<qsizetype>(n), Qt::Uninitialized);
        if (!channel_.read(content.data(), content.size()))
            return false;
        wire::Reader request(content);
        try {
            return answer(request);
        } catch (const data::DbError& e) {
            cursor_.reset();
            return sendFailure(channel_, e);
        } catch (const std::bad_alloc&) {
            cursor_.reset();
            return sendFailure(channel_, outOfMemory(name_));
        }
    }

  private:
    bool answer(wire::Reader& request) {
        switch (request.kind()) {
            case wire::Kind::Tables: {
                wire::Writer w(wire::Kind::TableList);
                wire::writeTables(w, source_.tables());
                return send(channel_, w);
            }
            case wire::Kind::Queries: {
                wire::Writer w(wire::Kind::QueryList);
                wire::writeQueries(w, source_.queries());
                return send(channel_, w);
            }
            case wire::Kind::Objects: {
                wire::Writer w(wire::Kind::ObjectList);
                wire::writeObjects(w, source_.otherObjects());
                return send(channel_, w);
            }
            case wire::Kind::Rows: {
                const QString table = request.text();
                if (!request.complete())
                    return false;
                cursor_.reset();
                cursor_ = source_.rows(table);
                bool last = false;
                while (!last) {
                    if (!sendRows(&last))
                        return false;
                }
                return true;
            }
            default:
                break;
        }
        return false;
    }

    bool sendRows(bool* last) {
        // One frame kept for every batch: its memory is taken once.
        wire::Writer& w = batch_;
        w.restart(wire::Kind::RowBatch);
        const qsizetype header = w.position();
        w.u8(0);
        w.i64(0);
        w.u32(0);
        std::uint32_t count = 0;
        std::vector<SourceValue> row;
        while (count < kRowsPerBatch && w.size() < kBatchBytes) {
            if (!cursor_->next(&row)) {
                *last = true;
                break;
            }
            wire::writeRow(w, row);
            ++count;
        }
        w.putU8At(header, *last ? 1 : 0);
        w.putI64At(header + 1, cursor_->unreadableRows());
        w.putU32At(header + 9, count);
        if (*last)
            cursor_.reset();
        return send(channel_, w);
    }

    TableSource& source_;
    QString name_;
    ByteChannel& channel_;
    std::unique_ptr<RowCursor> cursor_;
    wire::Writer batch_{wire::Kind::RowBatch};
};

}  // namespace

bool FdChannel::read(char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::read(in_, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

bool FdChannel::write(const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(out_, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

void serveTableSource(TableSource& source, const QString& name, ByteChannel& channel) {
    wire::Writer opened(wire::Kind::Opened);
    opened.text(source.formatName());
    if (!send(channel, opened))
        return;
    Server server(source, name, channel);
    while (server.answerNext()) {
    }
}

void serveJetFile(const QString& path, ByteChannel& channel) {
    std::unique_ptr<MdbTableSource> source;
    try {
        source = MdbTableSource::open(path);
    } catch (const data::DbError& e) {
        sendFailure(channel, e);
        return;
    } catch (const std::bad_alloc&) {
        sendFailure(channel, outOfMemory(path));
        return;
    }
    serveTableSource(*source, path, channel);
}

}  // namespace velmora::legacy
