// Printed tables: every cell's whole text on the page, however many columns and however
// long the texts: wrapped, or in parts of columns, rows running on over pages, and sections
// after the table.
#include "support/PdfWords.h"
#include "support/TestFiles.h"

#include "export/TablePrinter.h"

#include <QStandardItemModel>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

class TablePrint : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!pdfToTextInstalled())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }

    // A model of the given captions and rows of texts.
    static std::unique_ptr<QStandardItemModel> table(const QStringList& captions,
                                                     const std::vector<QStringList>& rows) {
        auto m = std::make_unique<QStandardItemModel>(static_cast<int>(rows.size()),
                                                      static_cast<int>(captions.size()));
        m->setHorizontalHeaderLabels(captions);
        for (size_t r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c)
                m->setItem(static_cast<int>(r), c, new QStandardItem(rows[r][c]));
        }
        return m;
    }
    static exporting::TablePrintJob jobOf(const QStandardItemModel& m) {
        exporting::TablePrintJob job;
        job.title = QStringLiteral("Components - N905CV");
        job.subtitle = QStringLiteral("Printed 7 Dec 2026");
        job.model = &m;
        for (int c = 0; c < m.columnCount(); ++c)
            job.columns.push_back(c);
        job.uprightWhenNarrow = true;
        return job;
    }
    static QStringList textsOf(const QStandardItemModel& m) {
        QStringList texts;
        for (int c = 0; c < m.columnCount(); ++c)
            texts << m.headerData(c, Qt::Horizontal).toString();
        for (int r = 0; r < m.rowCount(); ++r) {
            for (int c = 0; c < m.columnCount(); ++c)
                texts << m.index(r, c).data().toString();
        }
        return texts;
    }
    int print(const exporting::TablePrintJob& job) {
        const auto failure = exporting::writeTablePdf(job, pdf_);
        EXPECT_FALSE(failure) << failure->text.toStdString();
        return pdfToText(pdf_).count(QChar(u'\f'));
    }

    TestFolder folder_;
    const QString pdf_ = folder_.file("table.pdf");
};

// Twenty columns of part numbers, names, notes and money, as the component list prints them.
TEST_F(TablePrint, WideColumnsWrapAndNoTextIsCutShort) {
    QStringList captions;
    for (const char* c :
         {"Item #", "Meter", "Installed", "Assembly", "Component Name", "Part Number", "Serial #",
          "Date Purchased", "Manufacturer", "Inspection", "Cost to Replace", "Reserve Per Hour",
          "Service Life", "Type", "Install Date", "Component at Install", "A/C Total at Install",
          "Notes", "Oil Analysis"})
        captions << QString::fromLatin1(c);
    std::vector<QStringList> rows;
    for (int i = 0; i < 30; ++i) {
        rows.push_back(
            {QString::number(100 + i), "1", "Yes", "Main rotor",
             QStringLiteral("Main rotor blade, composite (left) no. %1").arg(i),
             QStringLiteral("KH-3100-1207-%1").arg(i, 2, 10, QChar(u'0')),
             QStringLiteral("SN-88231-A%1").arg(i), "12 Mar 2019", "Kawasaki Heavy Industries",
             "Annual / 100 hour", "$6,900.00", "$0.92", "7500", i % 3 ? "RT" : "OH", "7 Dec 2026",
             "1,204.5", "6,930.7",
             QStringLiteral("Replace with the blade set; see service bulletin "
                            "SB-214-88 rev B before the next %1 hours; check the fitting")
                 .arg(i * 50),
             "No"});
    }
    const auto m = table(captions, rows);
    const auto job = jobOf(*m);
    EXPECT_EQ(exporting::tablePageLayout(job).orientation(), QPageLayout::Landscape);
    print(job);
    expectEveryWordPrinted(pdf_, textsOf(*m));
}

// More columns than a page holds even with their words whole, as the oil samples grid has:
// printed in parts, one after the other, each with the first column that names the row.
TEST_F(TablePrint, ColumnsThatDoNotFitAcrossArePrintedInParts) {
    QStringList captions{"Date Performed"};
    for (int e = 0; e < 24; ++e)
        captions << QStringLiteral("Molybdenum%1").arg(e);
    std::vector<QStringList> rows;
    for (int r = 0; r < 60; ++r) {
        QStringList row{QStringLiteral("%1 Jan 2026").arg(r % 28 + 1)};
        for (int e = 0; e < 24; ++e)
            row << QStringLiteral("%1.25").arg(1000 * e + r);
        rows.push_back(row);
    }
    const auto m = table(captions, rows);
    const int pages = print(jobOf(*m));
    EXPECT_GE(pages, 2);
    const QString text = pdfToText(pdf_);
    EXPECT_TRUE(text.contains("Columns, part 1 of")) << text.left(2000).toStdString();
    EXPECT_TRUE(text.contains("Columns, part 2 of"));
    expectEveryWordPrinted(pdf_, textsOf(*m));
    // Each part repeats the dates, so that its rows can be told apart.
    EXPECT_GE(text.count("Performed"), 2);
}

// A cell longer than a page (a long note) runs on over the next page; a word wider than its
// column is broken rather than cut.
TEST_F(TablePrint, ATextLongerThanAPageRunsOnAndLongWordsAreBrokenNotCut) {
    QStringList words;
    for (int i = 0; i < 2500; ++i)
        words << QStringLiteral("word%1").arg(i);
    const QString longWord = QString(400, QChar(u'X'));
    const auto m = table({"Item #", "Notes", "Code"},
                         {{"1", words.join(' '), longWord}, {"2", "short", "AB"}});
    const int pages = print(jobOf(*m));
    EXPECT_GE(pages, 2);
    QStringList texts = textsOf(*m);
    texts.removeAll(longWord);
    expectEveryWordPrinted(pdf_, texts);
    QString printed = pdfToText(pdf_);
    printed.remove(QRegularExpression(QStringLiteral("[^X]")));
    EXPECT_EQ(printed.size(), longWord.size());
}

// A section after the table, under its own heading, as the due list prints its oil alerts.
TEST_F(TablePrint, SectionsFollowTheTableUnderTheirHeadings) {
    const auto m = table({"Registration", "Item #"}, {{"N1", "10"}, {"N2", "20"}});
    const auto alerts = table({"Registration", "Findings"},
                              {{"N2", "Iron 48 ppm over alert 40"}, {"N3", "Copper 9 ppm"}});
    auto job = jobOf(*m);
    job.sections.push_back(
        {QStringLiteral("Oil analysis: over an alert level"), alerts.get(), {0, 1}});
    EXPECT_EQ(print(job), 1);
    const QString text = pdfToText(pdf_);
    const auto heading = text.indexOf("Oil analysis: over an alert level");
    ASSERT_GE(heading, 0) << text.toStdString();
    EXPECT_GT(heading, text.indexOf("20"));
    EXPECT_GT(text.indexOf("Iron 48 ppm over alert 40"), heading);
    EXPECT_GT(text.indexOf("Copper 9 ppm"), heading);
}

}  // namespace
