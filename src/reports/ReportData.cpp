#include "ReportData.h"

#include "journal/JournalAnchors.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/JetDates.h"
#include "data/JetFormat.h"
#include "data/Recordset.h"
#include "data/ValueNumber.h"
#include "due/DueList.h"
#include "reportfiles/ReportQueries.h"
#include "utilisation/UtilisationSource.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace velmora::reports {

namespace {

using data::Value;

const QRegularExpression& placeholderPattern() {
    static const QRegularExpression re(QStringLiteral("\\{([^{}]*)\\}"));
    return re;
}

QString shownPath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A value written with a picture: a date picture for dates, a number picture for numbers;
// without a picture numbers are written in their shortest form and text as it stands.
QString formatValue(const Value& v, const QString& picture) {
    if (picture.isEmpty()) {
        if (v.isNull())
            return {};
        if (v.isNumber())
            return data::formatNumber(v.toDouble());
        return v.toString();
    }
    if (data::isDatePicture(picture)) {
        if (v.isNull())
            return {};
        if (const auto dt = data::parseJetDateTime(v.toString()))
            return data::formatDatePicture(*dt, picture);
        return v.toString();
    }
    if (v.isNull())
        return data::formatNumberPicture(std::nullopt, picture);
    if (v.isNumber())
        return data::formatNumberPicture(v.toDouble(), picture);
    double d = 0;
    if (Value::parseNumber(v.toString(), &d))
        return data::formatNumberPicture(d, picture);
    return v.toString();
}

bool isNegative(const Value& v) {
    if (v.isNumber())
        return v.toDouble() < 0;
    double d = 0;
    return v.type() == Value::Type::Text && Value::parseNumber(v.toString(), &d) && d < 0;
}

// Sort order: Null first, then numbers by value, then text without regard to case.
int compareValues(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    if (a.isNumber() && b.isNumber()) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.isNumber() != b.isNumber())
        return a.isNumber() ? -1 : 1;
    return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

QString standardSql(const QString& source) {
    if (source == kRemainingSource)
        return remainingReportSql();
    if (source == kForecastSource)
        return forecastReportSql();
    return {};
}

bool isRegNumField(const QString& field) {
    return field.compare(QLatin1String("Aircraft.RegNum"), Qt::CaseInsensitive) == 0;
}

class ModelBuilder {
  public:
    ModelBuilder(const ReportDefinition& def, std::shared_ptr<data::Database> db, ReportModel* out,
                 const ReportLevels& levels)
        : def_(def), db_(std::move(db)), out_(out), levels_(levels) {}

    data::MaybeFailure build(const QString& formula, const QString& company, const QString& phone,
                             const QDateTime& printed) {
        out_->definition = def_;
        out_->selectionFormula = formula;
        out_->dataFile = db_->path();
        ReportSelection sel;
        if (auto failure = parseSelectionFormula(formula, &sel))
            return failure;
        if (sel.source.compare(def_.source, Qt::CaseInsensitive) != 0)
            return data::Failure{
                data::err::CriteriaSyntax,
                QStringLiteral("The selection formula \"%1\" selects from %2, but the report "
                               "%3 reads the data source %4.")
                    .arg(formula, sel.source, shownPath(def_.fileName), def_.source)};
        if (!isRegNumField(sel.field))
            return data::Failure{
                data::err::CriteriaSyntax,
                QStringLiteral("The selection formula \"%1\" cannot be used: a report selects "
                               "its aircraft by {%2.Aircraft.RegNum}.")
                    .arg(formula, def_.source)};
        try {
            if (!db_->hasQueryDef(def_.source)) {
                try {
                    ensureReportQueries(*db_);
                } catch (const data::DbError& e) {
                    return data::Failure{e.number(),
                                         QStringLiteral("The data file %1 lacks the report's data "
                                                        "source %2, and it could not be added: %3")
                                             .arg(shownPath(db_->path()), def_.source, e.text())};
                }
            }
            auto aircraft = db_->openRecordset(QStringLiteral("Aircraft"));
            // The registration is compared by the engine, bound as a value: never part of
            // SQL text. An empty registration selects nothing.
            auto same = db_->prepareCriterion(
                QStringLiteral("[RowRegNum] = [SelectedRegNum]"),
                {QStringLiteral("RowRegNum"), QStringLiteral("SelectedRegNum")});
            const Value wanted(sel.value);
            auto matches = [&](const Value& reg) {
                if (sel.value.isEmpty() || reg.isNull())
                    return false;
                return same->matches({reg, wanted});
            };
            const int acReg = aircraft->fieldIndex(QStringLiteral("RegNum"));
            const data::Recordset::Row* found = nullptr;
            for (const auto& row : aircraft->rows()) {
                if (matches(row.values[static_cast<size_t>(acReg)])) {
                    found = &row;
                    break;
                }
            }
            // A data source as the program stores it is read for the selected aircraft
            // record alone; one changed in the file is read whole and its rows selected.
            std::unique_ptr<data::Recordset> rows;
            const QString stored = db_->queryDefSql(def_.source);
            if (found && stored == standardSql(def_.source))
                rows = db_->openRecordset(reportSqlForAircraftRow(def_.source, found->rowid));
            else
                rows = db_->openRecordset(def_.source);
            if (auto failure = checkFields(*aircraft, *rows))
                return failure;
            fillValues(company, phone, printed);
            if (found) {
                out_->aircraftFound = true;
                fillAircraft(*aircraft, found->values);
                readDailyUse(found->values[static_cast<size_t>(acReg)], printed.date());
                fillLines(*rows, matches);
            }
        } catch (const data::DbError& e) {
            return data::Failure{
                e.number(), QStringLiteral("The report %1 cannot read the data file %2: %3")
                                .arg(shownPath(def_.fileName), shownPath(db_->path()), e.text())};
        }
        out_->values.insert(QStringLiteral("count"), QString::number(out_->rowCount));
        out_->values.insert(QStringLiteral("overdue"), QString::number(out_->highlightedRows));
        out_->values.insert(QStringLiteral("duesoon"), QString::number(out_->dueSoonRows));
        return std::nullopt;
    }

  private:
    data::Failure fieldError(const QString& what) const {
        return {data::err::TooFewParameters,
                QStringLiteral("The report definition %1 cannot be used with %2: %3.")
                    .arg(shownPath(def_.fileName), shownPath(db_->path()), what)};
    }

    int sourceField(const data::Recordset& rs, const QString& name) const {
        return rs.fieldIndex(name);
    }

    // The fields the definition reads, looked up in the data source and the table Aircraft;
    // a failure naming the first that is not there.
    data::MaybeFailure checkFields(const data::Recordset& aircraft, const data::Recordset& rs) {
        if (rs.fieldIndex(QStringLiteral("Aircraft.RegNum")) < 0)
            return fieldError(QStringLiteral("the data source %1 has no field "
                                             "Aircraft.RegNum")
                                  .arg(def_.source));
        for (const ReportColumn& c : def_.columns) {
            const int i = sourceField(rs, c.field);
            if (i < 0)
                return fieldError(
                    QStringLiteral("the column \"%1\" reads the field %2, "
                                   "which the data source %3 does not have")
                        .arg(QString(c.caption).replace(u'\n', u' '), c.field, def_.source));
            columnIndex_.push_back(i);
            int flag = -1;
            if (c.highlight == Highlight::Flag) {
                flag = sourceField(rs, c.flagField);
                if (flag < 0)
                    return fieldError(
                        QStringLiteral("the column \"%1\" is marked by the field %2, which "
                                       "the data source %3 does not have")
                            .arg(QString(c.caption).replace(u'\n', u' '), c.flagField,
                                 def_.source));
            }
            flagIndex_.push_back(flag);
        }
        for (const QString& s : def_.sortFields) {
            const int i = sourceField(rs, s);
            if (i < 0)
                return fieldError(QStringLiteral("it sorts by %1, which the data source "
                                                 "%2 does not have")
                                      .arg(s, def_.source));
            sortIndex_.push_back(i);
        }
        if (!def_.groupField.isEmpty()) {
            groupIndex_ = sourceField(rs, def_.groupField);
            if (groupIndex_ < 0)
                return fieldError(QStringLiteral("it groups by %1, which the data source "
                                                 "%2 does not have")
                                      .arg(def_.groupField, def_.source));
        }
        for (const ReportFact& f : def_.facts) {
            if (aircraft.fieldIndex(f.field) < 0)
                return fieldError(QStringLiteral("the fact \"%1\" reads %2, which is not a column "
                                                 "of the table Aircraft")
                                      .arg(f.caption, f.field));
        }
        const QStringList special = reportPlaceholderNames();
        const QString texts[] = {def_.headerLeft,  def_.headerCenter, def_.headerRight,
                                 def_.footerLeft,  def_.footerCenter, def_.footerRight,
                                 def_.summaryText, def_.emptyText,    def_.noAircraftText,
                                 def_.title,       def_.factsTitle};
        for (const QString& t : texts) {
            auto it = placeholderPattern().globalMatch(t);
            while (it.hasNext()) {
                const QString name = it.next().captured(1).trimmed();
                if (special.contains(name, Qt::CaseInsensitive) || aircraft.fieldIndex(name) >= 0)
                    continue;
                return fieldError(QStringLiteral("{%1} is neither one of {%2} nor a column "
                                                 "of the table Aircraft")
                                      .arg(name, special.join(QStringLiteral("}, {"))));
            }
        }
        return std::nullopt;
    }

    void fillValues(const QString& company, const QString& phone, const QDateTime& printed) {
        try {
            const journal::ChainPoint newest = journal::newestLine(*db_);
            if (!newest.isNull())
                out_->journalAnchor = QStringLiteral("Journal ") + journal::printedAnchor(newest);
        } catch (const data::DbError&) {
            // A journal that cannot be read anchors nothing; the report is printed anyway.
        }
        auto& v = out_->values;
        v.insert(QStringLiteral("company"), company);
        v.insert(QStringLiteral("phone"), phone);
        v.insert(QStringLiteral("title"), def_.title);
        v.insert(QStringLiteral("printed"), data::formatDatePicture(printed, def_.datePicture));
        v.insert(QStringLiteral("selection"), out_->selectionFormula);
    }

    void fillAircraft(const data::Recordset& aircraft, const std::vector<Value>& row) {
        for (int i = 0; i < aircraft.fieldCount(); ++i) {
            const QString name = aircraft.field(i).name.toCaseFolded();
            if (!out_->values.contains(name))
                out_->values.insert(name, formatValue(row[static_cast<size_t>(i)], QString()));
        }
        for (const ReportFact& f : def_.facts) {
            const int i = aircraft.fieldIndex(f.field);
            out_->facts.push_back({f.caption, formatValue(row[static_cast<size_t>(i)], f.picture)});
        }
    }

    // The daily use of the selected aircraft, for the dates of its counted limits. A file that
    // cannot tell gives none: the levels then go by the amounts alone.
    void readDailyUse(const Value& regNum, const QDate& today) {
        today_ = today;
        try {
            if (levels_.utilisation)
                use_ = levels_.utilisation(*db_)->dailyUse(regNum.toString());
        } catch (const data::DbError&) {
        }
    }

    // Whether a row of the data source is due soon by the warning levels.
    bool dueSoon(const data::Recordset& rs, const std::vector<Value>& row) const {
        const int basisIx = rs.fieldIndex(QStringLiteral("LifeBasis"));
        const int meterIx = rs.fieldIndex(QStringLiteral("MeterNumber"));
        const int lifeIx = rs.fieldIndex(QStringLiteral("LifeNumber"));
        const int leftIx = rs.fieldIndex(QStringLiteral("Remaining"));
        const int retireIx = rs.fieldIndex(QStringLiteral("RetireDate"));
        if (basisIx < 0 || meterIx < 0 || lifeIx < 0 || leftIx < 0 || retireIx < 0)
            return false;
        auto at = [&](int i) { return row[static_cast<size_t>(i)]; };
        const auto basis =
            at(basisIx).isNull() ? std::nullopt : due::basisFromCode(at(basisIx).toString());
        if (!basis)
            return false;
        QDate retires;
        if (const auto d = data::parseJetDateTime(at(retireIx).toString());
            !at(retireIx).isNull() && d)
            retires = d->date();
        const auto meter = data::numberIn(at(meterIx));
        const auto rate =
            due::rateFor(use_, *basis, meter ? static_cast<int>(at(meterIx).toInt()) : 0);
        return due::judgeLimit(levels_.warnings, *basis, data::numberIn(at(leftIx)), retires,
                               data::numberIn(at(lifeIx)), rate, today_)
                   .level == due::WarningLevel::DueSoon;
    }

    template <typename Matches>
    void fillLines(const data::Recordset& rs, Matches matches) {
        const int regIndex = rs.fieldIndex(QStringLiteral("Aircraft.RegNum"));
        std::vector<const std::vector<Value>*> picked;
        for (const auto& row : rs.rows()) {
            if (matches(row.values[static_cast<size_t>(regIndex)]))
                picked.push_back(&row.values);
        }
        std::vector<int> keys;
        if (groupIndex_ >= 0)
            keys.push_back(groupIndex_);
        keys.insert(keys.end(), sortIndex_.begin(), sortIndex_.end());
        std::stable_sort(picked.begin(), picked.end(), [&](const auto* a, const auto* b) {
            for (int k : keys) {
                const int c =
                    compareValues((*a)[static_cast<size_t>(k)], (*b)[static_cast<size_t>(k)]);
                if (c != 0)
                    return c < 0;
            }
            return false;
        });
        std::optional<QString> group;
        for (const auto* row : picked) {
            if (groupIndex_ >= 0) {
                const QString g = formatValue((*row)[static_cast<size_t>(groupIndex_)], QString());
                if (!group || g.compare(*group, Qt::CaseInsensitive) != 0) {
                    ReportLine heading;
                    heading.isGroup = true;
                    heading.groupText = g.isEmpty() ? QStringLiteral("(none)") : g;
                    out_->lines.push_back(std::move(heading));
                    group = g;
                }
            }
            ReportLine line;
            line.cells.reserve(def_.columns.size());
            for (int c = 0; c < def_.columns.size(); ++c) {
                const ReportColumn& col = def_.columns[c];
                const Value& v = (*row)[static_cast<size_t>(columnIndex_[static_cast<size_t>(c)])];
                ReportCell cell;
                cell.text = formatValue(v, col.picture);
                if (col.highlight == Highlight::Negative)
                    cell.highlighted = isNegative(v);
                else if (col.highlight == Highlight::Flag)
                    cell.highlighted =
                        (*row)[static_cast<size_t>(flagIndex_[static_cast<size_t>(c)])].toBool();
                line.highlighted = line.highlighted || cell.highlighted;
                line.cells.push_back(std::move(cell));
            }
            if (!line.highlighted && dueSoon(rs, *row)) {
                line.dueSoon = true;
                for (int c = 0; c < def_.columns.size(); ++c) {
                    ReportCell& cell = line.cells[static_cast<size_t>(c)];
                    cell.dueSoon = def_.columns[c].highlight != Highlight::None &&
                                   !cell.text.trimmed().isEmpty();
                }
            }
            ++out_->rowCount;
            if (line.highlighted)
                ++out_->highlightedRows;
            if (line.dueSoon)
                ++out_->dueSoonRows;
            out_->lines.push_back(std::move(line));
        }
    }

    const ReportDefinition& def_;
    std::shared_ptr<data::Database> db_;
    ReportModel* out_;
    const ReportLevels& levels_;
    utilisation::DailyUtilisation use_;
    QDate today_;
    std::vector<int> columnIndex_, flagIndex_, sortIndex_;
    int groupIndex_ = -1;
};

}  // namespace

QString ReportModel::expand(const QString& text, int page, int pages) const {
    QString out;
    qsizetype last = 0;
    auto it = placeholderPattern().globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        const QString name = m.captured(1).trimmed().toCaseFolded();
        if (name == u"page")
            out += QString::number(page);
        else if (name == u"pages")
            out += QString::number(pages);
        else
            out += values.value(name);
        last = m.capturedEnd();
    }
    out += text.mid(last);
    return out;
}

QString reportDataFilePath(const ReportJob& job) {
    QString name = job.dataFile.trimmed();
    if (name.isEmpty())
        name = QStringLiteral("TimeMgr.mdb");
    // A report of a data path on a database server reads the data set of that server.
    if (data::isServerLocation(job.reportFile))
        return data::dataFileName(job.reportFile.left(job.reportFile.lastIndexOf(u'#')), name);
    QString path = name;
    if (QFileInfo(name).isRelative()) {
        const QString folder = QFileInfo(job.reportFile).absolutePath();
        path = QDir(folder).filePath(name);
    }
    return data::resolvePathCaseInsensitive(QDir::cleanPath(path));
}

data::MaybeFailure buildReportModel(const ReportDefinition& definition,
                                    const QString& selectionFormula,
                                    const std::shared_ptr<data::Database>& db,
                                    const QString& companyName, const QString& companyPhone,
                                    const QDateTime& printed, ReportModel* out,
                                    const ReportLevels& levels) {
    ReportModel model;
    ModelBuilder builder(definition, db, &model, levels);
    if (auto failure = builder.build(selectionFormula, companyName, companyPhone, printed))
        return failure;
    *out = std::move(model);
    return std::nullopt;
}

namespace {

// The report definition a job names. A database server keeps data sets, not report files:
// the report of a data path on a server ("URI#1") is the program's own definition of it.
data::MaybeFailure loadDefinitionOf(const ReportJob& job, ReportDefinition* def) {
    if (!data::isServerLocation(job.reportFile))
        return loadReportDefinition(job.reportFile, def);
    const QString name =
        job.reportFile.mid(job.reportFile.lastIndexOf(u'#') + 1).trimmed() + QStringLiteral(".rpt");
    const QString text = defaultReportDefinitionText(name);
    if (text.isEmpty())
        return data::Failure{data::err::FileNotFound,
                             QStringLiteral("The program has no report definition %1.").arg(name)};
    return parseReportDefinition(text, name, def);
}

}  // namespace

data::MaybeFailure loadReportModel(const ReportJob& job, ReportModel* out,
                                   const QDateTime& printed) {
    ReportDefinition def;
    if (job.reportFile.trimmed().isEmpty())
        return data::Failure{data::err::FileNotFound,
                             QStringLiteral("No report definition file was named.")};
    if (auto failure = loadDefinitionOf(job, &def))
        return failure;
    ReportSelection sel;
    if (auto failure = parseSelectionFormula(job.selectionFormula, &sel))
        return failure;
    const QString dataPath = reportDataFilePath(job);
    std::shared_ptr<data::Database> db;
    try {
        db = data::Database::open(dataPath);
    } catch (const data::DbError& e) {
        return data::Failure{
            e.number(), QStringLiteral("The data file %1 of the report %2 cannot be opened: %3")
                            .arg(shownPath(dataPath), shownPath(job.reportFile), e.text())};
    }
    return buildReportModel(def, job.selectionFormula, db, job.companyName, job.companyPhone,
                            printed, out, {job.warnings, job.utilisation});
}

}  // namespace velmora::reports
