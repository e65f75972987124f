#include "JournalCommand.h"

#include "AnchorReport.h"
#include "cli/OptionWord.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "export/Csv.h"
#include "journal/JournalAnchors.h"
#include "journal/JournalCheck.h"
#include "journal/JournalLines.h"

#include <QDir>
#include <QTextStream>

namespace velmora::journaltool {

namespace {

struct Options {
    QString command;
    QString data;
    QString reg;
    QDate since;
    bool csv = false;
    QString settings;
    std::vector<journal::ChainPoint> anchors;
};

int usageError(QTextStream& err, const QString& message) {
    err << "velmora-journal: " << message
        << "\nTry 'velmora-journal --help' for more information.\n";
    err.flush();
    return 2;
}

data::MaybeFailure readOptions(const QStringList& args, Options* o) {
    if (args.isEmpty() || (args[0] != u"verify" && args[0] != u"list"))
        return cli::wrongCommandLine(args.isEmpty()
                                         ? QStringLiteral("name a command: verify or list")
                                         : QStringLiteral("unknown command '%1'").arg(args[0]));
    o->command = args[0];
    const bool list = o->command == u"list";
    for (int i = 1; i < args.size(); ++i) {
        cli::OptionWord word = cli::splitOptionWord(args[i]);
        const QString& name = word.name;
        const bool known = name == u"--data" ||
                           (list && (name == u"--reg" || name == u"--since" || name == u"--csv")) ||
                           (!list && (name == u"--settings" || name == u"--anchor"));
        if (!known)
            return cli::wrongCommandLine(
                QStringLiteral("unknown argument '%1' for %2").arg(args[i], o->command));
        if (name == u"--csv") {
            if (word.inlineValue)
                return cli::wrongCommandLine(QStringLiteral("--csv takes no value"));
            o->csv = true;
            continue;
        }
        if (!cli::takeOptionValue(word, args, i))
            return cli::wrongCommandLine(QStringLiteral("the option %1 needs a value").arg(name));
        const QString& value = word.value;
        if (name == u"--data") {
            o->data = value;
        } else if (name == u"--settings") {
            o->settings = value;
        } else if (name == u"--anchor") {
            const auto point = journal::parseAnchor(value);
            if (!point)
                return cli::wrongCommandLine(
                    QStringLiteral(
                        "--anchor takes a line and its hash as a report prints them, such "
                        "as 1234:3f5a9c0e12ab4d77, not '%1'")
                        .arg(value));
            o->anchors.push_back(*point);
        } else if (name == u"--reg") {
            o->reg = value;
        } else {
            o->since = QDate::fromString(value.trimmed(), Qt::ISODate);
            if (!o->since.isValid())
                return cli::wrongCommandLine(
                    QStringLiteral("--since takes a date as YYYY-MM-DD, not '%1'").arg(value));
        }
    }
    if (o->data.isEmpty())
        return cli::wrongCommandLine(QStringLiteral("name the data folder with --data DIR"));
    return std::nullopt;
}

QString valueText(const data::Value& v) {
    return v.isNull() ? QString() : v.toString();
}

void printLines(const std::vector<journal::JournalLine>& lines, bool csv, QTextStream& out) {
    const QStringList header = {"Seq",        "ChangedAt (UTC)", "UserName",  "HostName",
                                "Program",    "Screen",          "TableName", "RegNum",
                                "ItemNumber", "ColumnName",      "OldValue",  "NewValue"};
    auto fields = [](const journal::JournalLine& l) {
        return exporting::CsvRecord{
            QString::number(l.seq),
            l.changedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            l.userName,
            l.hostName,
            l.program,
            l.screen,
            l.tableName,
            l.regNum,
            l.itemNumber,
            l.columnName,
            l.oldValue.isNull() ? std::nullopt : std::optional<QString>(valueText(l.oldValue)),
            l.newValue.isNull() ? std::nullopt : std::optional<QString>(valueText(l.newValue))};
    };
    if (csv) {
        exporting::CsvRecord h;
        for (const QString& s : header)
            h.push_back(s);
        out << QString::fromUtf8(exporting::csvLine(h, exporting::CsvFor::People));
        for (const auto& l : lines)
            out << QString::fromUtf8(exporting::csvLine(fields(l), exporting::CsvFor::People));
        return;
    }
    for (const auto& l : lines) {
        const exporting::CsvRecord f = fields(l);
        out << *f[0] << "  " << *f[1] << "  " << l.userName << "@" << l.hostName << "  "
            << l.program << "/" << l.screen << "  " << l.tableName << " " << l.regNum;
        if (!l.itemNumber.isEmpty())
            out << " item " << l.itemNumber;
        out << "  " << l.columnName << ": "
            << (l.oldValue.isNull() ? QStringLiteral("Null") : valueText(l.oldValue)) << " -> "
            << (l.newValue.isNull() ? QStringLiteral("Null") : valueText(l.newValue)) << "\n";
    }
}

// The chain and the rows, then the anchors outside the file: every finding is named.
int verify(data::Database& db, const QString& main, const Options& o, QTextStream& out,
           QTextStream& err) {
    const QString shown = QDir::toNativeSeparators(main);
    const journal::CheckResult r = journal::checkJournal(db);
    const AnchorReport anchors = compareAnchors(db, findAnchors(main, o.settings, o.anchors));
    if (r.intact)
        out << shown << ": the journal is intact (" << r.lines << " lines).\n";
    else
        err << "velmora-journal: " << shown << ": " << r.problem << "\n";
    for (const QString& line : anchors.agreed + anchors.setAside)
        out << line << "\n";
    for (const QString& finding : anchors.findings)
        err << "velmora-journal: " << shown << ": " << finding << "\n";
    if (anchors.agreed.isEmpty() && anchors.findings.isEmpty())
        out << "No anchor of the chain was found outside the file: lines removed from its end, "
               "or the chain hashed again after an edit, cannot be told.\n";
    out.flush();
    err.flush();
    return r.intact && anchors.findings.isEmpty() ? 0 : 1;
}

}  // namespace

const cli::ProgramHelp& journalHelp() {
    static const cli::ProgramHelp help{
        QStringLiteral("velmora-journal"),
        {QStringLiteral("verify --data DIR [--settings SetupPP.mdb] [--anchor LINE:HASH]..."),
         QStringLiteral("list --data DIR [--reg REG] [--since DATE] [--csv]")},
        QStringLiteral(
            "verify walks the entry journal of DIR/Timemgr.mdb, the record of every change\n"
            "made through Velmora, and checks its hash chain and that every journalled table\n"
            "(aircraft, components, oil samples, planned use) is as the journal says; then it\n"
            "compares the chain with its anchors kept outside the file: in SetupPP.mdb, in\n"
            "every backup of the file, and those typed from a report's footer. It names each\n"
            "fault and exits with 1.\n"
            "list prints the journal's lines, oldest first.\n"),
        {{QStringLiteral("data"), QChar(), QStringLiteral("DIR"),
          QStringLiteral("the data folder that holds Timemgr.mdb")},
         {QStringLiteral("settings"), QChar(), QStringLiteral("FILE"),
          QStringLiteral("verify: the SetupPP.mdb whose anchor to compare (by default the one "
                         "velmora uses)")},
         {QStringLiteral("anchor"), QChar(), QStringLiteral("LINE:HASH"),
          QStringLiteral("verify: a line and its hash as a report's footer prints them")},
         {QStringLiteral("reg"), QChar(), QStringLiteral("REG"),
          QStringLiteral("list: only the lines of this registration")},
         {QStringLiteral("since"), QChar(), QStringLiteral("DATE"),
          QStringLiteral("list: only lines from this day (YYYY-MM-DD, UTC) on")},
         {QStringLiteral("csv"), QChar(), QString(),
          QStringLiteral("list: write CSV with a header line")}},
        QStringLiteral("Exit status: 0 intact (or listed), 1 a fault or an unreadable file, 2 "
                       "a wrong command line.\n")};
    return help;
}

int runJournalCommand(const QStringList& arguments, QTextStream& out, QTextStream& err,
                      const QString& defaultSettings) {
    Options o;
    if (const auto failure = readOptions(arguments, &o))
        return usageError(err, failure->text);
    if (o.settings.isEmpty())
        o.settings = defaultSettings;
    const QString dataPath = data::dataPathOf(o.data);
    const QString main =
        data::resolvePathCaseInsensitive(data::dataFileName(dataPath, data::files::kMain));
    try {
        auto db = data::Database::open(main);
        if (o.command == u"verify")
            return verify(*db, main, o, out, err);
        journal::LineFilter f;
        f.regNum = o.reg;
        f.since = o.since;
        printLines(journal::readLines(*db, f), o.csv, out);
        out.flush();
        return 0;
    } catch (const data::DbError& e) {
        err << "velmora-journal: " << e.text() << "\n";
        err.flush();
        return 1;
    }
}

}  // namespace velmora::journaltool
