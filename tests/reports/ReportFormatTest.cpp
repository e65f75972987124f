// The selection formula and the report definition format: what they accept and the
// messages for what they do not.
#include "reportfiles/ReportDefinition.h"
#include "reports/ReportSelection.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::reports;
using namespace velmora::testing;

namespace {

ReportSelection parsed(const QString& formula) {
    ReportSelection s;
    const auto failure = parseSelectionFormula(formula, &s);
    EXPECT_FALSE(failure) << failure->text.toStdString();
    return s;
}

QString formulaError(const QString& formula) {
    ReportSelection s;
    const auto failure = parseSelectionFormula(formula, &s);
    EXPECT_TRUE(failure) << formula.toStdString();
    return failure ? failure->text : QString();
}

TEST(ReportFormula, ReadsTheSourceFieldAndValue) {
    const ReportSelection s = parsed("{Remaining.Aircraft.RegNum} = 'N1'");
    EXPECT_EQ(s.source, "Remaining");
    EXPECT_EQ(s.field, "Aircraft.RegNum");
    EXPECT_EQ(s.value, "N1");
    EXPECT_EQ(parsed("{Forecast.Aircraft.RegNum} = 'C-GABC'").source, "Forecast");
    EXPECT_EQ(parsed("  { Forecast.Aircraft.RegNum }='N 2'  ").value, "N 2");
    EXPECT_EQ(parsed("{Remaining.Aircraft.RegNum} = \"N3\"").value, "N3");
}

TEST(ReportFormula, DoubledQuoteIsOneQuote) {
    EXPECT_EQ(parsed("{Remaining.Aircraft.RegNum} = 'O''K1'").value, "O'K1");
    EXPECT_EQ(parsed("{Remaining.Aircraft.RegNum} = ''''").value, "'");
    EXPECT_EQ(parsed("{Remaining.Aircraft.RegNum} = 'A\"B'").value, "A\"B");
}

TEST(ReportFormula, EmptyValue) {
    const ReportSelection s = parsed("{Remaining.Aircraft.RegNum} = ''");
    EXPECT_TRUE(s.value.isEmpty());
}

TEST(ReportFormula, UnreadableFormulasNameThemselves) {
    const QStringList bad = {
        "",
        "Remaining.Aircraft.RegNum = 'N1'",
        "{Remaining.Aircraft.RegNum = 'N1'",
        "{RegNum} = 'N1'",
        "{Remaining.Aircraft.RegNum} 'N1'",
        "{Remaining.Aircraft.RegNum} = N1",
        "{Remaining.Aircraft.RegNum} = 'N1",
        "{Remaining.Aircraft.RegNum} = 'O'K1'",
        "{Remaining.Aircraft.RegNum} = 'N1' or 1=1",
    };
    for (const QString& f : bad) {
        const QString e = formulaError(f);
        EXPECT_TRUE(e.contains("selection formula")) << e.toStdString();
        EXPECT_TRUE(e.contains(u'"' + f + u'"')) << e.toStdString();
    }
    EXPECT_TRUE(formulaError("{Remaining.Aircraft.RegNum} = 'O'K1'").contains("doubled"));
}

TEST(ReportFormula, BuiltFromARegistration) {
    EXPECT_EQ(selectionFormulaFor(kRemainingSource, "  N1 "), "{Remaining.Aircraft.RegNum} = 'N1'");
    EXPECT_EQ(selectionFormulaFor(kForecastSource, "O'K1"), "{Forecast.Aircraft.RegNum} = 'O''K1'");
    EXPECT_EQ(selectionFormulaFor(kRemainingSource, ""), "{Remaining.Aircraft.RegNum} = ''");
    EXPECT_EQ(parsed(selectionFormulaFor(kRemainingSource, "O''K")).value, "O''K");
}

const char* const kMinimal =
    "[Report]\n"
    "Title = Test\n"
    "Source = Remaining\n"
    "[Page]\n"
    "HeaderLeft = {Company} {Phone}\n"
    "FooterRight = {Printed} Page {Page} of {Pages}\n"
    "[Column]\n"
    "Caption = Item\n"
    "Field = ItemNumber\n";

// The text of a failure; empty when there was none.
QString textOf(const data::MaybeFailure& failure) {
    return failure ? failure->text : QString();
}

QString definitionError(const QString& text) {
    ReportDefinition def;
    const auto failure = parseReportDefinition(text, "/data/9.rpt", &def);
    EXPECT_TRUE(failure) << text.toStdString();
    const QString error = textOf(failure);
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators("/data/9.rpt"))) << error.toStdString();
    return error;
}

TEST(ReportDefinitionFormat, MinimalDefinition) {
    ReportDefinition def;
    const auto failure = parseReportDefinition(kMinimal, "9.rpt", &def);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    EXPECT_EQ(def.title, "Test");
    EXPECT_EQ(def.source, kRemainingSource);
    ASSERT_EQ(def.columns.size(), 1);
    EXPECT_EQ(def.columns[0].field, "ItemNumber");
    EXPECT_EQ(def.columns[0].align, CellAlign::Left);
}

TEST(ReportDefinitionFormat, QuotedValuesKeepTheirBlanks) {
    ReportDefinition def;
    const QString text = QString::fromLatin1(kMinimal) +
                         "Picture = \"#####0.0;;;\\ \"\nAlign = right\nWidth = 7.5\n"
                         "Highlight = Flag Overdue\nCaption2 = x\n";
    const QString error = textOf(parseReportDefinition(text, "9.rpt", &def));
    EXPECT_TRUE(error.contains("Caption2")) << error.toStdString();
    const auto failure =
        parseReportDefinition(QString(text).remove("Caption2 = x\n"), "9.rpt", &def);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    EXPECT_EQ(def.columns[0].picture, "#####0.0;;;\\ ");
    EXPECT_EQ(def.columns[0].align, CellAlign::Right);
    EXPECT_DOUBLE_EQ(def.columns[0].width, 7.5);
    EXPECT_EQ(def.columns[0].highlight, Highlight::Flag);
    EXPECT_EQ(def.columns[0].flagField, "Overdue");
}

TEST(ReportDefinitionFormat, MistakesAreNamedWithTheirLine) {
    EXPECT_TRUE(definitionError(QString(kMinimal).replace("Source = Remaining", "Source = Parts"))
                    .contains("line 3"));
    EXPECT_TRUE(definitionError(QString(kMinimal) + "[Footer]\n").contains("[Footer]"));
    EXPECT_TRUE(definitionError(QString(kMinimal) + "Width = wide\n").contains("Width"));
    EXPECT_TRUE(definitionError(QString(kMinimal) + "no equals sign\n").contains("line 10"));
    EXPECT_TRUE(definitionError(QString(kMinimal).replace("Title = Test\n", "")).contains("Title"));
    EXPECT_TRUE(
        definitionError(QString(kMinimal).replace("Field = ItemNumber\n", "")).contains("Field"));
    EXPECT_TRUE(definitionError(QString(kMinimal).replace(" of {Pages}", "")).contains("{Pages}"));
    EXPECT_TRUE(definitionError(QString(kMinimal).replace("{Phone}", "")).contains("{Phone}"));
    EXPECT_TRUE(definitionError("%PDF-1.4 garbage").contains("line 1"));
    EXPECT_TRUE(definitionError("").contains("[Report]"));
}

TEST(ReportDefinitionFormat, DefaultsAreValid) {
    for (const QString& name : {kActualReportFile, kForecastReportFile}) {
        const QString text = defaultReportDefinitionText(name);
        ASSERT_FALSE(text.isEmpty()) << name.toStdString();
        ReportDefinition def;
        const auto failure = parseReportDefinition(text, name, &def);
        ASSERT_FALSE(failure) << failure->text.toStdString();
        EXPECT_EQ(def.source, name == kActualReportFile ? kRemainingSource : kForecastSource);
        EXPECT_GE(def.columns.size(), 10);
    }
}

TEST(ReportDefinitionFormat, DefaultsAreWrittenButNeverOverwritten) {
    TestFolder folder;
    folder.writeFile("1.RPT", "# my own report\n");
    ASSERT_NO_THROW(writeDefaultReportDefinitions(folder.path()));
    EXPECT_EQ(fileBytes(folder.file("1.RPT")), "# my own report\n");
    EXPECT_EQ(folderEntries(folder.path()), QStringList({"1.RPT", "2.rpt"}));
    EXPECT_EQ(QString::fromUtf8(fileBytes(folder.file("2.rpt"))),
              defaultReportDefinitionText(kForecastReportFile));
    // Writing again changes nothing.
    folder.writeFile("2.rpt", "# edited\n");
    ASSERT_NO_THROW(writeDefaultReportDefinitions(folder.path()));
    EXPECT_EQ(fileBytes(folder.file("2.rpt")), "# edited\n");
}

TEST(ReportDefinitionFormat, MissingFolderIsAnError) {
    TestFolder folder;
    try {
        writeDefaultReportDefinitions(folder.file("nowhere"));
        ADD_FAILURE() << "a missing folder is refused";
    } catch (const data::DbError& e) {
        EXPECT_TRUE(e.text().contains("nowhere")) << e.text().toStdString();
    }
}

TEST(ReportDefinitionFormat, MissingOrForeignFileIsAnError) {
    TestFolder folder;
    ReportDefinition def;
    const QString missing = textOf(loadReportDefinition(folder.file("1.rpt"), &def));
    EXPECT_TRUE(missing.contains(QDir::toNativeSeparators(folder.file("1.rpt"))) &&
                missing.contains("does not exist"))
        << missing.toStdString();
    folder.writeFile("2.rpt", QByteArray("\x00\x01\x02", 3));
    const QString foreign = textOf(loadReportDefinition(folder.file("2.rpt"), &def));
    EXPECT_TRUE(foreign.contains("2.rpt") && foreign.contains("not a text file"))
        << foreign.toStdString();
}

}  // namespace
