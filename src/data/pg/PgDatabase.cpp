// The engine's PostgreSQL back end: one connection per open data set, Jet SQL translated
// into PostgreSQL's dialect on the way in, rows materialised on the way out. Here: opening
// a data set and the session's start.
#include "PgDatabase.h"

#include "PgConnectionStart.h"

#include "PgDatabaseImpl.h"
#include "PgErrors.h"
#include "PgJetFunctions.h"
#include "PgJournal.h"
#include "PgLocation.h"
#include "PgRolePolicy.h"
#include "PgSessionStart.h"
#include "PgValues.h"
#include "data/DataFiles.h"

#include <QCoreApplication>
#include <QHash>
#include <QSysInfo>

#include <libpq-fe.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <utility>

namespace velmora::data {
namespace journal {
QString currentScreen();
}  // namespace journal
}  // namespace velmora::data

namespace velmora::data::pg {

namespace {

// The program named in the journal's lines: the application's name.
QString journalProgram() {
    const QString n = QCoreApplication::applicationName();
    return n.isEmpty() ? QStringLiteral("velmora") : n;
}

std::map<QString, std::weak_ptr<PgDatabase>>& openSets() {
    static std::map<QString, std::weak_ptr<PgDatabase>> sets;
    return sets;
}

// The session of each data set that no one holds any more, kept for the next open of it: a
// new session costs a connection, a login, and a process of the server's whose caches start
// empty. Screens and tools open a data set again and again. The sessions are kept until the
// program ends, whose end closes them (the map is never destroyed, so that a session let go
// while the program's statics are destroyed still has a place to go).
// A process forked from this one (a test's workstations) finds the sessions in its copy of
// the map; their connections are the parent's, whose socket it shares. It must neither use
// nor close them (closing says goodbye to the server on the parent's behalf): it leaves them
// be, unreachable.
struct IdleSession {
    std::shared_ptr<PgDatabase> db;
    pid_t owner = 0;  // the process that made the connection
};
struct IdleSessions {
    std::mutex mutex;
    std::map<QString, IdleSession> sessions;

    // The session of the key, taken out of the map; none when there is none or it is
    // another process's.
    std::shared_ptr<PgDatabase> take(const QString& key) {
        const auto it = sessions.find(key);
        if (it == sessions.end())
            return nullptr;
        IdleSession found = std::move(it->second);
        sessions.erase(it);
        if (found.owner == ::getpid())
            return std::move(found.db);
        new IdleSession(std::move(found));  // another process's: left be, never closed here
        return nullptr;
    }
};
IdleSessions& idleSessions() {
    static auto* idle = new IdleSessions;
    return *idle;
}

// The session as an open hands it out: when its last holder lets it go, it joins the idle
// ones if it can serve another open.
std::shared_ptr<PgDatabase> handedOut(const QString& key, std::shared_ptr<PgDatabase> db) {
    PgDatabase* session = db.get();
    std::shared_ptr<PgDatabase> handle(session, [key, db = std::move(db)](PgDatabase*) mutable {
        if (!db->idle())
            return;
        IdleSessions& idle = idleSessions();
        const std::lock_guard lock(idle.mutex);
        idle.take(key);  // an earlier session of the key is closed
        idle.sessions[key] = IdleSession{std::move(db), ::getpid()};
    });
    openSets()[key] = handle;
    return handle;
}

// The idle session of a data set, taken up again as a new one; none when there is none, or
// when it can no longer serve (the data set gone, the server unreachable): a new session
// then tells why.
std::shared_ptr<PgDatabase> resumedSession(const QString& key) {
    std::shared_ptr<PgDatabase> db;
    {
        IdleSessions& idle = idleSessions();
        const std::lock_guard lock(idle.mutex);
        db = idle.take(key);
    }
    if (!db)
        return nullptr;
    try {
        db->resumeSession();
        if (db->openSchema())
            return db;
    } catch (const DbError&) {
    }
    return nullptr;
}

}  // namespace

QString PgDatabase::whyReadOnly() const {
    if (!readOnly_)
        return {};
    return QStringLiteral("the database role '%1' may only read %2")
        .arg(QString::fromUtf8(PQuser(conn_.get())), where());
}

void PgDatabase::setUpSession(const start::StartedSession* started) {
    const QString searchPath =
        QStringLiteral("%1, %2").arg(postgresName(loc_.schema), QLatin1String(kPgJetSchema));
    if (started && !started->row.empty() && !loc_.schema.isEmpty() &&
        QString::fromStdString(started->schema) == loc_.schema) {
        // The launcher started this session for this data set a moment ago and read what
        // the start reads: only the settings are the program's to set.
        run(sessionSettingsSql(),
            sessionSettingsArgs(searchPath, QSysInfo::machineHostName(), journalProgram()),
            QString(), false);
        facts_ = readSessionFacts(started->row);
    } else {
        facts_ = readSessionFacts(
            rows(sessionStartSql(),
                 sessionStartArgs(searchPath, QSysInfo::machineHostName(), journalProgram(),
                                  loc_.schema, kQueryTable, kNamesTable)));
    }
    catalog_.sessionStarted(facts_.hasQueryTable, facts_.hasNamesTable, facts_.tables);
    screenSet_.clear();
}

bool PgDatabase::idle() {
    PGconn* conn = connection();
    return depth_ == 0 && !lost_ && PQstatus(conn) == CONNECTION_OK &&
           PQtransactionStatus(conn) == PQTRANS_IDLE;
}

void PgDatabase::resumeSession() {
    catalog_.forget(false);
    rolesKnown_ = false;
    setUpSession();
}

void PgDatabase::tellScreen() {
    QString screen = journal::currentScreen();
    if (screen.isEmpty())
        screen = journalProgram();
    if (screen == screenSet_)
        return;
    run(QStringLiteral("SELECT set_config('velmora.screen', $1, false)"), {Value(screen)},
        QString(), false);
    screenSet_ = screen;
}

void PgDatabase::ensureJournal() {
    JournalInstallSession s;
    s.schema = loc_.schema;
    s.rows = [this](const QString& sql, const std::vector<Value>& args) { return rows(sql, args); };
    s.exec = [this](const QString& sql) { simple(sql, QString()); };
    s.spelled = [this](const QString& n) { return catalog_.spelled(n); };
    s.keepSpellings = [this](const QStringList& names) { catalog_.keepSpellings(names); };
    markCatalogChanged();
    pg::ensureJournal(s);
}

bool PgDatabase::schemaExists() {
    return rows(QStringLiteral("SELECT 1 FROM pg_namespace WHERE nspname = $1"),
                {Value(loc_.schema)})
               .size() > 0;
}

bool PgDatabase::openSchema() {
    if (!facts_.schemaExists)
        return false;
    checkAccess();
    if (facts_.functionsRevision != QLatin1String(kJetFunctionsRevision) ||
        facts_.journalRevision != QLatin1String(kJournalFunctionsRevision)) {
        try {
            installFunctions();
        } catch (const DbError&) {
        }
    }
    // A data set made before the server kept a journal gets it (with its rows as they
    // are) from the first session that may make it. Other data sets (the templates, the
    // settings) keep none, and their opens ask nothing more.
    if (!facts_.hasJournal && facts_.mayKeepJournal) {
        try {
            Transaction tx(*this);
            ensureJournal();
            tx.commit();
        } catch (const DbError&) {
        }
    } else if (facts_.journalLacksIndex) {
        // Once per data set: the index is built while the journal takes no new lines. A
        // workstation in the middle of a change is not waited for long: the index is then
        // left to a later open.
        try {
            Transaction tx(*this);
            markCatalogChanged();
            simple(QStringLiteral("SET LOCAL lock_timeout = '1s'; ") +
                       journalAircraftTimeIndexSql(loc_.schema),
                   QString());
            tx.commit();
        } catch (const DbError&) {
        }
    }
    return true;
}

void PgDatabase::installFunctions() {
    Transaction tx(*this);
    run(QStringLiteral("SELECT pg_advisory_xact_lock(1447840082)"), {}, QString(), false);
    simple(QString::fromUtf8(jetFunctionsSql()), QString());
    simple(QString::fromUtf8(journalFunctionsSql()), QString());
    tx.commit();
}

void PgDatabase::checkAccess() {
    if (!facts_.schemaExists)
        return;
    if (!facts_.mayUse)
        throw noPermission(QString::fromUtf8(PQuser(conn_.get())), where(),
                           QStringLiteral("it may not use the data set %1").arg(loc_.name));
    readOnly_ = !facts_.mayChange;
}

void PgDatabase::grantRolesOn(const QString& table) {
    if (!rolesKnown_) {
        const auto found = rows(rolesExistQuery(), {});
        rolesExist_ = !found.empty() && found.front()[0].toBool();
        rolesKnown_ = true;
    }
    if (!rolesExist_)
        return;
    for (const QString& statement : tableGrants(loc_.schema, postgresTableName(table))) {
        try {
            run(statement, {}, QString());
        } catch (const DbError&) {
            // Not the owner, or not one of the administrators: the grants it may give
            // are given.
        }
    }
}

QString PgDatabase::postgresTableName(const QString& jetName) {
    QString n = jetName.trimmed();
    if (n.startsWith(u'[') && n.endsWith(u']'))
        n = n.mid(1, n.size() - 2);
    return n.toLower();
}

bool PgDatabase::schemaHasTables() {
    return !rows(QStringLiteral("SELECT 1 FROM pg_tables WHERE schemaname = $1 AND tablename "
                                "<> $2 LIMIT 1"),
                 {Value(loc_.schema), Value(kNamesTable)})
                .empty();
}

void PgDatabase::createSchema() {
    Transaction tx(*this);
    installFunctions();
    run(QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1").arg(postgresName(loc_.schema)), {},
        QString(), false);
    catalog_.ensureNamesTable();
    tx.commit();
}

namespace {

QHash<QString, QString>& sessionPasswords() {
    static QHash<QString, QString> passwords;
    return passwords;
}

// A connection to the server of a URI, with the session's password for it if there is one.
StartedConnection connectToServer(const QString& uri) {
    return connectNow(uri, sessionPasswords().value(uri.trimmed()).toUtf8());
}

// A new session with the server, of its own, for the data set at the location.
std::shared_ptr<PgDatabase> connectTo(const Location& loc, const QString& location) {
    StartedConnection started = connectToServer(loc.uri);
    Connection& conn = started.conn;
    if (!conn || PQstatus(conn.get()) != CONNECTION_OK) {
        const QString why = conn ? QString::fromUtf8(PQerrorMessage(conn.get())).trimmed()
                                 : QStringLiteral("out of memory");
        throw DbError(err::ServerConnection,
                      QStringLiteral("Cannot connect to the database server at %1: %2")
                          .arg(shownLocation(loc.uri), why));
    }
    // The server's notices ("already exists, skipping") are no news for the user.
    PQsetNoticeProcessor(
        conn.get(), [](void*, const char*) {}, nullptr);
    auto db = std::make_shared<PgDatabase>(std::move(conn), loc, location.trimmed());
    db->setUpSession(&started.session);
    return db;
}

[[noreturn]] void throwNoDataSet(const Location& loc) {
    throw DbError(err::FileNotFound, QStringLiteral("There is no data set %1 in the database %2.")
                                         .arg(loc.name, shownLocation(loc.uri)));
}

}  // namespace

namespace {

QString setKey(const Location& loc) {
    return loc.uri + u'#' + loc.schema;
}

// The data set's session if this program has one at hand: open already, or idle in the pool.
std::shared_ptr<Database> sessionAtHand(const QString& key) {
    auto& sets = openSets();
    if (auto it = sets.find(key); it != sets.end()) {
        if (auto db = it->second.lock())
            return db;
    }
    if (auto db = resumedSession(key))
        return handedOut(key, std::move(db));
    return nullptr;
}

}  // namespace

std::shared_ptr<Database> openServerDatabase(const QString& location, bool create) {
    if (create)
        return createServerDataSet(location, {});
    const Location loc = parseLocation(location.trimmed());
    const QString key = setKey(loc);
    if (auto db = sessionAtHand(key))
        return db;
    auto db = connectTo(loc, location);
    if (!db->openSchema())
        throwNoDataSet(loc);
    return handedOut(key, std::move(db));
}

std::shared_ptr<Database> openServerDatabaseAtHand(const QString& location) noexcept {
    try {
        return sessionAtHand(setKey(parseLocation(location.trimmed())));
    } catch (...) {
        // Nothing at hand: the caller's own open connects, and reports what fails.
    }
    return nullptr;
}

std::shared_ptr<Database> createServerDataSet(const QString& location,
                                              const std::function<void(Database&)>& build) {
    const Location loc = parseLocation(location.trimmed());
    auto db = connectTo(loc, location);
    if (db->schemaExists() && db->schemaHasTables())
        throw DbError(err::ObjectExists,
                      QStringLiteral("Cannot create %1: it exists already.").arg(db->where()));
    {
        Transaction tx(*db);
        db->createSchema();
        if (build)
            build(*db);
        tx.commit();
    }
    return handedOut(setKey(loc), std::move(db));
}

void setSessionPassword(const QString& uri, const QString& password) {
    const QString key = serverUriOf(uri);
    if (password.isEmpty())
        sessionPasswords().remove(key);
    else
        sessionPasswords().insert(key, password);
}

bool serverNeedsPassword(const QString& location) {
    const QString uri = serverUriOf(location);
    if (!isServerLocation(uri) || holdsPassword(uri))
        return false;
    const Connection conn = connectToServer(uri).conn;
    return conn && PQstatus(conn.get()) != CONNECTION_OK && PQconnectionNeedsPassword(conn.get());
}

std::shared_ptr<Database> openServerReader(const QString& location) {
    const Location loc = parseLocation(location.trimmed());
    auto db = connectTo(loc, location);
    if (!db->schemaExisted())
        throwNoDataSet(loc);
    db->checkAccess();
    return db;
}

void carryJournal(Database& serverDb, bool on) {
    auto* db = dynamic_cast<PgDatabase*>(&serverDb);
    if (!db)
        return;
    db->rows(QStringLiteral("SELECT set_config('velmora.migration', $1, false)"),
             {Value(on ? QStringLiteral("on") : QString())});
}

void continueRowIds(Database& serverDb, const QString& table) {
    auto* db = dynamic_cast<PgDatabase*>(&serverDb);
    if (!db)
        return;
    const QString name = postgresName(table);
    db->rows(QStringLiteral("SELECT setval(pg_get_serial_sequence($1, $2), coalesce((SELECT "
                            "max(%1) FROM %2), 0) + 1, false)")
                 .arg(QLatin1String(kPgRowIdColumn), name),
             {Value(name), Value(QLatin1String(kPgRowIdColumn))});
}

}  // namespace velmora::data::pg
