// Overdue red and due soon amber where remaining life is shown: the time remaining grid (each
// row's own figure only) and the printed reports, by the company's warning levels and the
// aircraft's daily use, as the due list judges them.
#include "ReportCommand.h"
#include "data/DataFiles.h"
#include "due/DueListSource.h"
#include "remaining/RemainingGridColumns.h"
#include "remaining/frmRemain.h"
#include "reportfiles/MainDataFile.h"
#include "reportfiles/ReportDefinition.h"
#include "reports/ReportData.h"
#include "reports/ReportSelection.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/Controls.h"
#include "support/TestFiles.h"
#include "utilisation/PlannedUtilisation.h"

#include <QApplication>
#include <QBrush>
#include <QRadioButton>
#include <QTextStream>

#include <gtest/gtest.h>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using remaining::gridcol::CYCtoRET;
using remaining::gridcol::MTHStoRT;
using remaining::gridcol::TTtoOH;
using remaining::gridcol::TTtoRET;

namespace {

const QColor kAmber = due::warningColour(due::WarningLevel::DueSoon);
const QColor kRed(Qt::red);

// N1 has flown 1000 hours and 40 cycles. With the default levels (10% of the life, or 30
// days) and no daily use: 1000 of 2000 hours left is fine, 0 and 100 of 1000 are due soon,
// 101 is fine until 4 hours a day bring it within 30 days, -100 is overdue.
class WarningColours : public ::testing::Test {
  protected:
    void SetUp() override {
        main = folder.dataPath() + data::files::kMain;
        reports::createMainDataFile(main);
        ASSERT_NO_THROW(reports::writeDefaultReportDefinitions(folder.path()));
        auto db = data::Database::open(main);
        addAircraft(*db, "N1", 1000, 0, 0, 40);
        auto add = [&](int item, const char* basis, double life, double ac, const char* name) {
            addPart(*db, part("N1", item).withBasis(basis).withLife(life, 0, ac).describedAs(name));
        };
        add(1, "RT", 2000, 0, "Rotor blade");   // 1000 left
        add(2, "RT", 1000, 0, "Tail gearbox");  // 0 left
        add(3, "RT", 1000, 100, "Starter");     // 100 left: 10% of the life
        add(4, "RT", 1000, 101, "Generator");   // 101 left
        add(5, "OH", 900, 0, "Engine");         // -100
        add(6, "CY", 100, 0, "Disc");           // 60 cycles of 100 left
        addPart(*db, part("N1", 7)
                         .withBasis("MO")
                         .withLife(12, 0, 0)
                         .installedOn(
                             QDate::currentDate().addDays(10).addMonths(-12).toString(Qt::ISODate))
                         .describedAs("Fire bottle"));  // retires in 10 days
    }
    void TearDown() override {
        screen.reset();
        screens::SuppressReposition = false;
    }

    remaining::frmRemain& open() {
        screen = std::make_unique<remaining::frmRemain>(folder.dataPath(), nullptr);
        screen->show();
        return *screen;
    }
    QColor colour(int item, int column) {
        screens::DataGrid* g = control<velmora::screens::DataGrid>(*screen, "grdDataGrid");
        for (int r = 0; r < g->rowCount(); ++r) {
            if (g->valueAt(r, 0).toInt() == item)
                return g->model()
                    ->index(r, column)
                    .data(Qt::ForegroundRole)
                    .value<QBrush>()
                    .color();
        }
        ADD_FAILURE() << "no item " << item;
        return {};
    }
    static QColor none() { return QBrush().color(); }

    void plan(double hoursADay) {
        utilisation::DailyUtilisation use;
        use.meter1Hours = hoursADay;
        utilisation::savePlannedUtilisation(*data::Database::open(main), {{"N1", use}});
    }

    screens::ScopedDialogs dialogs;
    TestFolder folder;
    QString main;
    std::unique_ptr<remaining::frmRemain> screen;
};

TEST_F(WarningColours, TheGridMarksEachRowsOwnFigure) {
    remaining::frmRemain& s = open();
    EXPECT_EQ(colour(1, TTtoRET), none());
    EXPECT_EQ(colour(2, TTtoRET), kAmber);
    EXPECT_EQ(colour(3, TTtoRET), kAmber);
    EXPECT_EQ(colour(4, TTtoRET), none());
    EXPECT_EQ(colour(5, TTtoOH), kRed);
    EXPECT_EQ(colour(7, MTHStoRT), kAmber);
    // The cycles column holds 0 for every other row: no remaining life, no colour.
    EXPECT_EQ(colour(1, CYCtoRET), none());
    EXPECT_EQ(colour(6, CYCtoRET), none());
    EXPECT_EQ(colour(5, TTtoRET), none());

    // With 4 hours a day planned, 101 hours last 25 days: due soon by its date.
    plan(4);
    s.setWarningLevels(due::WarningSettings{}, due::plannedUtilisation());
    s.Option1_Click(0);
    EXPECT_EQ(colour(4, TTtoRET), kAmber);
    EXPECT_EQ(colour(1, TTtoRET), none());  // 250 days

    // The company's own levels: flight time to retire due soon within 50 hours, dates not
    // counted; cycles within 60.
    due::WarningSettings levels;
    levels.of(due::Basis::RT).soonAmount = 50;
    levels.of(due::Basis::RT).soonDays.reset();
    levels.of(due::Basis::CY).soonAmount = 60;
    s.setWarningLevels(levels, due::plannedUtilisation());
    EXPECT_EQ(colour(2, TTtoRET), kAmber);
    EXPECT_EQ(colour(3, TTtoRET), none());
    EXPECT_EQ(colour(4, TTtoRET), none());
    EXPECT_EQ(colour(6, CYCtoRET), kAmber);
    EXPECT_EQ(colour(5, TTtoOH), kRed);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(WarningColours, TheReportMarksDueSoonBesideOverdue) {
    plan(4);
    reports::ReportJob job;
    job.reportFile = folder.file(reports::kActualReportFile);
    job.dataFile = "TimeMgr.mdb";
    job.selectionFormula = reports::selectionFormulaFor(reports::kRemainingSource, "N1");
    reports::ReportModel model;
    const auto failure = reports::loadReportModel(job, &model);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    QMap<QString, const reports::ReportLine*> byName;
    int nameColumn = -1;
    for (int c = 0; c < model.definition.columns.size(); ++c) {
        if (model.definition.columns[c].field == "Description")
            nameColumn = c;
    }
    ASSERT_GE(nameColumn, 0);
    for (const reports::ReportLine& l : model.lines)
        byName.insert(l.cells[static_cast<size_t>(nameColumn)].text, &l);
    ASSERT_EQ(byName.size(), 7);
    for (const char* soon : {"Tail gearbox", "Starter", "Generator", "Fire bottle"}) {
        SCOPED_TRACE(soon);
        const reports::ReportLine& l = *byName.value(soon);
        EXPECT_TRUE(l.dueSoon);
        EXPECT_FALSE(l.highlighted);
        int marked = 0;
        for (const reports::ReportCell& c : l.cells)
            marked += c.dueSoon;
        EXPECT_EQ(marked, 1) << "its remaining figure (or retirement date) only";
    }
    EXPECT_TRUE(byName.value("Engine")->highlighted);
    EXPECT_FALSE(byName.value("Engine")->dueSoon);
    EXPECT_FALSE(byName.value("Rotor blade")->dueSoon);
    EXPECT_EQ(model.values.value("duesoon"), "4");
    EXPECT_EQ(model.values.value("overdue"), "1");

    // Without daily use the generator is judged by its hours alone: fine.
    job.utilisation = nullptr;
    ASSERT_FALSE(reports::loadReportModel(job, &model));
    EXPECT_EQ(model.values.value("duesoon"), "3");
}

}  // namespace

namespace {

TEST_F(WarningColours, VelmoraReportTakesTheLevelsOfANamedSettingsFile) {
    const QString settings = folder.createCompanyFile(folder.dataPath());
    const QString pdf = folder.file("n1.pdf");
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    const QStringList args = {"--data", folder.path(), "--reg", "N1", "--pdf", pdf};
    EXPECT_EQ(reporttool::runReportCommand(args + QStringList{"--settings", settings}, out, err), 0)
        << errText.toStdString();
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
    const QString missing = folder.file("Elsewhere.mdb");
    EXPECT_EQ(reporttool::runReportCommand(args + QStringList{"--settings", missing}, out, err), 1);
    EXPECT_TRUE(errText.contains("Elsewhere.mdb")) << errText.toStdString();
}

}  // namespace
