#include "ReportDefinition.h"

#include "data/DataFiles.h"
#include "data/DbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>

// The default definitions are kept as resources of this library.
static void initReportResources() {
    Q_INIT_RESOURCE(ReportDefaults);
}

namespace velmora::reports {

namespace {

const QStringList kPlaceholders = {
    QStringLiteral("Company"),   QStringLiteral("Phone"), QStringLiteral("Title"),
    QStringLiteral("Printed"),   QStringLiteral("Page"),  QStringLiteral("Pages"),
    QStringLiteral("Selection"), QStringLiteral("Count"), QStringLiteral("Overdue"),
    QStringLiteral("DueSoon"),
};

// Names every report must show somewhere in its page header or footer.
const QStringList kRequiredOnPage = {QStringLiteral("Company"), QStringLiteral("Phone"),
                                     QStringLiteral("Printed"), QStringLiteral("Page"),
                                     QStringLiteral("Pages")};

// A value as written after "=": blanks around it dropped, unless it stands in double
// quotes, which keep it exactly ("" inside stands for one quote).
QString unquote(const QString& raw) {
    const QString v = raw.trimmed();
    if (v.size() >= 2 && v.startsWith(u'"') && v.endsWith(u'"')) {
        QString inner = v.mid(1, v.size() - 2);
        inner.replace(QStringLiteral("\"\""), QStringLiteral("\""));
        return inner;
    }
    return v;
}

// Texts that are printed: "\n" breaks the line, "\\" is one backslash.
QString printedText(const QString& v) {
    QString out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] == u'\\' && i + 1 < v.size()) {
            if (v[i + 1] == u'n') {
                out += u'\n';
                ++i;
                continue;
            }
            if (v[i + 1] == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        out += v[i];
    }
    return out;
}

class Parser {
  public:
    Parser(const QString& fileName, ReportDefinition* def) : file_(fileName), def_(def) {}

    void parse(const QString& text) {
        const QStringList lines = text.split(u'\n');
        for (int i = 0; i < lines.size(); ++i) {
            line_ = i + 1;
            QString l = lines[i];
            if (l.endsWith(u'\r'))
                l.chop(1);
            const QString t = l.trimmed();
            if (t.isEmpty() || t.startsWith(u'#') || t.startsWith(u';'))
                continue;
            if (t.startsWith(u'[')) {
                if (!t.endsWith(u']'))
                    fail(QStringLiteral("a section name must end with \"]\""));
                startSection(t.mid(1, t.size() - 2).trimmed());
                continue;
            }
            const qsizetype eq = t.indexOf(u'=');
            if (eq <= 0)
                fail(QStringLiteral("expected \"Key = value\", found \"%1\"").arg(t));
            if (section_.isEmpty())
                fail(QStringLiteral("\"%1\" stands before the first section").arg(t));
            setKey(t.left(eq).trimmed(), t.mid(eq + 1));
        }
        line_ = 0;
        finish();
    }

  private:
    // Stops the reading: parseReportDefinition() hands the failure back.
    [[noreturn]] void fail(const QString& what) const {
        throw data::DbError(
            data::err::SyntaxError,
            line_ > 0 ? QStringLiteral("The report definition %1 cannot be read: line %2: %3.")
                            .arg(QDir::toNativeSeparators(file_))
                            .arg(line_)
                            .arg(what)
                      : QStringLiteral("The report definition %1 is not complete: %2.")
                            .arg(QDir::toNativeSeparators(file_), what));
    }

    void startSection(const QString& name) {
        static const QStringList known = {QStringLiteral("Report"), QStringLiteral("Page"),
                                          QStringLiteral("Aircraft"), QStringLiteral("Column")};
        for (const QString& k : known) {
            if (name.compare(k, Qt::CaseInsensitive) == 0) {
                section_ = k;
                seen_.clear();
                if (k == u"Column") {
                    def_->columns.append(ReportColumn{});
                    columnLine_.append(line_);
                } else if (sectionsSeen_.contains(k)) {
                    fail(QStringLiteral("the section [%1] appears twice").arg(k));
                }
                sectionsSeen_.insert(k);
                return;
            }
        }
        fail(QStringLiteral("unknown section [%1]").arg(name));
    }

    bool isKey(const QString& key, const char* name) const {
        return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    }

    void number(const QString& key, const QString& v, double lo, double hi, double* out) const {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok || d < lo || d > hi)
            fail(QStringLiteral("%1 must be a number from %2 to %3, not \"%4\"")
                     .arg(key)
                     .arg(lo)
                     .arg(hi)
                     .arg(v));
        *out = d;
    }

    void setKey(const QString& key, const QString& raw) {
        const QString v = unquote(raw);
        const QString folded = key.toCaseFolded();
        // Fact lines repeat; every other key is given once in its section.
        if (!isKey(key, "Fact")) {
            if (seen_.contains(folded))
                fail(QStringLiteral("%1 is given twice in [%2]").arg(key, section_));
            seen_.insert(folded);
        }
        if (section_ == u"Report")
            return reportKey(key, v);
        if (section_ == u"Page")
            return pageKey(key, v);
        if (section_ == u"Aircraft")
            return aircraftKey(key, v);
        return columnKey(key, v);
    }

    void reportKey(const QString& key, const QString& v) {
        if (isKey(key, "Title")) {
            def_->title = printedText(v);
        } else if (isKey(key, "Source")) {
            if (v.compare(kRemainingSource, Qt::CaseInsensitive) == 0)
                def_->source = kRemainingSource;
            else if (v.compare(kForecastSource, Qt::CaseInsensitive) == 0)
                def_->source = kForecastSource;
            else
                fail(QStringLiteral("Source must be Remaining or Forecast, not \"%1\"").arg(v));
        } else if (isKey(key, "Paper")) {
            if (v.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
                def_->paper = QPageSize::Letter;
            else if (v.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
                def_->paper = QPageSize::A4;
            else if (v.compare(QLatin1String("Legal"), Qt::CaseInsensitive) == 0)
                def_->paper = QPageSize::Legal;
            else if (v.compare(QLatin1String("A3"), Qt::CaseInsensitive) == 0)
                def_->paper = QPageSize::A3;
            else
                fail(QStringLiteral("Paper must be Letter, Legal, A4 or A3, not \"%1\"").arg(v));
        } else if (isKey(key, "Orientation")) {
            if (v.compare(QLatin1String("Landscape"), Qt::CaseInsensitive) == 0)
                def_->orientation = QPageLayout::Landscape;
            else if (v.compare(QLatin1String("Portrait"), Qt::CaseInsensitive) == 0)
                def_->orientation = QPageLayout::Portrait;
            else
                fail(
                    QStringLiteral("Orientation must be Landscape or Portrait, not \"%1\"").arg(v));
        } else if (isKey(key, "FontSize")) {
            return number(key, v, 5, 14, &def_->fontSize);
        } else if (isKey(key, "Margin")) {
            return number(key, v, 5, 40, &def_->marginMm);
        } else if (isKey(key, "DatePicture")) {
            def_->datePicture = v;
        } else if (isKey(key, "Sort")) {
            def_->sortFields.clear();
            for (const QString& f : v.split(u',', Qt::SkipEmptyParts)) {
                if (!f.trimmed().isEmpty())
                    def_->sortFields << f.trimmed();
            }
        } else if (isKey(key, "Group")) {
            def_->groupField = v;
        } else if (isKey(key, "Empty")) {
            def_->emptyText = printedText(v);
        } else if (isKey(key, "NoAircraft")) {
            def_->noAircraftText = printedText(v);
        } else if (isKey(key, "Summary")) {
            def_->summaryText = printedText(v);
        } else {
            fail(QStringLiteral("unknown key %1 in [Report]").arg(key));
        }
    }

    void pageKey(const QString& key, const QString& v) {
        struct Item {
            const char* name;
            QString* target;
        };
        const Item items[] = {
            {"HeaderLeft", &def_->headerLeft},     {"HeaderCenter", &def_->headerCenter},
            {"HeaderRight", &def_->headerRight},   {"FooterLeft", &def_->footerLeft},
            {"FooterCenter", &def_->footerCenter}, {"FooterRight", &def_->footerRight},
        };
        for (const Item& it : items) {
            if (isKey(key, it.name)) {
                *it.target = printedText(v);
                return;
            }
        }
        fail(QStringLiteral("unknown key %1 in [Page]").arg(key));
    }

    void aircraftKey(const QString& key, const QString& v) {
        if (isKey(key, "Title")) {
            def_->factsTitle = printedText(v);
        } else if (isKey(key, "Columns")) {
            double d = 0;
            number(key, v, 1, 6, &d);
            def_->factColumns = static_cast<int>(d);
        } else if (isKey(key, "Fact")) {
            const QStringList parts = v.split(u'|');
            if (parts.size() < 2 || parts.size() > 3)
                fail(QStringLiteral("Fact must read \"Caption | Field\" or \"Caption | "
                                    "Field | Picture\", not \"%1\"")
                         .arg(v));
            ReportFact f;
            f.caption = printedText(unquote(parts[0]));
            f.field = unquote(parts[1]);
            if (parts.size() == 3)
                f.picture = unquote(parts[2]);
            if (f.field.isEmpty())
                fail(QStringLiteral("the fact \"%1\" names no field").arg(f.caption));
            def_->facts.append(f);
        } else {
            fail(QStringLiteral("unknown key %1 in [Aircraft]").arg(key));
        }
    }

    void columnKey(const QString& key, const QString& v) {
        ReportColumn& c = def_->columns.last();
        if (isKey(key, "Caption")) {
            c.caption = printedText(v);
        } else if (isKey(key, "Field")) {
            c.field = v;
        } else if (isKey(key, "Picture")) {
            c.picture = v;
        } else if (isKey(key, "Width")) {
            return number(key, v, 0.5, 100, &c.width);
        } else if (isKey(key, "Align")) {
            if (v.compare(QLatin1String("Left"), Qt::CaseInsensitive) == 0)
                c.align = CellAlign::Left;
            else if (v.compare(QLatin1String("Right"), Qt::CaseInsensitive) == 0)
                c.align = CellAlign::Right;
            else if (v.compare(QLatin1String("Center"), Qt::CaseInsensitive) == 0)
                c.align = CellAlign::Center;
            else
                fail(QStringLiteral("Align must be Left, Center or Right, not \"%1\"").arg(v));
        } else if (isKey(key, "Highlight")) {
            const QStringList words = v.split(u' ', Qt::SkipEmptyParts);
            if (words.size() == 1 &&
                words[0].compare(QLatin1String("None"), Qt::CaseInsensitive) == 0) {
                c.highlight = Highlight::None;
            } else if (words.size() == 1 &&
                       words[0].compare(QLatin1String("Negative"), Qt::CaseInsensitive) == 0) {
                c.highlight = Highlight::Negative;
            } else if (words.size() == 2 &&
                       words[0].compare(QLatin1String("Flag"), Qt::CaseInsensitive) == 0) {
                c.highlight = Highlight::Flag;
                c.flagField = words[1];
            } else {
                fail(QStringLiteral("Highlight must be None, Negative or \"Flag "
                                    "Field\", not \"%1\"")
                         .arg(v));
            }
        } else {
            fail(QStringLiteral("unknown key %1 in [Column]").arg(key));
        }
    }

    void finish() {
        if (!sectionsSeen_.contains(QStringLiteral("Report")))
            fail(QStringLiteral("it has no [Report] section"));
        if (def_->title.trimmed().isEmpty())
            fail(QStringLiteral("[Report] gives no Title"));
        if (def_->source.isEmpty())
            fail(QStringLiteral("[Report] names no Source (Remaining or Forecast)"));
        if (def_->columns.isEmpty())
            fail(QStringLiteral("it has no [Column] section"));
        for (int i = 0; i < def_->columns.size(); ++i) {
            if (def_->columns[i].field.isEmpty()) {
                line_ = columnLine_.value(i);
                fail(QStringLiteral("this [Column] names no Field"));
            }
        }
        const QString page = def_->headerLeft + def_->headerCenter + def_->headerRight +
                             def_->footerLeft + def_->footerCenter + def_->footerRight;
        for (const QString& name : kRequiredOnPage) {
            if (!page.contains(u'{' + name + u'}', Qt::CaseInsensitive))
                fail(QStringLiteral("the page header and footer must show {%1}").arg(name));
        }
    }

    QString file_;
    ReportDefinition* def_;
    int line_ = 0;
    QString section_;
    QSet<QString> seen_;
    QSet<QString> sectionsSeen_;
    QList<int> columnLine_;
};

QString resourcePath(const QString& reportFileName) {
    return QStringLiteral(":/velmora/reports/") + reportFileName;
}

}  // namespace

data::MaybeFailure parseReportDefinition(const QString& text, const QString& fileName,
                                         ReportDefinition* out) {
    ReportDefinition def;
    def.fileName = fileName;
    Parser p(fileName, &def);
    try {
        p.parse(text);
    } catch (const data::DbError& e) {
        return data::Failure::of(e);
    }
    *out = std::move(def);
    return std::nullopt;
}

data::MaybeFailure loadReportDefinition(const QString& path, ReportDefinition* out) {
    const QString resolved = data::resolvePathCaseInsensitive(path);
    const QFileInfo fi(resolved);
    const QString shown = QDir::toNativeSeparators(path);
    if (!fi.exists())
        return data::Failure{data::err::FileNotFound,
                             QStringLiteral("The report definition %1 does not exist.").arg(shown)};
    if (fi.isDir())
        return data::Failure{
            data::err::CannotOpen,
            QStringLiteral("The report definition %1 is a folder, not a file.").arg(shown)};
    QFile f(resolved);
    if (!f.open(QIODevice::ReadOnly))
        return data::Failure{data::err::CannotOpen,
                             QStringLiteral("The report definition %1 cannot be read: %2.")
                                 .arg(shown, f.errorString())};
    const QByteArray bytes = f.read(1024 * 1024 + 1);
    if (bytes.size() > 1024 * 1024)
        return data::Failure{data::err::SyntaxError,
                             QStringLiteral("The report definition %1 is not a report "
                                            "definition: it is larger than one megabyte.")
                                 .arg(shown)};
    if (bytes.contains('\0'))
        return data::Failure{
            data::err::SyntaxError,
            QStringLiteral("The report definition %1 is not a text file.").arg(shown)};
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return parseReportDefinition(text, path, out);
}

QString defaultReportDefinitionText(const QString& reportFileName) {
    initReportResources();
    QFile f(resourcePath(reportFileName));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

void writeDefaultReportDefinitions(const QString& dataFolderPath) {
    initReportResources();
    const QDir dir(dataFolderPath);
    if (!dir.exists())
        throw data::DbError(data::err::InvalidPath,
                            QStringLiteral("Cannot write the report definitions: the folder %1 "
                                           "does not exist.")
                                .arg(QDir::toNativeSeparators(dataFolderPath)));
    for (const QString& name : {kActualReportFile, kForecastReportFile}) {
        const QString target = dir.filePath(name);
        if (QFileInfo::exists(data::resolvePathCaseInsensitive(target)))
            continue;
        QFile source(resourcePath(name));
        if (!source.open(QIODevice::ReadOnly))
            throw data::DbError(
                data::err::Internal,
                QStringLiteral("The default report definition %1 is missing from the program.")
                    .arg(name));
        const QByteArray bytes = source.readAll();
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            throw data::DbError(data::err::DiskError,
                                QStringLiteral("Cannot write the report definition %1: %2.")
                                    .arg(QDir::toNativeSeparators(target), out.errorString()));
    }
}

QStringList reportPlaceholderNames() {
    return kPlaceholders;
}

}  // namespace velmora::reports
