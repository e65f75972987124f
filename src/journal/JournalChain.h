#pragma once

#include "JournalAnchors.h"

#include "data/Journal.h"
#include "data/Value.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace velmora::data {
class Database;
}

namespace velmora::journal {

// Follows the hash chain line by line: each line must come in its turn and carry the hash
// of the line before it and its own fields. The first fault stops it.
class ChainWalker {
  public:
    // From the first line of the journal, or from a line on (previousHash: the stored hash
    // of the line before it).
    explicit ChainWalker(std::int64_t firstSeq = 1, QByteArray previousHash = {});

    // Checks one line, given as its columns in data::journal::Column order. False once a
    // line is at fault (this one or an earlier one).
    bool step(const std::vector<data::Value>& line);

    bool intact() const { return problem_.isEmpty(); }
    std::int64_t atLine() const { return atLine_; }
    const QString& problem() const { return problem_; }
    std::int64_t lines() const { return lines_; }
    // The last line found good.
    ChainPoint last() const;

  private:
    data::journal::LineHasher hasher_;
    QByteArray previous_;
    std::int64_t expectedSeq_;
    std::int64_t lines_ = 0;
    std::int64_t atLine_ = 0;
    QString problem_;
    data::Value lastWritten_;  // when the last good line was written
};

// What the check of the chain since an anchor found.
struct ChainCheck {
    bool intact = true;
    std::int64_t linesRead = 0;
    std::int64_t atLine = 0;  // the first line at fault
    QString problem;
    ChainPoint newest;  // the newest line found good: the next anchor
};

// Checks the chain from an anchor on, reading only the anchor's line and the lines after it:
// the anchor's line must still be there with its hash, and every later line must follow
// from the one before. Without an anchor the whole chain is walked. A file without a journal
// passes with no newest line, unless an anchor says it had one. Throws data::DbError when the
// file cannot be read.
ChainCheck checkChainSince(data::Database& mainDb, const std::optional<ChainPoint>& anchor);

}  // namespace velmora::journal
