// CSV meant for people: a text a spreadsheet program would run as a formula is written as
// text; numbers stay numbers; CSV for programs keeps every value as it is.
#include "export/Csv.h"
#include "export/SpreadsheetText.h"

#include <QStandardItemModel>

#include <gtest/gtest.h>

using namespace velmora;
using exporting::CsvFor;
using exporting::CsvRecord;

namespace {

TEST(SpreadsheetText, FormulasBecomeTextAndNumbersStayNumbers) {
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"=HYPERLINK(\"http://x\",\"y\")", "'=HYPERLINK(\"http://x\",\"y\")"},
        {"+1+cmd|' /C calc'!A0", "'+1+cmd|' /C calc'!A0"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1:A9)", "'@SUM(A1:A9)"},
        {"\tTab", "'\tTab"},
        {"\rReturn", "'\rReturn"},
        {"-", "'-"},
        {"+", "'+"},
        {"-5", "-5"},
        {"+5", "+5"},
        {"-10.0", "-10.0"},
        {"-.5", "-.5"},
        {"-1,234.50", "-1,234.50"},
        {"-1.5e3", "-1.5e3"},
        {"-1,23", "'-1,23"},
        {"N1", "N1"},
        {"Rotor = main", "Rotor = main"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(exporting::spreadsheetText(QString::fromUtf8(c.text)),
                  QString::fromUtf8(c.shown));
    }
}

TEST(SpreadsheetText, OnlyCsvForPeopleIsGuarded) {
    const CsvRecord record = {QString("=1+1"), QString("-5"), std::nullopt, QString("\r=x")};
    EXPECT_EQ(exporting::csvLine(record), "=1+1,-5,,\"\r=x\"\r\n");
    EXPECT_EQ(exporting::csvLine(record, CsvFor::People), "'=1+1,-5,,\"'\r=x\"\r\n");

    // A table as shown is for people: its header and cells alike.
    QStandardItemModel model(2, 2);
    model.setHorizontalHeaderLabels({"=Caption", "Remaining"});
    model.setItem(0, 0, new QStandardItem("@cmd"));
    model.setItem(0, 1, new QStandardItem("-5.0"));
    model.setItem(1, 0, new QStandardItem("+1+cmd|' /C calc'!A0"));
    model.setItem(1, 1, new QStandardItem("12"));
    std::vector<CsvRecord> back;
    const auto failure = exporting::parseCsv(exporting::tableToCsv(model, {0, 1}), &back);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    const std::vector<CsvRecord> expected = {{QString("'=Caption"), QString("Remaining")},
                                             {QString("'@cmd"), QString("-5.0")},
                                             {QString("'+1+cmd|' /C calc'!A0"), QString("12")}};
    EXPECT_EQ(back, expected);
}

}  // namespace
