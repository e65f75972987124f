// The column types of later ACE files: Large Number (64-bit whole numbers) and Date/Time
// Extended (dates to the 100 nanoseconds from the year 1). Both are read from the row's own
// bytes and kept exactly: Large Number as a 64-bit number column, Date/Time Extended as a
// date column where every value fits one, else as exact text, with a finding.
#include "data/Database.h"
#include "data/Recordset.h"
#include "legacy/ExtendedDate.h"
#include "legacy/FileConversion.h"
#include "legacy/MemoryTableSource.h"
#include "legacy/ValueConversion.h"
#include "support/TestFiles.h"

#include <QDate>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::legacy;
using velmora::testing::TestFolder;

namespace {

// The 42 bytes a row holds for a Date/Time Extended value.
QByteArray stored(qint64 days, qint64 ticks) {
    QByteArray b = QStringLiteral("%1:%2:7")
                       .arg(days, 19, 10, QLatin1Char('0'))
                       .arg(ticks, 19, 10, QLatin1Char('0'))
                       .toLatin1();
    b.append('\0');
    return b;
}

SourceValue extended(int y, int m, int d, qint64 secondOfDay, qint64 fraction = 0) {
    return SourceValue::extendedDate(QDate(1, 1, 1).daysTo(QDate(y, m, d)) * kTicksPerDay +
                                     secondOfDay * kTicksPerSecond + fraction);
}

QString declaredType(const QString& file, const QString& table, const QString& column) {
    QString out;
    data::Database::open(file)->forEachRow(
        QStringLiteral("SELECT type FROM pragma_table_info('%1') WHERE name = '%2'")
            .arg(table, column),
        {}, [&](const std::vector<data::Value>& row) { out = row[0].toString(); });
    return out;
}

}  // namespace

TEST(ExtendedDate, TheStoredTextReadsAsTicksAndBackExactly) {
    // 2021-06-14 22:45:12.3456789 and 0100-06-14 12:45:00.1234567, as Access writes them.
    const QByteArray late = stored(737954, 819123456789);
    const auto ticks = parseExtendedDate(late.constData(), late.size());
    ASSERT_TRUE(ticks.has_value());
    EXPECT_EQ(extendedDateText(*ticks), "2021-06-14 22:45:12.3456789");
    const QByteArray early = stored(36323, 459001234567);
    EXPECT_EQ(extendedDateText(*parseExtendedDate(early.constData(), early.size())),
              "0100-06-14 12:45:00.1234567");
    const QByteArray first = stored(0, 0);
    EXPECT_EQ(extendedDateText(*parseExtendedDate(first.constData(), first.size())),
              "0001-01-01 00:00:00.0000000");
    const QByteArray last = stored(3652058, kTicksPerDay - 1);
    EXPECT_EQ(extendedDateText(*parseExtendedDate(last.constData(), last.size())),
              "9999-12-31 23:59:59.9999999");

    // Damage: too short, not digits, a day after 9999-12-31, a time beyond the day's end.
    for (const QByteArray& bad :
         {late.left(30), QByteArray(late).replace(3, 1, "x"), stored(3652059, 0),
          stored(1, kTicksPerDay), QByteArray(42, '\0'), QByteArray(42, '9')})
        EXPECT_FALSE(parseExtendedDate(bad.constData(), bad.size()).has_value()) << bad.data();
}

TEST(ExtendedDate, ADateColumnWhenEveryValueFitsOne) {
    TestFolder folder;
    MemoryTableSource source(QStringLiteral("ACE 17 (in memory)"));
    source.addTable("Flights",
                    {column("ID", JetType::Long), column("Landed", JetType::DateTimeExtended)},
                    {{SourceValue::integer(1), extended(2021, 6, 14, 45900)},
                     {SourceValue::integer(2), extended(100, 1, 1, 0)},
                     {SourceValue::integer(3), {}}});
    const QString dest = folder.file("flights.mdb");
    const ConversionReport report = convertSource(source, "flights.accdb", dest, {});
    EXPECT_FALSE(report.anythingSkipped()) << report.text().toStdString();
    EXPECT_EQ(declaredType(dest, "Flights", "Landed"), "DATETIME");
    auto rs = data::Database::open(dest)->openRecordset(
        "SELECT Landed FROM Flights WHERE Landed > #1/1/2000# ORDER BY ID");
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->value("Landed").toString(), "2021-06-14 12:45:00");
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
}

TEST(ExtendedDate, ExactTextWithAFindingWhenAValueDoesNotFitADateColumn) {
    TestFolder folder;
    for (const auto& [misfit, why] :
         {std::pair{extended(2021, 6, 14, 81912, 3456789), "a fraction of a second in row 2"},
          std::pair{extended(99, 12, 31, 0), "a date before the year 100 in row 2"}}) {
        SCOPED_TRACE(why);
        MemoryTableSource source(QStringLiteral("ACE 17 (in memory)"));
        source.addTable("Flights",
                        {column("ID", JetType::Long), column("Landed", JetType::DateTimeExtended)},
                        {{SourceValue::integer(1), extended(2021, 6, 14, 45900)},
                         {SourceValue::integer(2), misfit}});
        const QString dest = folder.file(QStringLiteral("%1.mdb").arg(why));
        const ConversionReport report = convertSource(source, "flights.accdb", dest, {});
        EXPECT_TRUE(report.anythingSkipped());
        ASSERT_EQ(report.tables.size(), 1u);
        EXPECT_EQ(report.tables[0].rowsWritten, 2);
        EXPECT_EQ(report.tables[0].datesAsText,
                  QStringList(QStringLiteral("Landed (%1)").arg(why)));
        EXPECT_TRUE(report.text().contains("Date/Time Extended columns kept as text"));
        EXPECT_TRUE(declaredType(dest, "Flights", "Landed").startsWith("TEXT"));
        auto rs =
            data::Database::open(dest)->openRecordset("SELECT Landed FROM Flights ORDER BY ID");
        EXPECT_EQ(rs->value("Landed").toString(), "2021-06-14 12:45:00.0000000");
        rs->moveNext();
        EXPECT_EQ(rs->value("Landed").toString(), misfit.exactText());
    }
}

TEST(ExtendedDate, AVelmoraDateColumnKeepsTheWholeSecondsWithANote) {
    SourceValue v = extended(2021, 6, 14, 81912, 3456789);
    data::FieldType date;
    date.kind = data::FieldType::Kind::Date;
    const StoredValue s = toStoredValue(v, date, "LastDone");
    EXPECT_EQ(s.value.toString(), "2021-06-14 22:45:12");
    EXPECT_TRUE(s.problem.contains("keeps whole seconds")) << s.problem.toStdString();
    const StoredValue early = toStoredValue(extended(99, 1, 1, 0), date, "LastDone");
    EXPECT_TRUE(early.value.isNull());
    EXPECT_FALSE(early.problem.isEmpty());
}

TEST(LargeNumber, EverySixtyFourBitNumberIsKeptExactly) {
    TestFolder folder;
    MemoryTableSource source(QStringLiteral("ACE 16 (in memory)"));
    const std::int64_t beyondDouble = (std::int64_t{1} << 53) + 1;
    source.addTable("Counts", {column("ID", JetType::Long), column("N", JetType::BigInt)},
                    {{SourceValue::integer(1), SourceValue::integer(beyondDouble)},
                     {SourceValue::integer(2), SourceValue::integer(INT64_MIN)},
                     {SourceValue::integer(3), SourceValue::integer(42)}});
    const QString dest = folder.file("counts.mdb");
    const ConversionReport report = convertSource(source, "counts.accdb", dest, {});
    EXPECT_FALSE(report.anythingSkipped()) << report.text().toStdString();
    EXPECT_EQ(declaredType(dest, "Counts", "N"), "BIGINT");
    auto rs = data::Database::open(dest)->openRecordset("SELECT N FROM Counts ORDER BY ID");
    EXPECT_EQ(rs->value("N").type(), data::Value::Type::Integer);
    EXPECT_EQ(rs->value("N").toInt(), beyondDouble);
    rs->moveNext();
    EXPECT_EQ(rs->value("N").toInt(), INT64_MIN);
    rs->moveNext();
    EXPECT_EQ(rs->value("N").toInt(), 42);
}
