#include "JournalChain.h"

#include "JournalLines.h"

#include "data/Database.h"
#include "data/Recordset.h"

namespace velmora::journal {

namespace dj = data::journal;

ChainWalker::ChainWalker(std::int64_t firstSeq, QByteArray previousHash)
    : previous_(std::move(previousHash)), expectedSeq_(firstSeq) {}

bool ChainWalker::step(const std::vector<data::Value>& r) {
    if (!problem_.isEmpty())
        return false;
    ++lines_;
    const std::int64_t seq = r[dj::Seq].toInt();
    if (seq != expectedSeq_) {
        atLine_ = seq;
        problem_ = seq > expectedSeq_
                       ? QStringLiteral(
                             "Journal lines %1 to %2 are missing: they were removed outside "
                             "Velmora.")
                             .arg(expectedSeq_)
                             .arg(seq - 1)
                       : QStringLiteral("Journal line %1 is out of order.").arg(seq);
        return false;
    }
    ++expectedSeq_;
    const QByteArrayView hash = hasher_.lineHash(previous_, r);
    const data::Value& stored = r[dj::Hash];
    if (stored.type() != data::Value::Type::Text ||
        QByteArrayView(stored.utf8().data(), static_cast<qsizetype>(stored.utf8().size())) !=
            hash) {
        atLine_ = seq;
        problem_ = QStringLiteral(
                       "Journal line %1 does not match its hash: it, or the line before it, "
                       "was changed or put in outside Velmora.")
                       .arg(seq);
        return false;
    }
    previous_ = hash.toByteArray();
    lastWritten_ = r[dj::ChangedAt];
    return true;
}

ChainPoint ChainWalker::last() const {
    ChainPoint p;
    p.seq = expectedSeq_ - 1;
    p.hash = QString::fromLatin1(previous_);
    p.at = QDateTime::fromString(lastWritten_.toString(), dj::kTimeFormat);
    p.at.setTimeSpec(Qt::UTC);
    if (previous_.isEmpty())
        p.seq = 0;
    return p;
}

ChainCheck checkChainSince(data::Database& mainDb, const std::optional<ChainPoint>& anchor) {
    ChainCheck out;
    const bool anchored = anchor && !anchor->isNull();
    if (!hasJournal(mainDb)) {
        if (anchored) {
            out.intact = false;
            out.atLine = anchor->seq;
            out.problem =
                QStringLiteral(
                    "The file has no entry journal, though it had one of %1 lines: it was removed "
                    "outside Velmora.")
                    .arg(anchor->seq);
        }
        return out;
    }
    std::int64_t from = 1;
    QByteArray previous;
    if (anchored) {
        const QString wrong = disagreement(mainDb, *anchor);
        if (!wrong.isEmpty()) {
            out.intact = false;
            out.atLine = anchor->seq;
            out.problem = QStringLiteral("Journal ") + wrong;
            return out;
        }
        from = anchor->seq;
        if (from > 1) {
            auto rs = mainDb.openRecordset(
                QStringLiteral("SELECT Hash FROM Journal WHERE Seq = ?1"), {data::Value(from - 1)});
            if (rs->hasCurrent())
                previous = rs->value(0).toString().toLatin1();
        }
    }
    ChainWalker walker(from, previous);
    mainDb.forEachRow(QStringLiteral("SELECT %1 FROM Journal WHERE Seq >= ?1 ORDER BY Seq")
                          .arg(lineColumns(mainDb)),
                      {data::Value(from)},
                      [&](const std::vector<data::Value>& r) { walker.step(r); });
    out.linesRead = walker.lines();
    out.intact = walker.intact();
    out.atLine = walker.atLine();
    out.problem = walker.problem();
    out.newest = walker.last();
    return out;
}

}  // namespace velmora::journal
