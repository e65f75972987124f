#include "TargetKind.h"

#include <QFileInfo>

namespace velmora::legacy {

namespace {

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
    switch (kind) {
        case TargetKind::Company:
            return QStringLiteral("the company settings file (CompanyInfo)");
        case TargetKind::Main:
            return QStringLiteral("the main data file (Aircraft, Parts, Oil)");
        case TargetKind::Templates:
            return QStringLiteral("the template library (Aircraft and one table per make)");
        case TargetKind::Other:
            break;
    }
    return QStringLiteral("a database without Velmora's tables: every table copied as it is");
}

QStringList knownTables(TargetKind kind) {
    switch (kind) {
        case TargetKind::Company:
            return {QStringLiteral("CompanyInfo")};
        case TargetKind::Main:
            return {QStringLiteral("Aircraft"), QStringLiteral("Parts"), QStringLiteral("Oil")};
        case TargetKind::Templates:
            return {QStringLiteral("Aircraft")};
        case TargetKind::Other:
            break;
    }
    return {};
}

}  // namespace velmora::legacy
