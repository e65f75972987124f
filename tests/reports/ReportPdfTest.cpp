// Reports rendered to PDF and read back as text: what every report states, the values of
// components with known remaining life, the page breaks, the selection, and the messages
// for definitions, data files and formulas that cannot be used.
#include "ReportTestData.h"

#include "ReportCommand.h"
#include "journal/JournalAnchors.h"
#include "reportfiles/ReportDefinition.h"
#include "reportfiles/ReportQueries.h"
#include "reports/ReportData.h"
#include "reports/ReportPreview.h"
#include "reports/ReportSelection.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::reports;
using namespace velmora::testing;

namespace {

#define SKIP_WITHOUT_PDFTOTEXT()                                          \
    do {                                                                  \
        if (!havePdfToText())                                             \
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed"; \
    } while (0)

// The status word printed on a component's row: OVERDUE, DUE or nothing.
QString statusOf(const QString& text, const QString& component) {
    for (const QString& line : text.split(u'\n')) {
        if (!line.contains(component))
            continue;
        const QStringList w = words(line);
        if (w.last() == "OVERDUE" || w.last() == "DUE")
            return w.last();
        return {};
    }
    return QStringLiteral("(row not found)");
}

class ReportPdf : public ::testing::Test {
  protected:
    ReportJob job(const QString& reg, bool forecast = false) const {
        ReportJob j;
        j.reportFile = f.reportFile(forecast ? kForecastReportFile : kActualReportFile);
        j.dataFile = QStringLiteral("TimeMgr.mdb");
        j.selectionFormula =
            selectionFormulaFor(forecast ? kForecastSource : kRemainingSource, reg);
        j.companyName = QStringLiteral("Northern Rotor Services");
        j.companyPhone = QStringLiteral("555-0142");
        return j;
    }

    // Renders the job and reads the PDF back; the test fails when either step does.
    QString render(const ReportJob& j, int first = 0, int last = 0) {
        const QString pdf = f.folder.file("out.pdf");
        const auto failure = renderReportToPdf(j, pdf);
        EXPECT_FALSE(failure) << failure->text.toStdString();
        QString why;
        const QString text = pdfText(pdf, &why, first, last);
        EXPECT_FALSE(text.isEmpty()) << why.toStdString();
        return text;
    }

    QString failure(const ReportJob& j) {
        const QString pdf = f.folder.file("failed.pdf");
        const auto failure = renderReportToPdf(j, pdf);
        EXPECT_TRUE(failure);
        EXPECT_FALSE(QFile::exists(pdf));
        const QString error = failure ? failure->text : QString();
        EXPECT_FALSE(error.isEmpty());
        return error;
    }

    ReportFolder f;
};

TEST_F(ReportPdf, ActualReportStatesCompanyAircraftAndValues) {
    SKIP_WITHOUT_PDFTOTEXT();
    const QString text = render(job("N1"));
    const QStringList w = words(text);
    EXPECT_TRUE(text.contains("Northern Rotor Services"));
    EXPECT_TRUE(text.contains("555-0142"));
    EXPECT_TRUE(text.contains("Time and Cycles Remaining"));
    EXPECT_TRUE(w.contains("N1"));
    EXPECT_TRUE(w.contains("Bell") && w.contains("206B") && w.contains("SN4471"));
    EXPECT_TRUE(w.contains("1500.0"));  // total time meter 1
    EXPECT_TRUE(w.contains("800.0"));   // total time meter 2
    EXPECT_TRUE(w.contains("4100"));    // landings
    EXPECT_TRUE(text.contains("Printed " + QDate::currentDate().toString("dd MMM yyyy")));
    EXPECT_TRUE(text.contains("Page 1 of 1"));
    for (const char* v : {"2000.0", "700.0", "50.0", "900", "400", "320", "1100.0"})
        EXPECT_TRUE(w.contains(v)) << v;
    // Overdue: the minus sign kept, the row marked.
    EXPECT_TRUE(w.contains("-12.5"));
    EXPECT_EQ(statusOf(text, "Tail rotor hub"), "OVERDUE");
    EXPECT_EQ(statusOf(text, "Fire bottle"), "OVERDUE");
    for (const char* name : {"Main rotor blade", "Engine", "Gearbox", "Life raft", "Starter"})
        EXPECT_EQ(statusOf(text, name), "") << name;
    const QString retired = QDate::fromString(isoMonthsFromToday(-13), Qt::ISODate)
                                .addMonths(12)
                                .toString("dd MMM yyyy");
    EXPECT_TRUE(text.contains(retired)) << retired.toStdString();
    // Only installed components of this aircraft.
    EXPECT_FALSE(text.contains("Removed pump"));
    EXPECT_FALSE(text.contains("Other aircraft part"));
    EXPECT_TRUE(text.contains("Main rotor blade"));
    EXPECT_TRUE(text.contains("10 installed components; 2 overdue"));
}

// Every page's foot carries the data file's newest journal line, an anchor of the chain
// outside the file that velmora-journal verify --anchor compares.
TEST_F(ReportPdf, EveryPageCarriesTheJournalsNewestLine) {
    SKIP_WITHOUT_PDFTOTEXT();
    auto db = data::Database::open(f.folder.file("TimeMgr.mdb"));
    const journal::ChainPoint newest = journal::newestLine(*db);
    ASSERT_FALSE(newest.isNull());
    const QString printed =
        QStringLiteral("Journal line %1, %2").arg(newest.seq).arg(newest.hash.left(16));
    for (bool forecast : {false, true}) {
        const QString text = render(job("N1", forecast));
        // The PDF's text shows "ff" of the hash as one ligature (U+FB00); the anchor as it is
        // copied out of the PDF reads back all the same.
        const qsizetype at = text.indexOf(QStringLiteral("Journal line "));
        ASSERT_GE(at, 0) << text.toStdString();
        const QString copied = text.mid(at + 8).section(u' ', 0, 2).trimmed();
        EXPECT_EQ(copied.normalized(QString::NormalizationForm_KC), printed.mid(8))
            << text.toStdString();
        const auto typed = journal::parseAnchor(copied);
        ASSERT_TRUE(typed);
        EXPECT_TRUE(journal::disagreement(*db, *typed).isEmpty());
    }
}

TEST_F(ReportPdf, ForecastReportShowsValuesLessTheIncreases) {
    SKIP_WITHOUT_PDFTOTEXT();
    const QString text = render(job("N1", true));
    const QStringList w = words(text);
    EXPECT_TRUE(text.contains("Forecast of Time and Cycles Remaining"));
    EXPECT_TRUE(text.contains("Northern Rotor Services") && text.contains("555-0142"));
    // The increases themselves.
    EXPECT_TRUE(text.contains("Forecast + meter #1: 100.0") || w.contains("100.0"));
    EXPECT_TRUE(w.contains("200"));  // landings increase
    for (const char* v : {"1900.0", "650.0", "700", "300", "320", "1050.0", "-112.5", "-50.0"})
        EXPECT_TRUE(w.contains(v)) << v;
    for (const char* v : {"2039.9", "1100.0", "-12.5", "900"})
        EXPECT_FALSE(w.contains(v)) << v;
    EXPECT_EQ(statusOf(text, "Gearbox"), "DUE");
    EXPECT_EQ(statusOf(text, "Life raft"), "DUE");
    EXPECT_EQ(statusOf(text, "Tail rotor hub"), "OVERDUE");
    EXPECT_EQ(statusOf(text, "Fire bottle"), "OVERDUE");
    for (const char* name : {"Main rotor blade", "Engine", "Skid tube", "Starter"})
        EXPECT_EQ(statusOf(text, name), "") << name;
    EXPECT_TRUE(text.contains("4 due within the forecast"));
    EXPECT_TRUE(text.contains("Page 1 of 1"));
}

TEST_F(ReportPdf, LongListRunsOverPagesWithRepeatedHeadings) {
    SKIP_WITHOUT_PDFTOTEXT();
    f.addManyParts("N1", 38);
    const QString all = render(job("N1"));
    EXPECT_TRUE(all.contains("Page 1 of 2"));
    EXPECT_TRUE(all.contains("Page 2 of 2"));
    EXPECT_FALSE(all.contains("of 3"));
    const QString second = render(job("N1"), 2, 2);
    EXPECT_TRUE(second.contains("Basis"));
    EXPECT_TRUE(second.contains("Status"));
    EXPECT_TRUE(second.contains("Component"));
    EXPECT_TRUE(second.contains("Northern Rotor Services"));
    EXPECT_TRUE(second.contains("N1"));
    EXPECT_TRUE(second.contains("Long list component 37"));
    const QString first = render(job("N1"), 1, 1);
    EXPECT_TRUE(first.contains("Basis"));
    EXPECT_TRUE(first.contains("Main rotor blade"));
    // Every component once.
    EXPECT_EQ(all.count("Long list component"), 38);
}

TEST_F(ReportPdf, EmptyRegistrationSelectsNothing) {
    SKIP_WITHOUT_PDFTOTEXT();
    const QString text = render(job(""));
    EXPECT_TRUE(text.contains("No aircraft is selected by {Remaining.Aircraft.RegNum} = ''"));
    EXPECT_TRUE(text.contains("Northern Rotor Services"));
    EXPECT_FALSE(text.contains("Main rotor blade"));
    EXPECT_FALSE(text.contains("Other aircraft part"));
    EXPECT_TRUE(text.contains("Page 1 of 1"));
}

TEST_F(ReportPdf, UnknownRegistrationSelectsNothing) {
    SKIP_WITHOUT_PDFTOTEXT();
    const QString text = render(job("N9"));
    EXPECT_TRUE(text.contains("No aircraft is selected"));
    EXPECT_FALSE(text.contains("rotor"));
}

TEST_F(ReportPdf, QuoteInRegistration) {
    SKIP_WITHOUT_PDFTOTEXT();
    const QString text = render(job("O'K1"));
    EXPECT_TRUE(words(text).contains("O'K1"));
    EXPECT_TRUE(text.contains("Quoted aircraft part"));
    EXPECT_TRUE(words(text).contains("777.0"));  // 800 - 0 - (23 - 0)
    EXPECT_FALSE(text.contains("Main rotor blade"));
    // A registration that tries to widen the selection is only a value.
    const QString sneaky = render(job("N1' OR 'a'='a"));
    EXPECT_TRUE(sneaky.contains("No aircraft is selected"));
    EXPECT_FALSE(sneaky.contains("Main rotor blade"));
}

TEST_F(ReportPdf, RegistrationLetterCaseIsNotRegarded) {
    SKIP_WITHOUT_PDFTOTEXT();
    EXPECT_TRUE(render(job("n1")).contains("Main rotor blade"));
}

TEST_F(ReportPdf, AircraftWithoutComponents) {
    SKIP_WITHOUT_PDFTOTEXT();
    addAircraft(*f.db, "N5", 10);
    const QString text = render(job("N5"));
    EXPECT_TRUE(text.contains("No installed components."));
    EXPECT_TRUE(words(text).contains("N5"));
}

TEST_F(ReportPdf, GroupedByAssembly) {
    SKIP_WITHOUT_PDFTOTEXT();
    f.db->execute("UPDATE Parts SET Assembly = 'Rotor' WHERE ItemNumber IN (1, 7)");
    QString text = defaultReportDefinitionText(kActualReportFile);
    text.replace("Sort = ItemNumber", "Sort = ItemNumber\nGroup = Assembly");
    f.folder.writeFile("grouped.rpt", text.toUtf8());
    ReportJob j = job("N1");
    j.reportFile = f.reportFile("grouped.rpt");
    const QString out = render(j);
    const QRegularExpression heading("^\\s*Rotor\\s*$", QRegularExpression::MultilineOption);
    const qsizetype rotor = out.indexOf(heading);
    const qsizetype none = out.indexOf("(none)");
    ASSERT_GE(rotor, 0);
    ASSERT_GE(none, 0);
    EXPECT_LT(none, rotor);  // Null assemblies sort first
    EXPECT_GT(out.indexOf("Main rotor blade"), rotor);
    EXPECT_GT(out.indexOf("Tail rotor hub"), rotor);
    EXPECT_LT(out.indexOf("Engine"), rotor);
}

TEST_F(ReportPdf, MissingDefinitionNamesTheFile) {
    ReportJob j = job("N1");
    j.reportFile = f.reportFile("7.rpt");
    const QString e = failure(j);
    EXPECT_TRUE(e.contains(QDir::toNativeSeparators(j.reportFile))) << e.toStdString();
    EXPECT_TRUE(e.contains("does not exist")) << e.toStdString();
}

TEST_F(ReportPdf, InvalidDefinitionNamesTheFile) {
    f.folder.writeFile("1.rpt", "[Report]\nTitle = x\nSource = Elsewhere\n");
    const QString e = failure(job("N1"));
    EXPECT_TRUE(e.contains(QDir::toNativeSeparators(f.reportFile("1.rpt")))) << e.toStdString();
    EXPECT_TRUE(e.contains("Elsewhere")) << e.toStdString();
}

TEST_F(ReportPdf, DefinitionWithUnknownFieldNamesTheFileAndField) {
    QString text = defaultReportDefinitionText(kActualReportFile);
    text.replace("Field = PartNumber", "Field = PartNo");
    f.folder.writeFile("1.rpt", text.toUtf8());
    const QString e = failure(job("N1"));
    EXPECT_TRUE(e.contains("1.rpt") && e.contains("PartNo")) << e.toStdString();
    text = defaultReportDefinitionText(kActualReportFile);
    text.replace("{Make}", "{Maker}");
    f.folder.writeFile("1.rpt", text.toUtf8());
    const QString e2 = failure(job("N1"));
    EXPECT_TRUE(e2.contains("1.rpt") && e2.contains("{Maker}")) << e2.toStdString();
}

TEST_F(ReportPdf, MissingDataFileNamesTheFile) {
    ReportJob j = job("N1");
    j.dataFile = "Other.mdb";
    const QString e = failure(j);
    EXPECT_TRUE(e.contains(QDir::toNativeSeparators(f.folder.file("Other.mdb"))))
        << e.toStdString();
    EXPECT_TRUE(e.contains("cannot be opened")) << e.toStdString();
}

TEST_F(ReportPdf, DataFileFoundWithoutRegardToCase) {
    SKIP_WITHOUT_PDFTOTEXT();
    ReportJob j = job("N1");
    j.dataFile = "TIMEMGR.MDB";
    EXPECT_TRUE(render(j).contains("Main rotor blade"));
}

TEST_F(ReportPdf, DataSourcesAddedToAnOlderFile) {
    SKIP_WITHOUT_PDFTOTEXT();
    f.db->deleteQueryDef("Remaining");
    f.db->deleteQueryDef("Forecast");
    EXPECT_TRUE(render(job("N1")).contains("Main rotor blade"));
    EXPECT_TRUE(f.db->hasQueryDef("Remaining"));
    EXPECT_TRUE(f.db->hasQueryDef("Forecast"));
}

TEST_F(ReportPdf, ChangedDataSourceIsReadWholeAndSelected) {
    SKIP_WITHOUT_PDFTOTEXT();
    f.db->deleteQueryDef("Remaining");
    f.db->createQueryDef("Remaining", remainingReportSql() + "  ");
    const QString text = render(job("N1"));
    EXPECT_TRUE(words(text).contains("-12.5"));
    EXPECT_TRUE(text.contains("Main rotor blade"));
    EXPECT_FALSE(text.contains("Other aircraft part"));
    EXPECT_FALSE(text.contains("Quoted aircraft part"));
    EXPECT_TRUE(text.contains("10 installed components; 2 overdue"));
}

TEST_F(ReportPdf, UnreadableFormulaIsNamed) {
    ReportJob j = job("N1");
    j.selectionFormula = "{Remaining.Aircraft.RegNum} = 'O'K1'";
    const QString e = failure(j);
    EXPECT_TRUE(e.contains("\"{Remaining.Aircraft.RegNum} = 'O'K1'\"")) << e.toStdString();
}

TEST_F(ReportPdf, FormulaOfTheOtherSourceIsAnError) {
    ReportJob j = job("N1");
    j.selectionFormula = selectionFormulaFor(kForecastSource, "N1");
    const QString e = failure(j);
    EXPECT_TRUE(e.contains("Forecast") && e.contains("1.rpt")) << e.toStdString();
}

TEST_F(ReportPdf, UnwritablePdfIsNamed) {
    const QString pdf = f.folder.file("no/such/folder/out.pdf");
    const auto failure = renderReportToPdf(job("N1"), pdf);
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->text.contains(QDir::toNativeSeparators(pdf)))
        << failure->text.toStdString();
}

TEST_F(ReportPdf, PreviewOpensAndFailuresShowNothing) {
    ReportJob bad = job("N1");
    bad.reportFile = f.reportFile("9.rpt");
    const auto before = QApplication::topLevelWidgets().size();
    const auto refused = showReportPreview(nullptr, bad);
    ASSERT_TRUE(refused);
    EXPECT_TRUE(refused->text.contains("9.rpt"));
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before);

    const auto failure = showReportPreview(nullptr, job("N1"));
    ASSERT_FALSE(failure) << failure->text.toStdString();
    QPrintPreviewDialog* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<QPrintPreviewDialog*>(w); d && d->isVisible())
            dialog = d;
    }
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(dialog->windowTitle().contains("N1"));
    EXPECT_NE(dialog->findChild<QAction*>("saveAsPdf"), nullptr);
    QPointer<QPrintPreviewDialog> guard(dialog);
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
}

QString runTool(const QStringList& args, int* status) {
    QString out, err;
    QTextStream o(&out), e(&err);
    *status = reporttool::runReportCommand(args, o, e);
    return out + err;
}

TEST_F(ReportPdf, CommandWritesThePdf) {
    SKIP_WITHOUT_PDFTOTEXT();
    const QString pdf = f.folder.file("tool.pdf");
    int status = -1;
    const QString said = runTool({"--forecast", "--data", f.path(), "--reg", "N1", "--pdf", pdf,
                                  "--company", "Tool Air", "--phone", "555-9"},
                                 &status);
    EXPECT_EQ(status, 0) << said.toStdString();
    QString why;
    const QString text = pdfText(pdf, &why);
    EXPECT_TRUE(text.contains("Forecast of Time and Cycles Remaining")) << why.toStdString();
    EXPECT_TRUE(text.contains("Tool Air") && text.contains("555-9"));
    EXPECT_TRUE(words(text).contains("1900.0"));
}

TEST_F(ReportPdf, CommandRefusesARegistrationWithoutAircraft) {
    const QString pdf = f.folder.file("tool.pdf");
    int status = 0;
    for (const char* reg : {"N9", "", "N1' OR 'a'='a"}) {
        const QString said = runTool({"--data", f.path(), "--reg", reg, "--pdf", pdf}, &status);
        EXPECT_EQ(status, 1) << reg;
        EXPECT_TRUE(said.contains(QStringLiteral("no aircraft with the registration number \"%1\"")
                                      .arg(QString::fromUtf8(reg))))
            << said.toStdString();
        EXPECT_FALSE(QFile::exists(pdf)) << reg;
    }
    // Letter case and trailing blanks do not make another registration.
    runTool({"--data", f.path(), "--reg", "n1 ", "--pdf", pdf}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(QFile::exists(pdf));
}

// A data file may hold a data source nested deeper than the engine takes: the report is
// refused with a message, the process goes on.
TEST_F(ReportPdf, CommandRefusesADataSourceNestedTooDeeply) {
    if (!f.db->hasQueryDef("Remaining"))
        f.db->createQueryDef("Remaining", "SELECT * FROM Aircraft");
    const QString deep = QStringLiteral("SELECT ") + QStringLiteral("Nz(").repeated(10000) +
                         QStringLiteral("1") + QStringLiteral(")").repeated(10000) +
                         QStringLiteral(" AS X FROM Aircraft");
    f.db->executeBound("UPDATE _StoredQueries SET SqlText = ?1 WHERE Name = 'Remaining'",
                       {data::Value(deep)});
    const QString pdf = f.folder.file("tool.pdf");
    int status = 0;
    const QString said = runTool({"--data", f.path(), "--reg", "N1", "--pdf", pdf}, &status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(said.contains("more than 100 deep")) << said.left(500).toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReportPdf, CommandFailuresExitWithOne) {
    int status = 0;
    const QString pdf = f.folder.file("tool.pdf");
    QString said = runTool({"--data", f.path(), "--pdf", pdf}, &status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(said.contains("--reg"));
    said = runTool({"--data", f.path(), "--reg", "N1", "--pdf", pdf, "--colour"}, &status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(said.contains("--colour"));
    QFile::remove(f.reportFile("1.rpt"));
    said = runTool({"--data", f.path(), "--reg", "N1", "--pdf", pdf}, &status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(said.contains("1.rpt") && said.contains("does not exist")) << said.toStdString();
    said = runTool({"--data", f.folder.file("nowhere"), "--reg", "N1", "--pdf", pdf}, &status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(said.contains("nowhere"));
    EXPECT_FALSE(QFile::exists(pdf));
}

}  // namespace
