// Damaged Jet files read as the reader process reads them for the programs: a public test
// file with some of its bytes changed, served request by request (the table list, the other
// objects, the stored queries, then every table's rows). Whatever the bytes, every answer is
// one the programs can read: a frame of the kind asked for, rows with a value for each
// column of their table, failures with a message; and the reader itself never crashes.
//
// The input: its first byte chooses the test file; then changes follow, each four bytes of
// where (counted around the file), one byte of how many bytes (1 to 16) and the bytes. The
// pages of the list of tables (the file's first three pages, the rows of MSysObjects) and the
// pages of long values, which hold its property lists, are never changed: on some damage
// there mdbtools loops without end, which the programs stop with the reader's time limit
// (tests/legacy) but which would stop the fuzzing here.
#include "FuzzChecks.h"
#include "legacy/ReaderService.h"
#include "legacy/ReaderWire.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <deque>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::legacy;
using velmora::fuzz::check;

namespace {

// A test file copied into a scratch folder, and which of its pages may change.
struct BaseFile {
    QString path;
    QByteArray bytes;
    qsizetype pageSize = 0;
    std::vector<bool> mayChange;
};

std::unique_ptr<QTemporaryDir> scratch;
std::vector<BaseFile> bases;

constexpr quint32 kCatalogTable = 2;  // the page of MSysObjects' definition
constexpr char kDataPage = 0x01;

void addBase(const char* name) {
    QFile f(QDir(QStringLiteral(VELMORA_JET_FIXTURES)).filePath(QString::fromUtf8(name)));
    if (!f.open(QIODevice::ReadOnly))
        return;
    BaseFile b;
    b.bytes = f.readAll();
    if (b.bytes.size() < 4096)
        return;
    b.pageSize = b.bytes[0x14] == 0 ? 2048 : 4096;
    const qsizetype pages = b.bytes.size() / b.pageSize;
    for (qsizetype p = 0; p < pages; ++p) {
        const char* page = b.bytes.constData() + p * b.pageSize;
        const bool longValues = page[0] == kDataPage && QByteArray(page + 4, 4) == "LVAL";
        const bool catalogRows =
            page[0] == kDataPage && qFromLittleEndian<quint32>(page + 4) == kCatalogTable;
        b.mayChange.push_back(p > 2 && !longValues && !catalogRows);
    }
    b.path = scratch->filePath(QStringLiteral("base%1.mdb").arg(bases.size()));
    QFile out(b.path);
    if (!out.open(QIODevice::WriteOnly) || out.write(b.bytes) != b.bytes.size())
        return;
    bases.push_back(std::move(b));
}

// Requests as the programs make them, and checks of each answer as the programs read it.
class ScriptedChannel final : public ByteChannel {
  public:
    ScriptedChannel() {
        ask(wire::Kind::Tables);
        ask(wire::Kind::Objects);
        ask(wire::Kind::Queries);
    }

    bool read(char* data, qsizetype size) override {
        while (at_ == current_.size()) {
            if (requests_.empty())
                return false;
            current_ = requests_.front();
            requests_.pop_front();
            at_ = 0;
        }
        check(size <= current_.size() - at_, "the reader reads a request in its parts");
        std::memcpy(data, current_.constData() + at_, static_cast<size_t>(size));
        at_ += size;
        return true;
    }

    bool write(const QByteArray& frame) override {
        check(frame.size() > 4, "an answer has a length and a kind");
        check(wire::frameLength(frame.constData()) == frame.size() - 4,
              "an answer's length is its size");
        wire::Reader r(frame.mid(4));
        if (!opened_) {
            opened_ = true;
            check(r.kind() == wire::Kind::Opened || r.kind() == wire::Kind::Failed,
                  "the first answer tells whether the file opened");
        }
        switch (r.kind()) {
            case wire::Kind::Opened:
                check(!r.text().isEmpty() && r.complete(), "an opened file has a format");
                break;
            case wire::Kind::Failed: {
                const int number = r.i32();
                const QString text = r.text();
                check(r.complete() && !text.trimmed().isEmpty(), "a failure has a message");
                check(number == 0 || number == static_cast<int>(kDamagedJetFile),
                      "a failure's number is Jet's", text);
                if (!columns_.empty())
                    columns_.pop_front();  // a failure ends a table's rows
                break;
            }
            case wire::Kind::TableList:
                for (const SourceTable& t : wire::readTables(r)) {
                    wire::Writer rows(wire::Kind::Rows);
                    rows.text(t.name);
                    requests_.push_back(rows.frame());
                    columns_.push_back(t.columns.size());
                }
                check(r.complete(), "a table list is read whole");
                break;
            case wire::Kind::ObjectList:
                wire::readObjects(r);
                check(r.complete(), "a list of objects is read whole");
                break;
            case wire::Kind::QueryList:
                wire::readQueries(r);
                check(r.complete(), "a list of queries is read whole");
                break;
            case wire::Kind::RowBatch: {
                check(!columns_.empty(), "rows come only for a table asked for");
                const bool last = r.u8() != 0;
                check(r.i64() >= 0, "the rows passed over are counted from 0");
                const std::uint32_t count = r.count(1);
                for (std::uint32_t i = 0; i < count; ++i)
                    check(wire::readRow(r).size() == columns_.front(),
                          "a row has a value for each column of its table");
                check(r.complete(), "a batch of rows is read whole");
                if (last)
                    columns_.pop_front();
                break;
            }
            default:
                fuzz::fail("an answer is of a kind the programs know");
        }
        return true;
    }

  private:
    void ask(wire::Kind kind) {
        wire::Writer w(kind);
        requests_.push_back(w.frame());
    }

    std::deque<QByteArray> requests_;
    QByteArray current_;
    qsizetype at_ = 0;
    std::deque<size_t> columns_;  // of the tables whose rows are asked for, in order
    bool opened_ = false;
};

// Writes bytes into the scratch copy at an offset.
void put(const QString& path, qsizetype at, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    if (::pwrite(fd, bytes.constData(), static_cast<size_t>(bytes.size()), at) < 0)
        fuzz::fail("the scratch copy of a test file can be written");
    ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    scratch = std::make_unique<QTemporaryDir>();
    // Small files of each format, so that a run reads many inputs.
    for (const char* name :
         {"DateTestDatabase.mdb", "more/ucanaccess_charsetGBK_a97.mdb",
          "more/jackcess_test2V1997.mdb", "more/jackcess_testEmoticonsV2010.accdb"})
        addBase(name);
    if (bases.empty())
        std::fprintf(stderr, "fuzz_jet_reader: no Jet test files in %s\n", VELMORA_JET_FIXTURES);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (bases.empty() || size == 0)
        return 0;
    const BaseFile& base = bases[data[0] % bases.size()];
    // The changes, each kept with the bytes it replaces.
    std::vector<std::pair<qsizetype, QByteArray>> changed;
    std::size_t at = 1;
    while (at + 5 <= size) {
        const qsizetype where = qFromLittleEndian<quint32>(data + at) % base.bytes.size();
        const qsizetype length = std::min<qsizetype>((data[at + 4] % 16) + 1, size - at - 5);
        at += 5;
        const QByteArray bytes(reinterpret_cast<const char*>(data + at), length);
        at += static_cast<std::size_t>(length);
        if (length == 0 || where + length > base.bytes.size() ||
            !base.mayChange[static_cast<size_t>(where / base.pageSize)] ||
            !base.mayChange[static_cast<size_t>((where + length - 1) / base.pageSize)])
            continue;
        changed.emplace_back(where, base.bytes.mid(where, length));
        put(base.path, where, bytes);
    }
    ScriptedChannel channel;
    serveJetFile(base.path, channel);
    for (auto it = changed.rbegin(); it != changed.rend(); ++it)
        put(base.path, it->first, it->second);
    return 0;
}
