#include "JournalAnchors.h"

#include "JournalLines.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Journal.h"
#include "data/Recordset.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace velmora::journal {

namespace dj = data::journal;

namespace {

const QString kAnchorTable = QStringLiteral("JournalAnchors");

// The fewest digits of a hash that a typed anchor must give.
constexpr int kLeastDigits = 8;
// The digits a report prints.
constexpr int kPrintedDigits = 16;

QDateTime lineTime(const data::Value& v) {
    QDateTime t = QDateTime::fromString(v.toString(), dj::kTimeFormat);
    t.setTimeSpec(Qt::UTC);
    return t;
}

}  // namespace

ChainPoint newestLine(data::Database& mainDb) {
    ChainPoint p;
    if (!hasJournal(mainDb))
        return p;
    auto rs = mainDb.openRecordset(
        QStringLiteral("SELECT TOP 1 Seq, Hash, ChangedAt FROM Journal ORDER BY Seq DESC"));
    if (rs->hasCurrent()) {
        p.seq = rs->value(0).toInt();
        p.hash = rs->value(1).toString();
        p.at = lineTime(rs->value(2));
    }
    return p;
}

QString printedAnchor(const ChainPoint& point) {
    return QStringLiteral("line %1, %2").arg(point.seq).arg(point.hash.left(kPrintedDigits));
}

std::optional<ChainPoint> parseAnchor(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^\\s*(?:line\\s*)?(\\d+)\\s*[:,\\s]\\s*([0-9a-fA-F]+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    // Text copied out of a PDF may carry a ligature where the hash has "ff" (U+FB00).
    const QRegularExpressionMatch m = form.match(text.normalized(QString::NormalizationForm_KC));
    if (!m.hasMatch() || m.captured(2).size() < kLeastDigits || m.captured(2).size() > 64)
        return std::nullopt;
    ChainPoint p;
    bool ok = false;
    p.seq = m.captured(1).toLongLong(&ok);
    if (!ok || p.seq <= 0)
        return std::nullopt;
    p.hash = m.captured(2).toLower();
    return p;
}

QString disagreement(data::Database& mainDb, const ChainPoint& anchor) {
    const ChainPoint newest = newestLine(mainDb);
    if (newest.seq < anchor.seq)
        return QStringLiteral(
                   "line %1 is missing: the journal ends at line %2, so lines were removed from "
                   "its end outside Velmora.")
            .arg(anchor.seq)
            .arg(newest.seq);
    auto rs = mainDb.openRecordset(QStringLiteral("SELECT Hash FROM Journal WHERE Seq = ?1"),
                                   {data::Value(anchor.seq)});
    if (!rs->hasCurrent())
        return QStringLiteral(
                   "line %1 is missing from the journal: it was removed outside "
                   "Velmora.")
            .arg(anchor.seq);
    const QString hash = rs->value(0).toString();
    if (anchor.hash.isEmpty() || !hash.startsWith(anchor.hash, Qt::CaseInsensitive))
        return QStringLiteral(
                   "line %1 carries the hash %2, not %3: the journal was changed and its chain "
                   "hashed again outside Velmora.")
            .arg(anchor.seq)
            .arg(hash.left(kPrintedDigits), anchor.hash.left(kPrintedDigits));
    return {};
}

QString anchorKey(const QString& mainFile) {
    if (data::isServerLocation(mainFile))
        return mainFile;
    const QFileInfo info(data::resolvePathCaseInsensitive(mainFile));
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

std::optional<ChainPoint> settingsAnchor(data::Database& settingsDb, const QString& mainFile) {
    if (!settingsDb.hasTable(kAnchorTable))
        return std::nullopt;
    auto rs = settingsDb.openRecordset(
        QStringLiteral("SELECT Seq, Hash, LineWritten FROM JournalAnchors WHERE DataFile = ?1"),
        {data::Value(anchorKey(mainFile))});
    if (!rs->hasCurrent() || rs->value(0).isNull())
        return std::nullopt;
    ChainPoint p;
    p.seq = static_cast<std::int64_t>(rs->value(0).toDouble());
    p.hash = rs->value(1).toString();
    p.at = lineTime(rs->value(2));
    return p;
}

void storeSettingsAnchor(data::Database& settingsDb, const QString& mainFile,
                         const ChainPoint& point) {
    data::Transaction tx(settingsDb);
    if (!settingsDb.hasTable(kAnchorTable))
        settingsDb.execute(
            QStringLiteral("CREATE TABLE JournalAnchors (DataFile MEMO, Seq DOUBLE, Hash TEXT(64), "
                           "LineWritten TEXT(20), AnchoredAt TEXT(20))"));
    const std::vector<data::Value> values = {
        data::Value(static_cast<double>(point.seq)), data::Value(point.hash),
        point.at.isValid() ? data::Value(point.at.toUTC().toString(dj::kTimeFormat))
                           : data::Value(),
        data::Value(dj::now().toString(dj::kTimeFormat)), data::Value(anchorKey(mainFile))};
    if (settingsDb.execute(QStringLiteral("UPDATE JournalAnchors SET Seq = ?1, Hash = ?2, "
                                          "LineWritten = ?3, AnchoredAt = ?4 WHERE DataFile = ?5"),
                           values) == 0)
        settingsDb.execute(QStringLiteral("INSERT INTO JournalAnchors (Seq, Hash, LineWritten, "
                                          "AnchoredAt, DataFile) VALUES (?1, ?2, ?3, ?4, ?5)"),
                           values);
    tx.commit();
}

data::journal::AfterCommitHook anchorInSettings(const QString& settingsFile) {
    return [settingsFile](const QString& file, std::int64_t seq, const QByteArray& hash) {
        ChainPoint p;
        p.seq = seq;
        p.hash = QString::fromLatin1(hash);
        p.at = dj::now();
        storeSettingsAnchor(*data::Database::open(settingsFile), file, p);
    };
}

}  // namespace velmora::journal
