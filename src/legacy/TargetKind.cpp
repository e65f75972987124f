#include "TargetKind.h"

#include "data/ConstantTable.h"

#include <QFileInfo>

namespace velmora::legacy {

namespace {

// Each kind of file: how it is described, and Velmora's own tables in it (by name, separated
// by blanks). Other, last, for any other value.
struct KindRow {
    TargetKind kind;
    const char* description;
    const char* tables;
};

constexpr std::array<KindRow, 4> kKinds = {{
    {TargetKind::Company, "the company settings file (CompanyInfo)", "CompanyInfo"},
    {TargetKind::Main, "the main data file (Aircraft, Parts, Oil)", "Aircraft Parts Oil"},
    {TargetKind::Templates, "the template library (Aircraft and one table per make)", "Aircraft"},
    {TargetKind::Other, "a database without Velmora's tables: every table copied as it is", ""},
}};

const SourceTable* tableNamed(const std::vector<SourceTable>& tables, const QString& name) {
    for (const SourceTable& t : tables) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

bool hasColumn(const SourceTable& t, const QString& name) {
    for (const SourceColumn& c : t.columns) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace

const QStringList& templateColumns() {
    static const QStringList columns = {
        QStringLiteral("ItemNumber"),   QStringLiteral("Model"),       QStringLiteral("Year"),
        QStringLiteral("Manufacturer"), QStringLiteral("Description"), QStringLiteral("PartNum"),
        QStringLiteral("Assembly"),     QStringLiteral("TBO"),         QStringLiteral("Basis"),
        QStringLiteral("Cost")};
    return columns;
}

TargetKind guessTargetKind(const QString& fileName, const std::vector<SourceTable>& tables) {
    if (tableNamed(tables, QStringLiteral("CompanyInfo")))
        return TargetKind::Company;
    if (tableNamed(tables, QStringLiteral("Parts")) || tableNamed(tables, QStringLiteral("Oil")))
        return TargetKind::Main;
    if (const SourceTable* aircraft = tableNamed(tables, QStringLiteral("Aircraft"))) {
        if (hasColumn(*aircraft, QStringLiteral("RegNum")))
            return TargetKind::Main;
        if (hasColumn(*aircraft, QStringLiteral("Make")) &&
            hasColumn(*aircraft, QStringLiteral("Model")))
            return TargetKind::Templates;
    }
    if (!tables.empty())
        return TargetKind::Other;
    const QString name = QFileInfo(fileName).fileName();
    if (name.compare(QLatin1String("SetupPP.mdb"), Qt::CaseInsensitive) == 0)
        return TargetKind::Company;
    if (name.compare(QLatin1String("TimeMgr.mdb"), Qt::CaseInsensitive) == 0)
        return TargetKind::Main;
    if (name.compare(QLatin1String("HeliPart.mdb"), Qt::CaseInsensitive) == 0)
        return TargetKind::Templates;
    return TargetKind::Other;
}

QString describeTargetKind(TargetKind kind) {
    return QString::fromLatin1(data::rowFor(kKinds, &KindRow::kind, kind).description);
}

QStringList knownTables(TargetKind kind) {
    return QString::fromLatin1(data::rowFor(kKinds, &KindRow::kind, kind).tables)
        .split(u' ', Qt::SkipEmptyParts);
}

}  // namespace velmora::legacy
