#include "ComponentCommand.h"

#include "ComponentOptions.h"
#include "components/ComponentEvents.h"
#include "components/ComponentMoves.h"
#include "components/ComponentRead.h"
#include "components/ComponentTables.h"
#include "components/RecordCard.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "export/TableOutput.h"
#include "export/TablePrinter.h"

#include <QDateTime>
#include <QDir>
#include <QTextStream>

namespace velmora::componenttool {

namespace {

const QString kProgram = QStringLiteral("velmora-component");

int usageError(QTextStream& err, const QString& message) {
    err << kProgram << ": " << message
        << "\nTry 'velmora-component --help' for more information.\n";
    err.flush();
    return 2;
}

int fail(QTextStream& err, const QString& message) {
    err << kProgram << ": " << message << "\n";
    err.flush();
    return 1;
}

// Writes a table as CSV (standard output or --csv OUT) or as PDF.
int writeTable(const ComponentOptions& o, const QAbstractItemModel& model, const QString& title,
               const QString& subtitle, QTextStream& out, QTextStream& err) {
    if (const auto failure =
            exporting::writeTableOutput({o.pdf, o.csv}, model, title, subtitle, out))
        return fail(err, failure->text);
    return 0;
}

// A date given as YYYY-MM-DD; today when none is given.
bool readDate(const QString& text, QDate* out) {
    if (text.trimmed().isEmpty()) {
        *out = QDate::currentDate();
        return true;
    }
    *out = QDate::fromString(text.trimmed(), Qt::ISODate);
    return out->isValid();
}

void report(const components::ComponentEvent& e, QTextStream& out) {
    out << e.key.label() << " " << e.kind << " on " << e.date.toString(Qt::ISODate);
    if (!e.regNum.isEmpty())
        out << (e.kind == components::kRemoved ? " from " : " on ") << e.regNum;
    out << ": " << components::lifeText(e) << "\n";
    out.flush();
}

int runRemove(const ComponentOptions& o, data::Database& db, const QDate& date, QTextStream& out,
              QTextStream& err) {
    components::Removal r;
    r.key = {o.pn, o.sn};
    r.regNum = o.reg;
    r.date = date;
    r.reason = o.reason;
    r.reference = o.ref;
    if (!o.to.isEmpty()) {
        const auto l = components::locationFrom(o.to);
        if (!l)
            return usageError(err,
                              QStringLiteral("--to takes one of: %1")
                                  .arg(components::locationTexts().join(QStringLiteral(", "))));
        r.location = *l;
    }
    report(components::removeComponent(db, r, QDate::currentDate()), out);
    return 0;
}

int runInstall(const ComponentOptions& o, data::Database& db, const QDate& date, QTextStream& out) {
    components::Installation in;
    in.key = {o.pn, o.sn};
    in.regNum = o.reg;
    in.itemNumber = o.item;
    in.meter = o.meter;
    in.date = date;
    in.reference = o.ref;
    in.acceptReachedLimits = o.acceptReached;
    report(components::installComponent(db, in, QDate::currentDate()), out);
    return 0;
}

int runOverhaul(const ComponentOptions& o, data::Database& db, const QDate& date,
                QTextStream& out) {
    components::Overhaul ov;
    ov.key = {o.pn, o.sn};
    ov.date = date;
    if (!o.kind.isEmpty())
        ov.kind = o.kind.trimmed().toLower();
    ov.resetBases = o.reset;
    ov.reason = o.reason;
    ov.reference = o.ref;
    report(components::overhaulComponent(db, ov, QDate::currentDate()), out);
    return 0;
}

QString printedNow() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

}  // namespace

const cli::ProgramHelp& componentHelp() {
    static const cli::ProgramHelp help{
        kProgram,
        {QStringLiteral("remove --data DIR_OR_URI --reg REG --pn PN --sn SN --reason TEXT\n"
                        "[--date YYYY-MM-DD] [--to WHERE] [--ref REFERENCE]"),
         QStringLiteral("install --data DIR_OR_URI --reg REG --pn PN --sn SN --item N\n"
                        "[--meter 1|2] [--date YYYY-MM-DD] [--ref REFERENCE] [--accept-reached]"),
         QStringLiteral("overhaul --data DIR_OR_URI --pn PN --sn SN [--reset BASIS]...\n"
                        "[--kind overhauled|inspected|repaired] [--date YYYY-MM-DD]\n"
                        "[--reason TEXT] [--ref REFERENCE]"),
         QStringLiteral("stores --data DIR_OR_URI [--csv OUT | --pdf OUT]"),
         QStringLiteral("history --data DIR_OR_URI --pn PN --sn SN [--csv OUT | --pdf OUT]")},
        QStringLiteral(
            "Moves components, known by part number and serial number, between the aircraft\n"
            "of the data folder's Timemgr.mdb (or a server's data set) and the stores.\n"
            "remove takes a component off its aircraft into the stores with the life used\n"
            "of each of its limits; install fits it from the stores to an aircraft with that\n"
            "life carried over, so what remains is what remained at removal (a months limit\n"
            "keeps counting from its date: shelf time counts); overhaul records an overhaul,\n"
            "inspection or repair of a component off its aircraft, setting the life used of\n"
            "the limits named back to zero. stores lists the components off their aircraft\n"
            "and what remains of each limit; history lists a component's events from new.\n"
            "Each change is one transaction, journalled with who made it.\n"),
        {
            {QStringLiteral("data"),
             {},
             QStringLiteral("DIR_OR_URI"),
             QStringLiteral("the data folder that holds Timemgr.mdb, or a server's URI")},
            {QStringLiteral("reg"), {}, QStringLiteral("REG"), QStringLiteral("the aircraft")},
            {QStringLiteral("pn"), {}, QStringLiteral("PN"), QStringLiteral("the part number")},
            {QStringLiteral("sn"), {}, QStringLiteral("SN"), QStringLiteral("the serial number")},
            {QStringLiteral("date"),
             {},
             QStringLiteral("YYYY-MM-DD"),
             QStringLiteral("the day of the event (today when not given)")},
            {QStringLiteral("reason"),
             {},
             QStringLiteral("TEXT"),
             QStringLiteral("remove: life reached, overhaul, inspection, defect: ..., to "
                            "another aircraft")},
            {QStringLiteral("to"),
             {},
             QStringLiteral("WHERE"),
             QStringLiteral("remove: stores serviceable (the default), stores unserviceable, "
                            "shop or scrapped")},
            {QStringLiteral("ref"),
             {},
             QStringLiteral("REFERENCE"),
             QStringLiteral("work order or release certificate number")},
            {QStringLiteral("item"),
             {},
             QStringLiteral("N"),
             QStringLiteral("install: the item number on the aircraft")},
            {QStringLiteral("meter"),
             {},
             QStringLiteral("1|2"),
             QStringLiteral("install: the time meter that drives its hours (1 by default)")},
            {QStringLiteral("accept-reached"),
             {},
             QString(),
             QStringLiteral("install: fit it although a limit is reached")},
            {QStringLiteral("reset"),
             {},
             QStringLiteral("BASIS"),
             QStringLiteral("overhaul: a limit (OH, IN, RT, ...) whose life used starts again")},
            {QStringLiteral("kind"),
             {},
             QStringLiteral("KIND"),
             QStringLiteral("overhaul: overhauled (the default), inspected or repaired")},
            {QStringLiteral("csv"),
             {},
             QStringLiteral("OUT"),
             QStringLiteral("write CSV into OUT instead of standard output")},
            {QStringLiteral("pdf"),
             {},
             QStringLiteral("OUT"),
             QStringLiteral("write the printed list into OUT as PDF")},
        },
        QStringLiteral("Exit status: 0 done; 1 refused (the reason on standard error, nothing\n"
                       "written), or the data or the output cannot be read or written; 2 a "
                       "wrong\ncommand line.\n")};
    return help;
}

int runComponentCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    ComponentOptions o;
    if (const auto failure = readComponentOptions(arguments, &o))
        return usageError(err, failure->text);
    QDate date;
    if (!readDate(o.date, &date))
        return usageError(err, QStringLiteral("--date takes YYYY-MM-DD, not '%1'").arg(o.date));
    const QString dataPath = data::dataPathOf(o.data);
    if (data::isMissingFolder(dataPath))
        return fail(err, QStringLiteral("the data folder %1 does not exist")
                             .arg(QDir::toNativeSeparators(o.data)));
    const QString main =
        data::resolvePathCaseInsensitive(data::dataFileName(dataPath, data::files::kMain));
    try {
        auto db = data::Database::open(main);
        if (o.command == u"remove")
            return runRemove(o, *db, date, out, err);
        if (o.command == u"install")
            return runInstall(o, *db, date, out);
        if (o.command == u"overhaul")
            return runOverhaul(o, *db, date, out);
        if (o.command == u"stores") {
            const auto stores = components::readStores(*db);
            const auto table = components::storesTable(stores);
            return writeTable(
                o, *table, QStringLiteral("Components in Stores"),
                QStringLiteral("%1 components, printed %2").arg(stores.size()).arg(printedNow()),
                out, err);
        }
        const components::ComponentKey key{o.pn, o.sn};
        if (!o.pdf.isEmpty()) {
            // The printed history is the component's record card.
            const components::RecordCard card = components::readRecordCard(*db, key);
            if (card.events.empty())
                return fail(err, QStringLiteral("%1 is neither on an aircraft nor in stores, and "
                                                "has no history")
                                     .arg(key.label()));
            const auto print = components::recordCardPrint(card, QDateTime::currentDateTime());
            if (const auto failure = exporting::writeTablePdf(print->job, o.pdf))
                return fail(err, failure->text);
            return 0;
        }
        const auto events = components::readHistory(*db, key);
        if (events.empty())
            return fail(err, QStringLiteral("%1 is neither on an aircraft nor in stores, and has "
                                            "no history")
                                 .arg(key.label()));
        const auto table = components::historyTable(events);
        return writeTable(
            o, *table, QStringLiteral("Component Record - ") + events.back().key.label(),
            QStringLiteral("%1 events, printed %2").arg(events.size()).arg(printedNow()), out, err);
    } catch (const data::DbError& e) {
        return fail(err, QStringLiteral("%1 (error %2)").arg(e.text()).arg(e.code()));
    }
}

}  // namespace velmora::componenttool
