#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace velmora::legacy {

// One table of the source and what became of it.
struct TableReport {
    QString source;     // its name in the Jet file
    QString target;     // its name in the new file; empty when it was not copied
    QString treatment;  // "Velmora's table Parts", "copied unchanged", or why it was skipped
    qint64 rowsRead = 0;
    qint64 rowsWritten = 0;
    QStringList columnsKept;    // columns Velmora's table lacks, copied as they are
    QStringList columnsAbsent;  // Velmora's columns the source lacks, left empty
    QStringList calculated;     // calculated fields, copied as the results the file stores
    // Date/Time Extended columns kept as text, each with the first value a date column
    // could not hold: "DateExt (a fraction of a second in row 6)"
    QStringList datesAsText;
};

// A value that was not converted (stored as Null) or was stored changed.
struct ValueProblem {
    QString table;
    qint64 row = 0;  // counted from 1 in the order the file gives the rows
    QString column;
    QString raw;  // the value as the file holds it
    QString reason;
};

// A table, column or row that was not copied, with the reason.
struct SkippedItem {
    QString what;
    QString reason;
};

struct QueryReport {
    QString name;
    QString keptAs;  // the name it has in the new file; empty when it was not kept
    QString reason;  // why it was not kept, or why its name changed
    QString sql;     // its text, as far as it could be rebuilt
};

// What a conversion did: every table with its rows read and written, every value that was
// not converted, what was copied unchanged and what was skipped.
class ConversionReport {
  public:
    QString source, destination, sourceFormat;
    QString codePage;        // for a Jet 3 source: the code page its text was read in
    QString fileKind;        // "the main data file", ... or a database Velmora has no tables for
    QString originalKeptAs;  // for a file converted where it lies: the original's new name
    bool dryRun = false;

    std::vector<TableReport> tables;
    std::vector<SkippedItem> skipped;
    std::vector<QueryReport> queries;

    // Values are listed up to a limit; all are counted.
    void addValueProblem(ValueProblem problem);
    const std::vector<ValueProblem>& valueProblems() const { return values_; }
    qint64 valueProblemCount() const { return valueCount_; }
    // Values written as they were that are no valid text in their column: a NUL or another
    // control character inside a text. Listed up to the same limit; all are counted.
    void addTextFinding(ValueProblem finding);
    const std::vector<ValueProblem>& textFindings() const { return texts_; }
    qint64 textFindingCount() const { return textCount_; }
    // Replaces a file name in the reasons given for values (the engine names the file it
    // wrote, which may have been a temporary one).
    void renameInValueProblems(const QString& from, const QString& to);

    qint64 rowsRead() const;
    qint64 rowsWritten() const;
    // Whether anything was left out or changed: a value, row, column, table or query.
    bool anythingSkipped() const;

    // The report as text for the user, one item a line.
    QString text() const;
    // The same with the values, skipped items and queries counted rather than listed.
    QString summary() const;

    static constexpr int kListedValues = 1000;

  private:
    QStringList head() const;
    QString verdict(const QString& where) const;

    std::vector<ValueProblem> values_;
    qint64 valueCount_ = 0;
    std::vector<ValueProblem> texts_;
    qint64 textCount_ = 0;
};

}  // namespace velmora::legacy
