// The register read from and written to CSV: the documented template imports as it is,
// bad lines are named by their line numbers and nothing is imported unless asked to skip
// them, numbers and revisions are not taken twice, and the program's own file reads back
// as it was written.
#include "TaskTestData.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "tasks/RegisterCsv.h"
#include "tasks/TaskStore.h"
#include "tasks/TaskWrites.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::tasks;

namespace {

const QByteArray kHeader =
    "Kind,Number,Revision,EffectiveDate,AppliesTo,Make,Model,PartNumber,IntervalHours,"
    "IntervalMonths,ThresholdHours,Notes\r\n";

QByteArray templateFile() {
    QFile f(QStringLiteral(VELMORA_DOCS_DIR "/task-register-template.csv"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

QStringList badLines(const std::vector<BadLine>& bad) {
    QStringList out;
    for (const BadLine& b : bad)
        out << QStringLiteral("%1: %2").arg(b.line).arg(b.problem);
    return out;
}

TEST(RegisterCsvFile, TheTemplateReadsWithoutABadLine) {
    const RegisterFile file = readRegisterCsv(templateFile());
    EXPECT_TRUE(file.bad.empty()) << badLines(file.bad).join(u'\n').toStdString();
    ASSERT_EQ(file.tasks.size(), 5u);
    const Task& ad = file.tasks[2];
    EXPECT_EQ(ad.label(), "AD 2025-04-07 R1");
    EXPECT_EQ(ad.serials, "1001-1500; 2001..");
    EXPECT_EQ(ad.threshold[slot(Parameter::Hours)], 50.0);
    EXPECT_EQ(ad.interval[slot(Parameter::Months)], 12.0);
    const Task& part = file.tasks[3];
    EXPECT_EQ(part.appliesTo, AppliesTo::Part);
    EXPECT_EQ(part.thresholdFrom, ThresholdFrom::New);
    EXPECT_FALSE(part.isRecurring());
    EXPECT_EQ(file.tasks[4].tolerance[slot(Parameter::Landings)], 25.0);
}

TEST(RegisterCsvFile, BadLinesAreNamedByTheLineTheyBeginOn) {
    const QByteArray csv = kHeader +
                           "AD,1,,2025-01-01,MODEL,Bell,,,100,,,\r\n"
                           "AD,2,,2025-01-01,MODEL,Bell,,,0,,,\r\n"  // line 3
                           "XX,3,,2025-01-01,MODEL,Bell,,,,,,\r\n"   // line 4
                           "AD,4,,2025-01-01,MODEL,Bell,,,100,,,\"two\r\nlines\"\r\n"
                           "AD,5,,31/01/2025,MODEL,Bell,,,100,,,\r\n"    // line 7
                           "AD,6,,2025-01-01,MODEL,Bell,,,-5,1.5,,\r\n"  // line 8
                           "\r\n"
                           "ad,1,,2025-01-01,MODEL,Bell,,,100,,,\r\n"         // line 10
                           "AD,7,,2025-01-01,PART,,,,100,,,\r\n"              // line 11
                           "AD,8,,2025-01-01,MODEL,Bell,,,100,,,,extra\r\n";  // line 12
    const RegisterFile file = readRegisterCsv(csv);
    EXPECT_EQ(badLines(file.bad),
              QStringList({"3: The interval in hours must be more than 0 (it is 0).",
                           "4: Kind \"XX\" is none of AD, SB, INSP.",
                           "7: EffectiveDate \"31/01/2025\" is not a date (YYYY-MM-DD).",
                           "8: The interval in hours must be more than 0 (it is -5). The "
                           "interval in months must be a whole number of months (it is 1.5).",
                           "10: The number 1 without a revision is on line 2 already.",
                           "11: The task applies to a part but names no part number.",
                           "12: The line has 13 fields, the header 12."}));
    ASSERT_EQ(file.tasks.size(), 2u);
    EXPECT_EQ(file.lines, std::vector<int>({2, 5}));
    EXPECT_EQ(file.tasks[1].notes, "two\r\nlines");
}

TEST(RegisterCsvFile, AFileThatCannotBeReadAsAWholeHasOneBadLine) {
    auto only = [](const QByteArray& csv) {
        const RegisterFile f = readRegisterCsv(csv);
        EXPECT_TRUE(f.tasks.empty());
        EXPECT_TRUE(f.unreadable);
        return badLines(f.bad);
    };
    EXPECT_EQ(only(""), QStringList({"1: The file holds no header line."}));
    EXPECT_EQ(only("Kind,Number,Colour\r\nAD,1,red\r\n"),
              QStringList({"1: The column \"Colour\" is not one of the register's."}));
    EXPECT_EQ(only("Kind,Title\r\n"), QStringList({"1: The column Number is missing."}));
    EXPECT_EQ(only("Kind,Number,kind\r\n"), QStringList({"1: The column Kind is named twice."}));
    EXPECT_EQ(only("Kind,Number\r\nAD,\"1\r\n"), QStringList({"3: a quoted field is not closed."}));
}

TEST(RegisterCsvFile, TheProgramsOwnFileReadsBackAsItWasWritten) {
    RegisterFile file = readRegisterCsv(templateFile());
    Task formula = directive("=1+2", "Bell");
    formula.title = QStringLiteral("-Sign in front");
    formula.notes = QStringLiteral("with, a comma and \"quotes\"");
    file.tasks.push_back(formula);
    const QByteArray written = registerCsv(file.tasks);
    EXPECT_NE(written.indexOf("'=1+2"), -1);  // a spreadsheet shows it as text
    const RegisterFile again = readRegisterCsv(written);
    ASSERT_TRUE(again.bad.empty()) << badLines(again.bad).join(u'\n').toStdString();
    ASSERT_EQ(again.tasks.size(), file.tasks.size());
    for (size_t i = 0; i < file.tasks.size(); ++i) {
        const Task& a = file.tasks[i];
        const Task& b = again.tasks[i];
        EXPECT_EQ(a.label(), b.label());
        EXPECT_EQ(a.title, b.title);
        EXPECT_EQ(a.notes, b.notes);
        EXPECT_EQ(a.effectiveDate, b.effectiveDate);
        EXPECT_EQ(a.revisionDate, b.revisionDate);
        EXPECT_EQ(a.interval, b.interval);
        EXPECT_EQ(a.threshold, b.threshold);
        EXPECT_EQ(a.tolerance, b.tolerance);
        EXPECT_EQ(a.thresholdFrom, b.thresholdFrom);
        EXPECT_EQ(a.appliesTo, b.appliesTo);
        EXPECT_EQ(a.serials, b.serials);
    }
}

class RegisterImport : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        location = store.createMainFile();
        db = data::Database::open(location);
        addAircraft(*db, "N1", 1000);
        describeAircraft(*db, "N1", "Bell", "206B", "1200");
        addAircraft(*db, "N2", 500);
        describeAircraft(*db, "N2", "Bell", "206L", "45000");
    }
    TestStore store{GetParam()};
    QString location;
    std::shared_ptr<data::Database> db;
};

TEST_P(RegisterImport, TheTemplateImportsAndAppliesToTheFleet) {
    const ImportReport r = importRegister(*db, templateFile(), false);
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.read, 5);
    EXPECT_EQ(r.imported, 5);
    // 100H on N1; ANNUAL on N1 and N2; the AD on N1 (1200 in 1001-1500); the SB on N2.
    EXPECT_EQ(r.applied, 5);
    EXPECT_EQ(r.warnings, QStringList({"AD 2024-22-10: no installed component has the part number "
                                       "FCU-3100."}));
    EXPECT_EQ(readRegister(*db).tasks.size(), 5u);
}

TEST_P(RegisterImport, ABadLineImportsNothingUnlessSkipped) {
    saveTask(*db, directive("HELD", "Bell"));
    const QByteArray csv = kHeader +
                           "AD,A1,,2025-01-01,MODEL,Bell,,,100,,,\r\n"
                           "AD,held,,2025-01-01,MODEL,Bell,,,100,,,\r\n"
                           "AD,A2,,2025-01-01,MODEL,Bell,,,,0,,\r\n"
                           "SB,A3,,2025-01-01,MODEL,Bell,206L,,,12,,\r\n";
    const QByteArray before = storedContent(location);
    const ImportReport refused = importRegister(*db, csv, false);
    EXPECT_FALSE(refused.written);
    EXPECT_EQ(refused.read, 4);
    EXPECT_EQ(refused.imported, 0);
    EXPECT_EQ(badLines(refused.bad),
              QStringList({"3: The register holds the number held without a revision already.",
                           "4: The interval in months must be more than 0 (it is 0)."}));
    EXPECT_EQ(storedContent(location), before);

    const ImportReport skipped = importRegister(*db, csv, true);
    EXPECT_TRUE(skipped.written);
    EXPECT_EQ(skipped.imported, 2);
    EXPECT_EQ(skipped.bad.size(), 2u);
    QStringList numbers;
    for (const Task& t : readRegister(*db).tasks)
        numbers << t.label();
    EXPECT_EQ(numbers, QStringList({"AD A1", "SB A3", "AD HELD"}));
}

VELMORA_ON_BOTH_BACK_ENDS(RegisterImport);

}  // namespace
