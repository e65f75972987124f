#include "Schema.h"

#include "DataFiles.h"
#include "Database.h"
#include "JetSqlTranslator.h"
#include "Recordset.h"
#include "pg/PgDatabase.h"

#include <QFile>
#include <QStringList>

namespace velmora::data::schema {

namespace {

const QStringList kCompanyTables = {
    QStringLiteral("CREATE TABLE CompanyInfo (Name TEXT(50), Phone TEXT(16), PathData TEXT(255), "
                   "PathLogo TEXT(255))"),
};

const QStringList kMainTables = {
    QStringLiteral(
        "CREATE TABLE Aircraft (RegNum TEXT(10), [Serial Number] TEXT(50), Make TEXT(50), "
        "Model TEXT(50), [Year] TEXT(50), Engine1Serial TEXT(50), Engine2Serial TEXT(50), "
        "Owner MEMO, CurrentMeter1 DOUBLE, CurrentMeter2 DOUBLE, LastMeter1 DOUBLE, "
        "LastMeter2 DOUBLE, TotalTime DOUBLE, TotalTime2 DOUBLE, TotalLandings LONG, "
        "TotalCycles LONG, TotalRIN LONG, TrackLandings YESNO, TrackCycles YESNO, "
        "TrackRIN YESNO, HobbsVSTach YESNO, ForecastMeter1 DOUBLE, ForecastMeter2 DOUBLE, "
        "ForecastMonths DOUBLE, ForecastCycles DOUBLE, ForecastLandings DOUBLE, "
        "ForecastRIN DOUBLE, ShowPurchase YESNO, ShowInspection YESNO, ShowAssembly YESNO, "
        "ShowManufacturer YESNO, ShowCost YESNO, ShowRIN YESNO, ShowCycles YESNO, "
        "ShowLandings YESNO)"),
    QStringLiteral("CREATE INDEX AircraftRegNum ON Aircraft (RegNum)"),
    QStringLiteral(
        "CREATE TABLE Parts (RegNum TEXT(10), ItemNumber LONG, MeterNumber SHORT, "
        "Active YESNO, Assembly TEXT(255), Description TEXT(255), PartNumber TEXT(50), "
        "[Serial#] TEXT(50), DatePurchased DATETIME, Manufacturer TEXT(255), "
        "Inspection TEXT(255), ReplaceCost CURRENCY, ReservePerHour CURRENCY, "
        "LifeNumber DOUBLE, LifeBasis TEXT(50), InstallDate DATETIME, InstallTimeLeft DOUBLE, "
        "InstallACHour DOUBLE, Notes MEMO, OilAnalysis YESNO)"),
    QStringLiteral("CREATE INDEX PartsRegNum ON Parts (RegNum, ItemNumber)"),
    QStringLiteral(
        "CREATE TABLE Oil (RegNum TEXT(10), Component TEXT(255), DatePerformed DATETIME, "
        "Iron DOUBLE, Chromium DOUBLE, Nickel DOUBLE, Aluminum DOUBLE, Lead DOUBLE, "
        "Copper DOUBLE, Tin DOUBLE, Silver DOUBLE, Titanium DOUBLE, Silicon DOUBLE, "
        "Boron DOUBLE, Sodium DOUBLE, Potassium DOUBLE, Molybdenum DOUBLE, "
        "Phosphorus DOUBLE, Zinc DOUBLE, Calcium DOUBLE, Barium DOUBLE, Magnesium DOUBLE, "
        "Antimony DOUBLE, Vanadium DOUBLE, EngineHrs DOUBLE)"),
    QStringLiteral("CREATE INDEX OilSamples ON Oil (RegNum, Component, DatePerformed)"),
};

const QStringList kTemplateTables = {
    QStringLiteral("CREATE TABLE Aircraft (Make TEXT(50), Model TEXT(50))"),
    QStringLiteral("CREATE INDEX AircraftMake ON Aircraft (Make, Model)"),
};

template <typename Fill>
void createFile(const QString& path, const QStringList& statements, Fill fill) {
    auto build = [&](Database& db) {
        for (const QString& s : statements)
            db.execute(s);
        fill(db);
    };
    // On a server the data set's schema is made in the same transaction as its tables and
    // rows: a failure leaves the database as it was.
    if (isServerLocation(path)) {
        pg::createServerDataSet(path, build);
        return;
    }
    auto db = Database::create(path);
    try {
        Transaction tx(*db);
        build(*db);
        tx.commit();
    } catch (...) {
        db.reset();
        QFile::remove(path);
        throw;
    }
}

const QStringList& tablesOf(DataFile kind) {
    switch (kind) {
        case DataFile::Company:
            return kCompanyTables;
        case DataFile::Main:
            return kMainTables;
        case DataFile::Templates:
            break;
    }
    return kTemplateTables;
}

}  // namespace

void createDataFile(const QString& path, DataFile kind,
                    const std::function<void(Database&)>& fill) {
    createFile(path, tablesOf(kind), [&](Database& db) {
        if (fill)
            fill(db);
    });
}

void createCompanyFile(const QString& path, const QString& dataPath) {
    createFile(path, kCompanyTables, [&](Database& db) {
        auto rs = db.openRecordset(QStringLiteral("CompanyInfo"));
        rs->addNew();
        rs->setValue(QStringLiteral("Name"), Value(QString()));
        rs->setValue(QStringLiteral("Phone"), Value(QString()));
        rs->setValue(QStringLiteral("PathData"), Value(dataPath));
        rs->update();
    });
}

void createMainFile(const QString& path, const std::function<void(Database&)>& addMore) {
    createFile(path, kMainTables, [&](Database& db) {
        if (addMore)
            addMore(db);
    });
}

void createTemplateFile(const QString& path) {
    createFile(path, kTemplateTables, [](Database&) {});
}

QString templateTableStatement(const QString& make) {
    return QStringLiteral("CREATE TABLE ") + quoteJetName(make) +
           QStringLiteral(
               "(ItemNumber INTEGER,Model TEXT, Year INTEGER, Manufacturer TEXT, "
               "Description TEXT, PartNum TEXT, Assembly TEXT, TBO SINGLE, "
               "Basis TEXT, Cost CURRENCY);");
}

}  // namespace velmora::data::schema
