#include "JournalWords.h"

#include "data/Journal.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>

namespace velmora::journal {

namespace dj = data::journal;

namespace {

QString folded(const QString& s) {
    return s.toCaseFolded();
}

// The screens and dialogs that write, by the name the journal gives them.
const QHash<QString, QString>& captions() {
    static const QHash<QString, QString> c = {
        {folded(QStringLiteral("frmAircraft")), QStringLiteral("Aircraft Set-up")},
        {folded(QStringLiteral("frmRemain")), QStringLiteral("Time and Cycles Remaining")},
        {folded(QStringLiteral("frmOilAnalysis")), QStringLiteral("Oil Analysis")},
        {folded(QStringLiteral("frmJournal")), QStringLiteral("Journal")},
        {folded(QStringLiteral("frmDueList")), QStringLiteral("Due List")},
        {folded(QStringLiteral("frmCompanyInfo")), QStringLiteral("Company Set-up")},
        {folded(QStringLiteral("frmMenuVelmora")), QStringLiteral("Main Menu")},
        {folded(QStringLiteral("PlannedUseDialog")), QStringLiteral("Planned Use")},
        {folded(QStringLiteral("OilLimitsDialog")), QStringLiteral("Oil Limits")},
        {folded(QStringLiteral("WarningLevelsDialog")), QStringLiteral("Warning Levels")},
    };
    return c;
}

// Columns by the labels the screens give them; the key is "table.column", folded.
const QHash<QString, QString>& columnLabels() {
    static const QHash<QString, QString> c = [] {
        QHash<QString, QString> m;
        auto add = [&m](const char* table,
                        std::initializer_list<std::pair<const char*, const char*>> columns) {
            for (const auto& [column, label] : columns)
                m.insert(folded(QLatin1String(table) + u'.' + QLatin1String(column)),
                         QString::fromUtf8(label));
        };
        add("Aircraft", {{"RegNum", "Registration #"},
                         {"Serial Number", "Serial Number"},
                         {"Make", "A/C Make"},
                         {"Model", "Model"},
                         {"Year", "Year"},
                         {"Engine1Serial", "Engine 1 Serial #"},
                         {"Engine2Serial", "Engine 2 Serial #"},
                         {"Owner", "Owner"},
                         {"CurrentMeter1", "Current Meter #1"},
                         {"CurrentMeter2", "Current Meter #2"},
                         {"LastMeter1", "Last Counted Meter #1"},
                         {"LastMeter2", "Last Counted Meter #2"},
                         {"TotalTime", "Airframe Time"},
                         {"TotalTime2", "Meter #2 Time"},
                         {"TotalLandings", "Landings"},
                         {"TotalCycles", "Cycles"},
                         {"TotalRIN", "RIN"},
                         {"ForecastMeter1", "Forecast Meter #1"},
                         {"ForecastMeter2", "Forecast Meter #2"},
                         {"ForecastMonths", "Forecast Months"},
                         {"ForecastCycles", "Forecast Cycles"},
                         {"ForecastLandings", "Forecast Landings"},
                         {"ForecastRIN", "Forecast RIN"}});
        for (const char* table : {"Parts", "Oil", "PlannedUtilisation"})
            add(table, {{"RegNum", "Registration #"}});
        add("Parts", {{"ItemNumber", "Item #"},
                      {"MeterNumber", "Meter"},
                      {"Active", "Installed"},
                      {"Description", "Component Name"},
                      {"PartNumber", "Part Number"},
                      {"Serial#", "Serial #"},
                      {"DatePurchased", "Date Purchased"},
                      {"ReplaceCost", "Cost to Replace"},
                      {"ReservePerHour", "Reserve Per Hour"},
                      {"LifeNumber", "Service Life"},
                      {"LifeBasis", "Type"},
                      {"InstallDate", "Install Date"},
                      {"InstallTimeLeft", "Component at Install"},
                      {"InstallACHour", "A/C Total at Install"},
                      {"OilAnalysis", "Oil Analysis"}});
        add("Oil", {{"DatePerformed", "Date"}, {"EngineHrs", "Engine Hours"}});
        add("PlannedUtilisation", {{"Meter1PerDay", "Meter #1 Hours a Day"},
                                   {"Meter2PerDay", "Meter #2 Hours a Day"},
                                   {"LandingsPerDay", "Landings a Day"},
                                   {"CyclesPerDay", "Cycles a Day"},
                                   {"RINPerDay", "RIN a Day"}});
        return m;
    }();
    return c;
}

bool isYesNoColumn(const QString& column) {
    static const QStringList yesNo = {
        QStringLiteral("Active"),        QStringLiteral("OilAnalysis"),
        QStringLiteral("TrackLandings"), QStringLiteral("TrackCycles"),
        QStringLiteral("TrackRIN"),      QStringLiteral("HobbsVSTach"),
        QStringLiteral("ShowPurchase"),  QStringLiteral("ShowInspection"),
        QStringLiteral("ShowAssembly"),  QStringLiteral("ShowManufacturer"),
        QStringLiteral("ShowCost"),      QStringLiteral("ShowRIN"),
        QStringLiteral("ShowCycles"),    QStringLiteral("ShowLandings")};
    return yesNo.contains(column, Qt::CaseInsensitive);
}

bool isTable(const QString& table, const char* name) {
    return table.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// A whole row's values, as the journal keeps them (a JSON object of column to text), in
// words: the columns that hold something, in the row's order.
QString rowWords(const QString& table, const data::Value& json) {
    const QJsonDocument doc = QJsonDocument::fromJson(json.toString().toUtf8());
    if (!doc.isObject())
        return json.toString();
    QStringList parts;
    const QJsonObject o = doc.object();
    // QJsonObject sorts its keys; the journal wrote them in the table's order, which the
    // text still has.
    const QString text = json.toString();
    QStringList keys = o.keys();
    std::sort(keys.begin(), keys.end(), [&text](const QString& a, const QString& b) {
        return text.indexOf(u'"' + a + u'"') < text.indexOf(u'"' + b + u'"');
    });
    for (const QString& key : keys) {
        const QJsonValue v = o.value(key);
        if (v.isNull() || v.toString().isEmpty())
            continue;
        parts << QStringLiteral("%1 %2").arg(columnWords(table, key),
                                             valueWords(table, key, data::Value(v.toString())));
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace

QString screenCaption(const QString& screen) {
    return captions().value(folded(screen), screen);
}

QString columnWords(const QString& table, const QString& column) {
    const auto it = columnLabels().constFind(folded(table + u'.' + column));
    if (it != columnLabels().constEnd())
        return *it;
    // A name of joined words: a blank before each capital that follows a small letter.
    QString out;
    for (qsizetype i = 0; i < column.size(); ++i) {
        if (i > 0 && column[i].isUpper() && column[i - 1].isLower())
            out += u' ';
        out += column[i];
    }
    return out;
}

QString valueWords(const QString& table, const QString& column, const data::Value& value) {
    Q_UNUSED(table);
    if (value.isNull())
        return QStringLiteral("(empty)");
    const QString text = value.toString();
    if (isYesNoColumn(column)) {
        if (text == u"-1" || text == u"1")
            return QStringLiteral("Yes");
        if (text == u"0")
            return QStringLiteral("No");
    }
    return text;
}

QString subjectWords(const JournalLine& line) {
    const QString& t = line.tableName;
    if (t == dj::kFileEvent)
        return QStringLiteral("Data file");
    const QString of = line.regNum.isEmpty() ? QString() : QStringLiteral(" of ") + line.regNum;
    if (isTable(t, "Aircraft"))
        return line.regNum.isEmpty() ? QStringLiteral("Aircraft")
                                     : QStringLiteral("Aircraft ") + line.regNum;
    if (isTable(t, "Parts"))
        return QStringLiteral("Component %1%2").arg(line.itemNumber, of);
    if (isTable(t, "Oil"))
        return QStringLiteral("Oil sample") + of;
    if (isTable(t, "PlannedUtilisation"))
        return QStringLiteral("Planned use") + of;
    return t + of;
}

QString columnChangeWords(const QString& table, const QString& column, const data::Value& before,
                          const data::Value& after) {
    return QStringLiteral("%1: %2 → %3")
        .arg(columnWords(table, column), valueWords(table, column, before),
             valueWords(table, column, after));
}

QString changeWords(const JournalLine& line) {
    const QString& c = line.columnName;
    if (line.tableName == dj::kFileEvent) {
        if (c == dj::kRestored)
            return QStringLiteral("Restored from the backup %1").arg(line.newValue.toString());
        return QStringLiteral("%1 %2").arg(c, line.newValue.toString());
    }
    if (c == dj::kRowAdded)
        return QStringLiteral("Added: ") + rowWords(line.tableName, line.newValue);
    if (c == dj::kRowRemoved)
        return QStringLiteral("Deleted: ") + rowWords(line.tableName, line.oldValue);
    if (c == dj::kRowPresent)
        return QStringLiteral("There when the journal began: ") +
               rowWords(line.tableName, line.newValue);
    return columnChangeWords(line.tableName, c, line.oldValue, line.newValue);
}

}  // namespace velmora::journal
