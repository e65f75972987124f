#include "ComponentTestData.h"

#include "data/Recordset.h"
#include "data/TextKey.h"
#include "remaining/RemainingLifeQuery.h"
#include "support/TestFiles.h"

namespace velmora::testing {

std::map<QString, data::Value> remainingOnScreen(data::Database& db, const QString& reg,
                                                 const QString& partNumber) {
    std::map<QString, data::Value> out;
    auto rs = db.openRecordset(remaining::remainingLifeSql(reg, remaining::MeterView::Both));
    for (rs->moveFirst(); !rs->eof(); rs->moveNext()) {
        if (data::textKey(rs->value(QStringLiteral("PartNumber")).toString()) !=
            data::textKey(partNumber))
            continue;
        const QString basis = rs->value(QStringLiteral("LifeBasis")).toString();
        const QString meter = QString::number(rs->value(QStringLiteral("MeterNumber")).toInt());
        QString column;
        if (basis == u"RT")
            column = meter == u"1" ? QStringLiteral("TTtoRET") : QStringLiteral("TTtoRET2");
        else if (basis == u"OH")
            column = meter == u"1" ? QStringLiteral("TTtoOH") : QStringLiteral("TTtoOH2");
        else if (basis == u"IN")
            column = meter == u"1" ? QStringLiteral("TTtoIN") : QStringLiteral("TTtoIN2");
        else if (basis == u"LD")
            column = QStringLiteral("LNDtoRET");
        else if (basis == u"CY")
            column = QStringLiteral("CYCtoRET");
        else if (basis == u"RN")
            column = QStringLiteral("RINtoRET");
        else
            column = QStringLiteral("MTHStoRT");
        const bool timed = basis == u"RT" || basis == u"OH" || basis == u"IN";
        out[basis + (timed ? meter : QString())] = rs->value(column);
    }
    return out;
}

int rowCount(data::Database& db, const QString& table) {
    auto rs = db.openRecordset(QStringLiteral("select Count(*) from [%1]").arg(table));
    return static_cast<int>(rs->rows().front().values[0].toInt());
}

void addGearboxLimit(data::Database& db, const QString& basis, double life, double left,
                     double acHours) {
    addPart(db, part("N1", 7)
                    .withBasis(basis)
                    .withLife(life, left, acHours)
                    .installedOn("2025-01-01")
                    .asUnit("GB-1", "S1")
                    .describedAs("Gearbox"));
}

void addEngineLimit(data::Database& db, const QString& basis, double life, double left,
                    double acHours) {
    addPart(db, part("N1", 9)
                    .withMeter(2)
                    .withBasis(basis)
                    .withLife(life, left, acHours)
                    .installedOn("2025-02-01")
                    .asUnit("ENG-2", "E9")
                    .describedAs("Engine"));
}

}  // namespace velmora::testing
