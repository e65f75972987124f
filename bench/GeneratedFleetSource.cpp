#include "GeneratedFleetSource.h"

#include "legacy/OleDate.h"

namespace velmora::bench {

namespace {

using legacy::column;
using legacy::JetType;
using legacy::SourceValue;

QString registration(qint64 aircraft) {
    return QStringLiteral("N%1").arg(aircraft + 10000, 5, 10, QLatin1Char('0'));
}

double oleDay(int year, int month, int day) {
    return legacy::dateTimeToOleDate(QDateTime(QDate(year, month, day), QTime(0, 0), Qt::UTC));
}

}  // namespace

legacy::MemoryTableSource generatedFleetSource(int aircraft, int componentsEach) {
    legacy::MemoryTableSource source(QStringLiteral("Jet 4 (generated)"));
    source.addGeneratedTable(
        QStringLiteral("Aircraft"),
        {column("RegNum", JetType::Text, 10), column("Make", JetType::Text, 50),
         column("Model", JetType::Text, 50), column("Year", JetType::Text, 50),
         column("CurrentMeter1", JetType::Double), column("TotalTime", JetType::Double),
         column("TotalTime2", JetType::Double), column("TotalLandings", JetType::Long),
         column("TotalCycles", JetType::Long), column("ShowCost", JetType::YesNo)},
        aircraft, [](qint64 i, legacy::MemoryTableSource::Row* row) {
            *row = {SourceValue::text(registration(i)),
                    SourceValue::text("Bell"),
                    SourceValue::text("206B"),
                    SourceValue::text("1998"),
                    SourceValue::real(1200.5 + static_cast<double>(i)),
                    SourceValue::real(1200.5 + static_cast<double>(i)),
                    SourceValue(),
                    SourceValue::integer(i * 3),
                    SourceValue::integer(i * 2),
                    SourceValue::yesNo(i % 2 == 0)};
        });
    const double purchased = oleDay(1995, 3, 1), installed = oleDay(2004, 6, 15);
    static const char* const kBases[] = {"RT", "OH", "IN", "MO", "LD", "CY", "RN"};
    // The texts a component list repeats, made once: the source should cost little next to
    // the conversion it feeds.
    QStringList registrations, descriptions, partNumbers, assemblies, makers;
    for (int a = 0; a < aircraft; ++a)
        registrations << registration(a);
    for (int item = 1; item <= componentsEach; ++item) {
        descriptions << QStringLiteral("Component %1").arg(item);
        partNumbers << QStringLiteral("PN-%1").arg(item);
        assemblies << QStringLiteral("Assembly %1").arg(item % 40);
        makers << QStringLiteral("Maker %1").arg(item % 25);
    }
    source.addGeneratedTable(
        QStringLiteral("Parts"),
        {column("RegNum", JetType::Text, 10),
         column("ItemNumber", JetType::Long),
         column("MeterNumber", JetType::Integer),
         column("Active", JetType::YesNo),
         column("Assembly", JetType::Text, 255),
         column("Description", JetType::Text, 255),
         column("PartNumber", JetType::Text, 50),
         column("Serial#", JetType::Text, 50),
         column("DatePurchased", JetType::DateTime),
         column("Manufacturer", JetType::Text, 255),
         column("Inspection", JetType::Text, 255),
         column("ReplaceCost", JetType::Currency),
         column("ReservePerHour", JetType::Currency),
         column("LifeNumber", JetType::Double),
         column("LifeBasis", JetType::Text, 50),
         column("InstallDate", JetType::DateTime),
         column("InstallTimeLeft", JetType::Double),
         column("InstallACHour", JetType::Double),
         column("Notes", JetType::Memo),
         column("OilAnalysis", JetType::YesNo)},
        static_cast<qint64>(aircraft) * componentsEach,
        [=](qint64 i, legacy::MemoryTableSource::Row* row) {
            const qint64 plane = i / componentsEach, item = i % componentsEach + 1;
            row->assign(20, SourceValue());
            const auto at = static_cast<qsizetype>(item - 1);
            (*row)[0] = SourceValue::text(registrations[static_cast<qsizetype>(plane)]);
            (*row)[1] = SourceValue::integer(item);
            (*row)[2] = SourceValue::integer(item % 5 == 0 ? 2 : 1);
            (*row)[3] = SourceValue::yesNo(item % 17 != 0);
            (*row)[4] = SourceValue::text(assemblies[at]);
            (*row)[5] = SourceValue::text(descriptions[at]);
            (*row)[6] = SourceValue::text(partNumbers[at]);
            (*row)[7] = SourceValue::text(QStringLiteral("SN") + QString::number(i));
            (*row)[8] = SourceValue::dateTime(purchased + static_cast<double>(item % 3000));
            (*row)[9] = SourceValue::text(makers[at]);
            (*row)[10] = item % 3 == 0 ? SourceValue() : SourceValue::text("100 hour");
            (*row)[11] = SourceValue::currency(12345678 + item * 10001);
            (*row)[12] = SourceValue::currency(item * 125);
            (*row)[13] = SourceValue::real(static_cast<double>(500 + item % 3000));
            (*row)[14] = SourceValue::text(QString::fromLatin1(kBases[item % 7]));
            (*row)[15] = SourceValue::dateTime(installed + static_cast<double>(item % 700));
            (*row)[16] = SourceValue::real(static_cast<double>(item % 100) / 4);
            (*row)[17] = SourceValue::real(1000.25 + static_cast<double>(item % 500));
            (*row)[18] =
                item % 10 == 0 ? SourceValue::text("Inspected, no findings.") : SourceValue();
            (*row)[19] = SourceValue::yesNo(item % 50 == 0);
        });
    return source;
}

}  // namespace velmora::bench
