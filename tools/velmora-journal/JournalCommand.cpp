#include "JournalCommand.h"

#include "cli/OptionWord.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "export/Csv.h"
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
};

int usageError(QTextStream& err, const QString& message) {
    err << "velmora-journal: " << message
        << "\nTry 'velmora-journal --help' for more information.\n";
    err.flush();
    return 2;
}

bool readOptions(const QStringList& args, Options* o, QString* error) {
    if (args.isEmpty() || (args[0] != u"verify" && args[0] != u"list")) {
        *error = args.isEmpty() ? QStringLiteral("name a command: verify or list")
                                : QStringLiteral("unknown command '%1'").arg(args[0]);
        return false;
    }
    o->command = args[0];
    const bool list = o->command == u"list";
    for (int i = 1; i < args.size(); ++i) {
        cli::OptionWord word = cli::splitOptionWord(args[i]);
        const QString& name = word.name;
        const bool known = name == u"--data" ||
                           (list && (name == u"--reg" || name == u"--since" || name == u"--csv"));
        if (!known) {
            *error = QStringLiteral("unknown argument '%1' for %2").arg(args[i], o->command);
            return false;
        }
        if (name == u"--csv") {
            if (word.inlineValue) {
                *error = QStringLiteral("--csv takes no value");
                return false;
            }
            o->csv = true;
            continue;
        }
        if (!cli::takeOptionValue(word, args, i)) {
            *error = QStringLiteral("the option %1 needs a value").arg(name);
            return false;
        }
        const QString& value = word.value;
        if (name == u"--data") {
            o->data = value;
        } else if (name == u"--reg") {
            o->reg = value;
        } else {
            o->since = QDate::fromString(value.trimmed(), Qt::ISODate);
            if (!o->since.isValid()) {
                *error = QStringLiteral("--since takes a date as YYYY-MM-DD, not '%1'").arg(value);
                return false;
            }
        }
    }
    if (o->data.isEmpty()) {
        *error = QStringLiteral("name the data folder with --data DIR");
        return false;
    }
    return true;
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

}  // namespace

const cli::ProgramHelp& journalHelp() {
    static const cli::ProgramHelp help{
        QStringLiteral("velmora-journal"),
        {QStringLiteral("verify --data DIR"),
         QStringLiteral("list --data DIR [--reg REG] [--since DATE] [--csv]")},
        QStringLiteral(
            "verify walks the entry journal of DIR/Timemgr.mdb, the record of every change\n"
            "made through Velmora, and checks its hash chain and that the aircraft and their\n"
            "components are as the journal says; it names the first fault and exits with 1.\n"
            "list prints the journal's lines, oldest first.\n"),
        {{QStringLiteral("data"), QChar(), QStringLiteral("DIR"),
          QStringLiteral("the data folder that holds Timemgr.mdb")},
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

int runJournalCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    Options o;
    QString error;
    if (!readOptions(arguments, &o, &error))
        return usageError(err, error);
    const QString dataPath = data::dataPathOf(o.data);
    const QString main =
        data::resolvePathCaseInsensitive(data::dataFileName(dataPath, data::files::kMain));
    try {
        auto db = data::Database::open(main);
        if (o.command == u"verify") {
            const journal::CheckResult r = journal::checkJournal(*db);
            if (!r.intact) {
                err << "velmora-journal: " << QDir::toNativeSeparators(main) << ": " << r.problem
                    << "\n";
                err.flush();
                return 1;
            }
            out << QDir::toNativeSeparators(main) << ": the journal is intact (" << r.lines
                << " lines).\n";
            out.flush();
            return 0;
        }
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
