// Converting sources shaped like the program's three data files, kept in memory (there is
// no Jet writer to make such files): Velmora's tables are filled column by column, names
// matched without regard to letter case, and what cannot be stored is reported.
#include "data/Recordset.h"
#include "legacy/FileConversion.h"
#include "legacy/MemoryTableSource.h"
#include "legacy/OleDate.h"
#include "reportfiles/ReportQueries.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::legacy;
using velmora::testing::TestFolder;
using Row = MemoryTableSource::Row;

namespace {

SourceValue text(const char* s) {
    return SourceValue::text(QString::fromUtf8(s));
}

SourceValue date(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    return SourceValue::dateTime(
        dateTimeToOleDate(QDateTime(QDate(y, m, d), QTime(hh, mm, ss), Qt::UTC)));
}

SourceValue money(const char* amount) {
    // The stored form: the amount times 10,000, taken from its decimal text exactly.
    const QString s = QString::fromLatin1(amount);
    const QString whole = s.section(u'.', 0, 0), fraction = s.section(u'.', 1, 1);
    const qint64 units =
        whole.toLongLong() * 10000 +
        (whole.startsWith(u'-') ? -1 : 1) * fraction.leftJustified(4, u'0').toLongLong();
    return SourceValue::currency(units);
}

const SourceValue kNull;

ConversionOptions mainFileOptions() {
    ConversionOptions o;
    o.completeMainFile = [](data::Database& db) { reports::ensureReportQueries(db); };
    return o;
}

std::unique_ptr<data::Recordset> rowsOf(const QString& file, const QString& source) {
    return data::Database::open(file)->openRecordset(source);
}

const TableReport* tableReport(const ConversionReport& r, const QString& source) {
    for (const TableReport& t : r.tables) {
        if (t.source == source)
            return &t;
    }
    return nullptr;
}

// A TimeMgr.mdb as the earlier program kept it, with table and column names in other
// letter cases, a column Velmora does not have and a table of the operator's own.
MemoryTableSource mainDataSource() {
    MemoryTableSource s;
    s.addTable("AIRCRAFT",
               {column("regnum", JetType::Text, 10), column("Serial Number", JetType::Text, 50),
                column("MAKE", JetType::Text, 50), column("Model", JetType::Text, 50),
                column("Year", JetType::Integer), column("Owner", JetType::Memo),
                column("CurrentMeter1", JetType::Double), column("TotalTime", JetType::Double),
                column("TotalLandings", JetType::Long), column("ForecastMeter1", JetType::Single),
                column("ShowCost", JetType::YesNo), column("showrin", JetType::YesNo),
                column("HangarSlot", JetType::Text, 8)},
               {{text("N123AB"), text("SN-1"), text("Bell"), text("206B"),
                 SourceValue::integer(1998), text("O'Brien \"Heli\" Services\r\nBox 7"),
                 SourceValue::real(1234.5), kNull, kNull, SourceValue::single(12.1f),
                 SourceValue::yesNo(true), SourceValue::yesNo(false), text("B-4")}});
    s.addTable(
        "Parts",
        {column("RegNum", JetType::Text, 10), column("ItemNumber", JetType::Long),
         column("MeterNumber", JetType::Integer), column("Active", JetType::YesNo),
         column("Description", JetType::Text, 255), column("DatePurchased", JetType::DateTime),
         column("ReplaceCost", JetType::Currency), column("ReservePerHour", JetType::Currency),
         column("LifeNumber", JetType::Double), column("LifeBasis", JetType::Text, 50),
         column("InstallDate", JetType::DateTime), column("Notes", JetType::Memo),
         column("OilAnalysis", JetType::YesNo)},
        {{text("N123AB"), SourceValue::integer(1), SourceValue::integer(1),
          SourceValue::yesNo(true), text("Main rotor \"Mk II\" blade, O'Neil"), date(100, 1, 1),
          money("12345678.9012"), kNull, SourceValue::real(1200), text("RT"),
          date(2005, 1, 31, 14, 30, 0), text("line one\nline two"), SourceValue::yesNo(false)},
         {text("N123AB"), SourceValue::integer(2), SourceValue::integer(2),
          SourceValue::yesNo(false), text("Engine"), date(9999, 12, 31, 23, 59, 59),
          money("-0.0001"), money("0.5"), SourceValue::real(3500), text("OH"), kNull, kNull,
          SourceValue::yesNo(true)}});
    s.addTable("oil",
               {column("RegNum", JetType::Text, 10), column("Component", JetType::Text, 255),
                column("DatePerformed", JetType::DateTime), column("Iron", JetType::Double),
                column("EngineHrs", JetType::Double)},
               {{text("N123AB"), text("Engine"), date(2004, 6, 1), SourceValue::real(2.5), kNull}});
    s.addTable("Hangars",
               {column("Name", JetType::Text, 20), column("Plan", JetType::OleObject),
                column("Rent", JetType::Currency)},
               {{text("North"), SourceValue::binary(QByteArray("\x00\x01\xff\x00zz", 6)),
                 money("950.25")}});
    s.addQuery("Installed parts", "SELECT * FROM Parts WHERE Active = Yes");
    s.addQuery("Remaining", "SELECT RegNum FROM Aircraft");
    s.addQuery("Due soon", "", "an update query, which is not carried over");
    return s;
}

}  // namespace

TEST(KnownTables, MainDataFileIsFilledColumnByColumn) {
    TestFolder folder;
    MemoryTableSource source = mainDataSource();
    const QString dest = folder.file("Timemgr.mdb");
    const ConversionReport report = convertSource(source, "TimeMgr.mdb", dest, mainFileOptions());
    EXPECT_EQ(report.fileKind, describeTargetKind(TargetKind::Main));

    auto aircraft = rowsOf(dest, "Aircraft");
    ASSERT_EQ(aircraft->recordCount(), 1);
    EXPECT_EQ(aircraft->value("RegNum"), data::Value("N123AB"));
    EXPECT_EQ(aircraft->value("Serial Number"), data::Value("SN-1"));
    EXPECT_EQ(aircraft->value("Year"), data::Value("1998"));  // a number kept as Velmora's text
    EXPECT_EQ(aircraft->value("Owner"), data::Value("O'Brien \"Heli\" Services\r\nBox 7"));
    EXPECT_EQ(aircraft->value("CurrentMeter1"), data::Value(1234.5));
    EXPECT_TRUE(aircraft->value("TotalTime").isNull());
    EXPECT_TRUE(aircraft->value("TotalLandings").isNull());
    EXPECT_TRUE(aircraft->value("LastMeter1").isNull());              // not in the source
    EXPECT_EQ(aircraft->value("ForecastMeter1"), data::Value(12.1));  // the single's digits
    EXPECT_EQ(aircraft->value("ShowCost"), data::Value(-1));
    EXPECT_EQ(aircraft->value("ShowRIN"), data::Value(0));
    EXPECT_EQ(aircraft->value("HangarSlot"), data::Value("B-4"));

    auto parts =
        data::Database::open(dest)->openRecordset("SELECT * FROM [Parts] ORDER BY [ItemNumber]");
    ASSERT_EQ(parts->recordCount(), 2);
    EXPECT_EQ(parts->value("Description"), data::Value("Main rotor \"Mk II\" blade, O'Neil"));
    EXPECT_EQ(parts->value("DatePurchased"), data::Value("0100-01-01"));
    EXPECT_EQ(parts->value("ReplaceCost"), data::Value(12345678.9012));
    EXPECT_TRUE(parts->value("ReservePerHour").isNull());
    EXPECT_EQ(parts->value("InstallDate"), data::Value("2005-01-31 14:30:00"));
    EXPECT_EQ(parts->value("Active"), data::Value(-1));
    EXPECT_EQ(parts->value("OilAnalysis"), data::Value(0));
    EXPECT_EQ(parts->value("Notes"), data::Value("line one\nline two"));
    parts->moveNext();
    EXPECT_EQ(parts->value("DatePurchased"), data::Value("9999-12-31 23:59:59"));
    EXPECT_EQ(parts->value("ReplaceCost"), data::Value(-0.0001));
    EXPECT_EQ(parts->value("ReservePerHour"), data::Value(0.5));
    EXPECT_EQ(parts->value("MeterNumber"), data::Value(2));
    // The engine reads the converted values as its own: dates compare and money adds up.
    auto sums = rowsOf(dest,
                       "SELECT Count(*) AS n, Sum([ReplaceCost]) AS cost FROM [Parts] "
                       "WHERE [DatePurchased] < #1/1/2000#");
    EXPECT_EQ(sums->value("n"), data::Value(1));
    EXPECT_EQ(rowsOf(dest, "Oil")->value("DatePerformed"), data::Value("2004-06-01"));

    // Tables of the operator's own, and binary data, are kept as they are.
    auto hangars = rowsOf(dest, "Hangars");
    EXPECT_EQ(hangars->value("Plan"), data::Value(std::string("\x00\x01\xff\x00zz", 6)));
    EXPECT_EQ(hangars->value("Rent"), data::Value(950.25));

    // The reports' data sources are Velmora's; the file's own query of that name is kept
    // under another.
    auto db = data::Database::open(dest);
    EXPECT_EQ(db->queryDefSql("Remaining"), reports::remainingReportSql());
    EXPECT_EQ(db->queryDefSql("Remaining (Jet)"), "SELECT RegNum FROM Aircraft");
    EXPECT_EQ(db->openRecordset("Installed parts")->recordCount(), 1);
    EXPECT_FALSE(db->hasQueryDef("Due soon"));
    EXPECT_EQ(db->openRecordset("Remaining")->recordCount(), 1);  // installed components

    ASSERT_NE(tableReport(report, "AIRCRAFT"), nullptr);
    EXPECT_EQ(tableReport(report, "AIRCRAFT")->target, "Aircraft");
    EXPECT_EQ(tableReport(report, "AIRCRAFT")->columnsKept, QStringList{"HangarSlot"});
    EXPECT_TRUE(tableReport(report, "AIRCRAFT")->columnsAbsent.contains("LastMeter1"));
    EXPECT_EQ(tableReport(report, "Parts")->rowsRead, 2);
    EXPECT_EQ(tableReport(report, "Parts")->rowsWritten, 2);
    EXPECT_EQ(tableReport(report, "Hangars")->treatment, "copied unchanged");
    EXPECT_EQ(report.valueProblemCount(), 0);
    // Only the update query was left out.
    EXPECT_TRUE(report.anythingSkipped());
    EXPECT_TRUE(
        report.text().contains("not kept: Due soon (an update query, which is not "
                               "carried over)"));
    EXPECT_TRUE(report.text().contains("kept as Remaining (Jet): Remaining"));
}

TEST(KnownTables, CompanyFileHoldsTheSourceRowOnly) {
    TestFolder folder;
    MemoryTableSource source;
    source.addTable(
        "companyinfo",
        {column("NAME", JetType::Text, 50), column("Phone", JetType::Text, 16),
         column("PathData", JetType::Text, 100), column("PathLogo", JetType::Text, 100)},
        {{text("Heli-Lift \"North\" Ltd."), text("555 0100"), text("C:\\FLEET\\"), kNull}});
    const QString dest = folder.file("SetupPP.mdb");
    const ConversionReport report = convertSource(source, "old.mdb", dest, {});
    EXPECT_EQ(report.fileKind, describeTargetKind(TargetKind::Company));
    auto company = rowsOf(dest, "CompanyInfo");
    ASSERT_EQ(company->recordCount(), 1);
    EXPECT_EQ(company->value("Name"), data::Value("Heli-Lift \"North\" Ltd."));
    EXPECT_EQ(company->value("PathData"), data::Value("C:\\FLEET\\"));
    EXPECT_TRUE(company->value("PathLogo").isNull());
    EXPECT_FALSE(report.anythingSkipped()) << report.text().toStdString();
    EXPECT_TRUE(report.text().endsWith("Everything was converted.\n"));
}

TEST(KnownTables, TemplateLibraryKeepsItsIndexAndTheMakesTables) {
    TestFolder folder;
    MemoryTableSource source;
    source.addTable("Aircraft",
                    {column("Make", JetType::Text, 50), column("Model", JetType::Text, 50)},
                    {{text("Bell"), text("206B")}, {text("ROBINSON"), text("R44")}});
    const std::vector<SourceColumn> templateColumns = {
        column("ItemNumber", JetType::Long),  column("Model", JetType::Text),
        column("Year", JetType::Integer),     column("Manufacturer", JetType::Text),
        column("Description", JetType::Text), column("PartNum", JetType::Text),
        column("Assembly", JetType::Text),    column("TBO", JetType::Single),
        column("Basis", JetType::Text),       column("Cost", JetType::Currency)};
    source.addTable("Bell", templateColumns,
                    {{SourceValue::integer(1), text("206B"), SourceValue::integer(1998),
                      text("Bell"), text("Tail rotor 'TR' hub"), text("206-011"), text("Rotor"),
                      SourceValue::single(1200.5f), text("RT"), money("8450.75")}});
    // Listed in the index in another letter case.
    source.addTable("robinson", templateColumns,
                    {{SourceValue::integer(1), text("R44"), kNull, kNull, text("Clutch"), kNull,
                      kNull, SourceValue::single(2200), text("OH"), kNull}});
    // Not in the index, but a template table by its columns.
    source.addTable("Cessna", templateColumns, {});
    source.addTable("Notes", {column("Text", JetType::Memo)}, {{text("kept")}});

    const QString dest = folder.file("HeliPart.mdb");
    const ConversionReport report = convertSource(source, "x.mdb", dest, {});
    EXPECT_EQ(report.fileKind, describeTargetKind(TargetKind::Templates));
    EXPECT_EQ(rowsOf(dest, "select * from [Aircraft] Order by [Make]")->recordCount(), 2);
    // Read as the template functions read a model's template.
    auto bell = rowsOf(dest,
                       "Select [ItemNumber],[Model],[Year],[Manufacturer],[Description],[TBO],"
                       "[PartNum],[Assembly],[Basis],[Cost] from Bell where [Model]='206B'");
    ASSERT_EQ(bell->recordCount(), 1);
    EXPECT_EQ(bell->value("Description"), data::Value("Tail rotor 'TR' hub"));
    EXPECT_EQ(bell->value("TBO"), data::Value(1200.5));
    EXPECT_EQ(bell->value("Cost"), data::Value(8450.75));
    EXPECT_EQ(bell->value("Year"), data::Value(1998));
    EXPECT_EQ(rowsOf(dest, "robinson")->value("TBO"), data::Value(2200));
    EXPECT_EQ(tableReport(report, "robinson")->treatment, "template table of make robinson");
    EXPECT_EQ(tableReport(report, "Cessna")->treatment, "template table of make Cessna");
    EXPECT_EQ(tableReport(report, "Notes")->treatment, "copied unchanged");
    EXPECT_EQ(rowsOf(dest, "Notes")->value("Text"), data::Value("kept"));
}

TEST(KnownTables, ValuesThatCannotBeStoredAreReportedAndLeftEmpty) {
    TestFolder folder;
    MemoryTableSource source;
    source.addTable(
        "Parts",
        {column("RegNum", JetType::Text, 50), column("ItemNumber", JetType::Double),
         column("DatePurchased", JetType::DateTime), column("Description", JetType::OleObject),
         column("ReplaceCost", JetType::Currency), column("LifeNumber", JetType::Decimal),
         column("Notes", JetType::Memo), column("Photos", JetType::Complex)},
        {{text("N12345678901"), SourceValue::real(3.5), SourceValue::dateTime(3000000.5),
          SourceValue::binary("ab"), SourceValue::currency(std::int64_t{1} << 60),
          SourceValue::decimal("12345678901234567.25"),
          SourceValue::unreadable("the memo cannot be read: its chain of pages is broken"),
          kNull}});
    const QString dest = folder.file("Timemgr.mdb");
    const ConversionReport report = convertSource(source, "TimeMgr.mdb", dest, {});

    auto parts = rowsOf(dest, "Parts");
    ASSERT_EQ(parts->recordCount(), 1);  // the row is kept with what could be stored
    EXPECT_TRUE(parts->value("RegNum").isNull());
    EXPECT_EQ(parts->value("ItemNumber"), data::Value(4));
    EXPECT_TRUE(parts->value("DatePurchased").isNull());
    EXPECT_TRUE(parts->value("Description").isNull());
    EXPECT_EQ(parts->value("ReplaceCost"), data::Value(115292150460684.6976));
    EXPECT_EQ(parts->value("LifeNumber"), data::Value(12345678901234567.25));
    EXPECT_TRUE(parts->value("Notes").isNull());

    EXPECT_EQ(report.valueProblemCount(), 7);
    std::map<QString, ValueProblem> byColumn;
    for (const ValueProblem& p : report.valueProblems()) {
        EXPECT_EQ(p.table, "Parts");
        EXPECT_EQ(p.row, 1);
        byColumn[p.column] = p;
    }
    EXPECT_EQ(byColumn["RegNum"].raw, "N12345678901");
    EXPECT_TRUE(byColumn["RegNum"].reason.contains("too long"))
        << byColumn["RegNum"].reason.toStdString();
    EXPECT_EQ(byColumn["ItemNumber"].reason,
              "column 'ItemNumber' takes a whole number: stored as 4");
    EXPECT_EQ(byColumn["DatePurchased"].raw, "date number 3000000.5");
    EXPECT_TRUE(byColumn["DatePurchased"].reason.startsWith("not a date Velmora can keep"));
    EXPECT_EQ(byColumn["Description"].raw, "2 bytes");
    EXPECT_EQ(byColumn["ReplaceCost"].raw, "115292150460684.6976");
    EXPECT_TRUE(byColumn["ReplaceCost"].reason.startsWith("the amount has more digits"));
    EXPECT_TRUE(byColumn["LifeNumber"].reason.startsWith("the number has more than fifteen"));
    EXPECT_EQ(byColumn["Notes"].reason, "the memo cannot be read: its chain of pages is broken");
    ASSERT_EQ(report.skipped.size(), 1u);
    EXPECT_EQ(report.skipped[0].what, "column Photos of table Parts");
    const QString text = report.text();
    EXPECT_TRUE(text.contains("Values not converted as they were (7):"));
    EXPECT_TRUE(
        text.contains("  Parts, row 1, column DatePurchased: date number 3000000.5: "
                      "not a date Velmora can keep"));
    EXPECT_TRUE(report.anythingSkipped());
}

TEST(KnownTables, FileKindIsToldByItsTablesThenByItsName) {
    auto table = [](const char* name, std::vector<SourceColumn> cols = {}) {
        SourceTable t;
        t.name = name;
        t.columns = std::move(cols);
        return t;
    };
    EXPECT_EQ(guessTargetKind("TimeMgr.mdb", {table("COMPANYINFO")}), TargetKind::Company);
    EXPECT_EQ(guessTargetKind("x.mdb", {table("oil")}), TargetKind::Main);
    EXPECT_EQ(guessTargetKind("x.mdb", {table("Aircraft", {column("RegNum", JetType::Text)})}),
              TargetKind::Main);
    EXPECT_EQ(guessTargetKind("x.mdb", {table("Aircraft", {column("make", JetType::Text),
                                                           column("MODEL", JetType::Text)})}),
              TargetKind::Templates);
    EXPECT_EQ(guessTargetKind("HeliPart.mdb", {table("Customers")}), TargetKind::Other);
    EXPECT_EQ(guessTargetKind("/old/HELIPART.MDB", {}), TargetKind::Templates);
    EXPECT_EQ(guessTargetKind("setuppp.mdb", {}), TargetKind::Company);
    EXPECT_EQ(guessTargetKind("other.mdb", {}), TargetKind::Other);
}

TEST(KnownTables, NamesTheNewFileCannotTakeAreReportedNotCopied) {
    TestFolder folder;
    MemoryTableSource source;
    source.addTable("_StoredQueries", {column("Name", JetType::Text)}, {{text("x")}});
    source.addTable("Odd]Name", {column("A", JetType::Text)}, {{text("x")}});
    source.addTable("_Archive",
                    {column("Item", JetType::Long), column("ITEM", JetType::Long),
                     column("Files", JetType::Complex), column("Bad]Column", JetType::Text)},
                    {{SourceValue::integer(1), SourceValue::integer(2), kNull, text("x")}});
    source.addTable("Attachments", {column("Files", JetType::Complex)}, {{kNull}});
    const QString dest = folder.file("other.mdb");
    const ConversionReport report = convertSource(source, "other.mdb", dest, {});

    EXPECT_EQ(tableReport(report, "_StoredQueries")->target, "");
    EXPECT_EQ(tableReport(report, "_StoredQueries")->treatment,
              "not copied: its name is kept for Velmora's own use");
    EXPECT_EQ(tableReport(report, "Odd]Name")->treatment,
              "not copied: its name contains ']', which a Velmora name cannot hold");
    EXPECT_EQ(tableReport(report, "Attachments")->treatment,
              "not copied: none of its columns can be kept");
    auto archive = rowsOf(dest, "_Archive");
    ASSERT_EQ(archive->fieldCount(), 1);
    EXPECT_EQ(archive->value("Item"), data::Value(1));
    QStringList skipped;
    for (const SkippedItem& s : report.skipped)
        skipped << s.what + ": " + s.reason;
    EXPECT_EQ(skipped,
              QStringList({"column ITEM of table _Archive: another column has the same name but "
                           "for letter case",
                           "column Files of table _Archive: an attachment or multi-valued field: "
                           "its values are kept in hidden tables that cannot be read",
                           "column Bad]Column of table _Archive: its name contains ']', which a "
                           "Velmora name cannot hold"}));
    EXPECT_FALSE(data::Database::open(dest)->hasTable("Attachments"));
    EXPECT_TRUE(report.anythingSkipped());
}
