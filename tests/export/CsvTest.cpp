// CSV files (RFC 4180, UTF-8): fields with quotes, commas and line breaks, Null apart from
// empty text, and a table written exactly as it displays.
#include "support/TestFiles.h"

#include "export/Csv.h"
#include "export/TablePrinter.h"

#include <QBrush>
#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QStandardItemModel>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using exporting::CsvRecord;

namespace {

TEST(Csv, FieldsAreQuotedOnlyWhereTheyMustBe) {
    EXPECT_EQ(exporting::csvField(QString("N1")), "N1");
    EXPECT_EQ(exporting::csvField(QString("Rotor, main")), "\"Rotor, main\"");
    EXPECT_EQ(exporting::csvField(QString("12\" blade")), "\"12\"\" blade\"");
    EXPECT_EQ(exporting::csvField(QString("two\nlines")), "\"two\nlines\"");
    EXPECT_EQ(exporting::csvField(QString("")), "\"\"");
    EXPECT_EQ(exporting::csvField(std::nullopt), "");
    EXPECT_EQ(exporting::csvLine({QString("a"), std::nullopt, QString("b c")}), "a,,b c\r\n");
}

TEST(Csv, RoundTripKeepsEveryFieldAndNull) {
    const std::vector<CsvRecord> records = {
        {QString("Registration"), QString("Component"), QString("Notes"), QString("Due")},
        {QString("N1"), QString("Blade, main \"A\""), QString("line one\r\nline two"),
         std::nullopt},
        {QString(""), std::nullopt, QString("Zürich – Ø 5°"), QString(" padded ")},
        {std::nullopt, std::nullopt, std::nullopt, QString(",")},
    };
    QByteArray bytes;
    for (const CsvRecord& r : records)
        bytes += exporting::csvLine(r);
    std::vector<CsvRecord> back;
    const auto failure = exporting::parseCsv(bytes, &back);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    EXPECT_EQ(back, records);
    // Line feeds alone and a missing last line end read the same.
    QByteArray lf = bytes;
    lf.replace("\r\n", "\n");
    lf.chop(1);
    ASSERT_FALSE(exporting::parseCsv(lf, &back));
    EXPECT_EQ(back[1][2], QString("line one\nline two"));
    EXPECT_EQ(back.size(), records.size());
}

TEST(Csv, DamagedTextIsRefusedWithTheLine) {
    std::vector<CsvRecord> out;
    const auto open = exporting::parseCsv("a,b\r\n\"open,c\r\n", &out);
    ASSERT_TRUE(open);
    EXPECT_TRUE(open->text.contains("not closed")) << open->text.toStdString();
    const auto quote = exporting::parseCsv("a,b\r\nx\"y,c\r\n", &out);
    ASSERT_TRUE(quote);
    EXPECT_TRUE(quote->text.startsWith("Line 2")) << quote->text.toStdString();
}

QStandardItemModel* sampleTable() {
    auto* m = new QStandardItemModel(3, 3);
    m->setHorizontalHeaderLabels({"Registration", "Hidden", "Component"});
    const char* cells[3][3] = {{"N1", "x", "Blade, main"}, {"N2", "y", ""}, {"N\"3", "z", "Hub"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m->setItem(r, c, new QStandardItem(QString::fromUtf8(cells[r][c])));
    m->item(0, 2)->setForeground(QBrush(Qt::red));
    return m;
}

TEST(TableExport, CsvHasTheHeaderAndTheShownColumnsOnly) {
    std::unique_ptr<QStandardItemModel> m(sampleTable());
    const QByteArray csv = exporting::tableToCsv(*m, {2, 0});
    EXPECT_EQ(csv, "Component,Registration\r\n\"Blade, main\",N1\r\n,N2\r\nHub,\"N\"\"3\"\r\n");
}

TEST(TableExport, PdfOfManyPagesIsWrittenOrTheOldFileKept) {
    QStandardItemModel m(400, 2);
    m.setHorizontalHeaderLabels({"Item", "Component"});
    for (int r = 0; r < 400; ++r) {
        m.setItem(r, 0, new QStandardItem(QString::number(r + 1)));
        m.setItem(r, 1, new QStandardItem(QStringLiteral("Component %1").arg(r + 1)));
    }
    TestFolder folder;
    const QString pdf = folder.file("list.pdf");
    exporting::TablePrintJob job{"Due List", "All aircraft", &m, {0, 1}, std::nullopt, false, {}};
    const auto failure = exporting::writeTablePdf(job, pdf);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(exporting::tablePageLayout());
    QString error;
    EXPECT_GE(exporting::paintTable(job, &writer, &error), 5) << "400 rows take several pages";
    // A folder that cannot be written: a clear message, and no file.
    const auto missing = exporting::writeTablePdf(job, folder.file("missing/list.pdf"));
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->text.contains("missing")) << missing->text.toStdString();
}

}  // namespace
