#pragma once

#include "TableSource.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// The messages between the program and the process that reads a Jet file for it. Each
// message is a frame: its length (4 bytes), a kind (1 byte) and its content. Numbers are in
// the machine's own byte order, as both ends run on the same machine; a text is its UTF-16
// code units, counted in bytes; a list is its count followed by its items.
namespace velmora::legacy::wire {

// What a message asks (to the reader) or answers (from it).
enum class Kind : std::uint8_t {
    // Requests.
    Tables = 'T',
    Queries = 'Q',
    Objects = 'O',
    Rows = 'R',  // a table's name: all its rows, in batches, the last one marked
    // Answers.
    Opened = 'F',  // the file's format name: the first answer, once the file is open
    Failed = 'E',  // a message for the user: what could not be read
    TableList = 't',
    QueryList = 'q',
    ObjectList = 'o',
    RowBatch = 'r',  // some rows, and whether they were the last
};

// The longest frame either side sends or takes: a frame's length is checked against it
// before anything is read.
inline constexpr std::uint32_t kLongestFrame = 1u << 30;

// Builds a frame: its length is filled in when the frame is taken.
class Writer {
  public:
    explicit Writer(Kind kind);
    // Empties the frame for a message of that kind, keeping the memory it had.
    void restart(Kind kind);
    void u8(std::uint8_t v);
    void u32(std::uint32_t v);
    void i32(std::int32_t v);
    void i64(std::int64_t v);
    void text(const QString& s);
    void bytes(const QByteArray& b);
    void value(const SourceValue& v);
    // Where the next value goes, and a value put at an earlier place: the header of a batch
    // of rows is known once its rows are written.
    qsizetype position() const { return data_.size(); }
    void putU8At(qsizetype at, std::uint8_t v);
    void putU32At(qsizetype at, std::uint32_t v);
    void putI64At(qsizetype at, std::int64_t v);
    // The whole frame, its length first.
    const QByteArray& frame();
    // The bytes of the frame so far.
    qsizetype size() const { return data_.size(); }

  private:
    QByteArray data_;
};

// Reads the content of a frame (without its length). Reading past its end, or a value that
// cannot be, marks the message as garbled: every read after that gives a neutral value.
class Reader {
  public:
    explicit Reader(const QByteArray& content);
    Kind kind() const { return kind_; }
    std::uint8_t u8();
    std::uint32_t u32();
    std::int32_t i32();
    std::int64_t i64();
    QString text();
    QByteArray bytes();
    SourceValue value();
    // A count of items each taking at least minimumItemSize bytes: garbled when the rest of
    // the message cannot hold that many.
    std::uint32_t count(qsizetype minimumItemSize);
    // Whether everything read was sound and the whole message was read.
    bool complete() const { return !garbled_ && at_ == data_.size(); }
    bool garbled() const { return garbled_; }
    // Marks the message as garbled: a value read from it cannot be.
    void markGarbled() { garbled_ = true; }

  private:
    const char* take(qsizetype n);

    QByteArray data_;
    qsizetype at_ = 1;
    Kind kind_ = Kind::Failed;
    bool garbled_ = false;
};

// The answers' contents. A batch of rows begins with whether it is the table's last and how
// many rows were passed over as damaged so far; its rows follow, read one at a time.
void writeTables(Writer& w, const std::vector<SourceTable>& tables);
void writeQueries(Writer& w, const std::vector<SourceQuery>& queries);
void writeObjects(Writer& w, const std::vector<SourceObject>& objects);
void writeRow(Writer& w, const std::vector<SourceValue>& row);

std::vector<SourceTable> readTables(Reader& r);
std::vector<SourceQuery> readQueries(Reader& r);
std::vector<SourceObject> readObjects(Reader& r);
std::vector<SourceValue> readRow(Reader& r);

// The length a frame's first four bytes give.
std::uint32_t frameLength(const char* lengthBytes);

}  // namespace velmora::legacy::wire
