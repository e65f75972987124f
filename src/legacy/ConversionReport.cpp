#include "ConversionReport.h"

namespace velmora::legacy {

void ConversionReport::addValueProblem(ValueProblem problem) {
    ++valueCount_;
    if (static_cast<int>(values_.size()) < kListedValues)
        values_.push_back(std::move(problem));
}

void ConversionReport::addTextFinding(ValueProblem finding) {
    ++textCount_;
    if (static_cast<int>(texts_.size()) < kListedValues)
        texts_.push_back(std::move(finding));
}

void ConversionReport::renameInValueProblems(const QString& from, const QString& to) {
    for (ValueProblem& v : values_)
        v.reason.replace(from, to);
}

qint64 ConversionReport::rowsRead() const {
    qint64 n = 0;
    for (const TableReport& t : tables)
        n += t.rowsRead;
    return n;
}

qint64 ConversionReport::rowsWritten() const {
    qint64 n = 0;
    for (const TableReport& t : tables)
        n += t.rowsWritten;
    return n;
}

bool ConversionReport::anythingSkipped() const {
    if (valueCount_ > 0 || textCount_ > 0 || !skipped.empty())
        return true;
    for (const TableReport& t : tables) {
        if (t.target.isEmpty() || t.rowsWritten != t.rowsRead || !t.datesAsText.isEmpty())
            return true;
    }
    for (const QueryReport& q : queries) {
        if (q.keptAs.isEmpty())
            return true;
    }
    return false;
}

QStringList ConversionReport::head() const {
    QStringList out;
    out << QStringLiteral("Source: %1 (%2)").arg(source, sourceFormat);
    out << QStringLiteral("Destination: %1, %2").arg(destination, fileKind);
    if (!codePage.isEmpty())
        out << QStringLiteral(
                   "Text read in code page %1 (a Jet 3 file does not say which; "
                   "--codepage names another).")
                   .arg(codePage);
    if (!originalKeptAs.isEmpty())
        out << QStringLiteral("The original is kept as %1.").arg(originalKeptAs);
    if (dryRun)
        out << QStringLiteral("Dry run: nothing was written.");

    out << QString() << QStringLiteral("Tables (rows read, rows written):");
    if (tables.empty())
        out << QStringLiteral("  none");
    for (const TableReport& t : tables) {
        QString line = QStringLiteral("  %1: %2 read, %3 written; %4")
                           .arg(t.source)
                           .arg(t.rowsRead)
                           .arg(t.rowsWritten)
                           .arg(t.treatment);
        if (!t.columnsKept.isEmpty())
            line += QStringLiteral("; columns Velmora does not use, copied as they are: ") +
                    t.columnsKept.join(QStringLiteral(", "));
        if (!t.calculated.isEmpty())
            line += QStringLiteral(
                        "; calculated fields, copied as the results the file holds "
                        "(the new file does not work them out again): ") +
                    t.calculated.join(QStringLiteral(", "));
        if (!t.datesAsText.isEmpty())
            line += QStringLiteral(
                        "; Date/Time Extended columns kept as text \"yyyy-mm-dd "
                        "hh:mm:ss.fffffff\" (a date column keeps whole seconds from the year "
                        "100 on): ") +
                    t.datesAsText.join(QStringLiteral(", "));
        if (!t.columnsAbsent.isEmpty())
            line += QStringLiteral("; not in the source, left empty: ") +
                    t.columnsAbsent.join(QStringLiteral(", "));
        out << line;
    }
    return out;
}

QString ConversionReport::verdict(const QString& where) const {
    return anythingSkipped()
               ? QStringLiteral("Not everything was converted: see the items %1.").arg(where)
               : QStringLiteral("Everything was converted.");
}

QString ConversionReport::summary() const {
    QStringList out = head();
    out << QString();
    if (valueCount_ > 0)
        out << QStringLiteral("Values not converted as they were: %1").arg(valueCount_);
    if (textCount_ > 0)
        out << QStringLiteral("Values that are not valid text in their column: %1").arg(textCount_);
    if (!skipped.empty())
        out << QStringLiteral("Columns, rows or tables not copied: %1").arg(skipped.size());
    if (!queries.empty()) {
        qsizetype kept = 0;
        for (const QueryReport& q : queries)
            kept += q.keptAs.isEmpty() ? 0 : 1;
        out << QStringLiteral("Stored queries kept: %1 of %2").arg(kept).arg(queries.size());
    }
    out << verdict(QStringLiteral("in the whole report"));
    return out.join(u'\n') + u'\n';
}

QString ConversionReport::text() const {
    QStringList out = head();
    if (valueCount_ > 0) {
        out << QString()
            << QStringLiteral("Values not converted as they were (%1):").arg(valueCount_);
        for (const ValueProblem& v : values_)
            out << QStringLiteral("  %1, row %2, column %3: %4: %5")
                       .arg(v.table)
                       .arg(v.row)
                       .arg(v.column, v.raw, v.reason);
        if (valueCount_ > static_cast<qint64>(values_.size()))
            out << QStringLiteral("  ... and %1 more")
                       .arg(valueCount_ - static_cast<qint64>(values_.size()));
    }

    if (textCount_ > 0) {
        out << QString()
            << QStringLiteral("Values that are not valid text in their column (%1):")
                   .arg(textCount_);
        for (const ValueProblem& v : texts_)
            out << QStringLiteral("  %1, row %2, column %3: %4: %5")
                       .arg(v.table)
                       .arg(v.row)
                       .arg(v.column, v.raw, v.reason);
        if (textCount_ > static_cast<qint64>(texts_.size()))
            out << QStringLiteral("  ... and %1 more")
                       .arg(textCount_ - static_cast<qint64>(texts_.size()));
    }

    if (!skipped.empty()) {
        out << QString() << QStringLiteral("Not copied:");
        for (const SkippedItem& s : skipped)
            out << QStringLiteral("  %1: %2").arg(s.what, s.reason);
    }

    if (!queries.empty()) {
        out << QString() << QStringLiteral("Stored queries:");
        for (const QueryReport& q : queries) {
            if (q.keptAs == q.name)
                out << QStringLiteral("  kept: %1").arg(q.name);
            else if (!q.keptAs.isEmpty())
                out << QStringLiteral("  kept as %1: %2 (%3)").arg(q.keptAs, q.name, q.reason);
            else
                out << QStringLiteral("  not kept: %1 (%2)").arg(q.name, q.reason);
            if (q.keptAs.isEmpty() && !q.sql.isEmpty())
                out << QStringLiteral("    ") +
                           QString(q.sql).replace(u'\n', QStringLiteral("\n    "));
        }
    }

    out << QString() << verdict(QStringLiteral("above"));
    return out.join(u'\n') + u'\n';
}

}  // namespace velmora::legacy
