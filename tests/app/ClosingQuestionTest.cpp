// "Data has changed. Save data?" as each editing screen closes, answered in the real box:
// No leaves the data as it was, Yes saves, Cancel keeps the screen with its changes.
#include "aircraft/frmAircraft.h"
#include "oil/OilSamples.h"
#include "oil/frmOilAnalysis.h"
#include "remaining/frmRemain.h"
#include "screens/common/DataGrid.h"
#include "screens/common/Dialogs.h"
#include "screens/common/ScreenState.h"
#include "support/BackEnds.h"
#include "support/Controls.h"
#include "support/RealMessageBoxes.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;

namespace {

class ClosingQuestion : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        QApplication::setApplicationDisplayName("Velmora");
        screens::Dialogs::install(nullptr);  // the real boxes
        path = store.createMainFile();
        store.createTemplateFile();
        auto db = data::Database::open(path);
        addAircraft(*db, "N1", 800);
        db->execute(
            "UPDATE Aircraft SET [Serial Number] = 'SN-1', CurrentMeter1 = 1234.5, LastMeter1 = "
            "1234.5 WHERE RegNum = 'N1'");
        addPart(*db, part("N1", 10).describedAs("Main gearbox").withOil());
        db->execute(
            "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron) VALUES "
            "('N1', 'Main gearbox', #1/5/2026#, 3)");
    }
    void TearDown() override {
        window.reset();
        screens::SuppressReposition = false;
    }

    template <class Screen, class... Args>
    Screen& open(Args&&... args) {
        auto* s = new Screen(store.dataPath(), std::forward<Args>(args)...);
        window.reset(s);
        s->show();
        QApplication::setActiveWindow(s);
        s->activateWindow();
        QApplication::processEvents();
        return *s;
    }
    // Types over a line's text, as the user does, and stays in it.
    static void typeInto(QLineEdit* box, const QString& text) {
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    }
    // Closes the window with the closing question answered by a key ('Y', 'N' or Escape).
    std::shared_ptr<AnsweredBoxes> closeAnswering(int key) {
        auto boxes = answerBoxesWithKeys({key});
        window->close();
        return boxes;
    }
    QString stored(const QString& sql) {
        auto rs = data::Database::open(path)->openRecordset(sql);
        return rs->hasCurrent() ? rs->value(0).toString() : QStringLiteral("<no row>");
    }

    TestStore store{GetParam()};
    QString path;
    std::unique_ptr<QWidget> window;
};

}  // namespace

TEST_P(ClosingQuestion, NoOnAircraftSetupLeavesTheAircraftAndItsComponentsAsTheyWere) {
    auto& s = open<aircraft::frmAircraft>();
    const QByteArray before = storedContent(path);
    typeInto(control<QLineEdit>(s, "txtFields", aircraft::frmAircraft::Field::SerialNumber),
             "SN-2");
    QTest::mouseClick(
        control<QPlainTextEdit>(s, "txtFields", aircraft::frmAircraft::Field::Owner)->viewport(),
        Qt::LeftButton);
    QTest::keyClicks(control<QPlainTextEdit>(s, "txtFields", aircraft::frmAircraft::Field::Owner),
                     "Blue Sky");
    screens::DataGrid* g = control<velmora::screens::DataGrid>(s, "grdDataGrid");
    g->setFocus();
    g->setCurrentRow(0);
    g->setCurrentColumn(5);
    ASSERT_TRUE(g->setCellValue(5, data::Value("Gearbox, main")));
    control<QLineEdit>(s, "txtFields", aircraft::frmAircraft::Field::SerialNumber)->setFocus();

    auto boxes = closeAnswering(Qt::Key_Escape);  // Cancel keeps everything on screen
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(boxes->boxes[0].text, "Data has changed. Save data?");
    EXPECT_TRUE(s.isVisible());
    EXPECT_EQ(
        control<QLineEdit>(s, "txtFields", aircraft::frmAircraft::Field::SerialNumber)->text(),
        "SN-2");

    boxes = closeAnswering('N');
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(storedContent(path), before);
}

TEST_P(ClosingQuestion, YesOnAircraftSetupSavesTheChanges) {
    auto& s = open<aircraft::frmAircraft>();
    typeInto(control<QLineEdit>(s, "txtFields", aircraft::frmAircraft::Field::SerialNumber),
             "SN-2");
    auto boxes = closeAnswering('Y');
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(stored("select [Serial Number] from Aircraft where RegNum = 'N1'"), "SN-2");
}

TEST_P(ClosingQuestion, YesRunsTheRuleOfAMeterEntryStillInItsBoxBeforeSaving) {
    // A plus entry saved as typed would be the meter's reading: the rule counts it first.
    auto& s = open<aircraft::frmAircraft>();
    typeInto(control<QLineEdit>(s, "txtFields", aircraft::frmAircraft::Field::CurrentMeter1), "+3");
    auto boxes = answerBoxesWithKeys({'Y', 'Y'});
    s.close();
    ASSERT_EQ(boxes->boxes.size(), 2u);
    EXPECT_EQ(boxes->boxes[1].text, "Flight time was changed by 3.0. Is this correct?");
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(stored("select CurrentMeter1 & '/' & LastMeter1 & '/' & TotalTime from Aircraft"),
              "1237.5/1237.5/803");

    auto& r = open<remaining::frmRemain>([](const QString&) { return data::Value(); });
    typeInto(control<QLineEdit>(r, "txtFields", remaining::frmRemain::Field::CurrentMeter1), "+2");
    boxes = answerBoxesWithKeys({'Y', 'Y'});
    r.close();
    ASSERT_EQ(boxes->boxes.size(), 2u);
    EXPECT_FALSE(r.isVisible());
    EXPECT_EQ(stored("select CurrentMeter1 & '/' & LastMeter1 & '/' & TotalTime from Aircraft"),
              "1239.5/1239.5/805");
}

TEST_P(ClosingQuestion, NoOnTimeRemainingLeavesTheAircraftAsItWas) {
    auto& s = open<remaining::frmRemain>([](const QString&) { return data::Value(); });
    const QByteArray before = storedContent(path);
    typeInto(control<QLineEdit>(s, "txtFields", remaining::frmRemain::Field::SerialNumber),
             "SN-2");  // Serial Number, not left: nothing saved yet
    ASSERT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    auto boxes = closeAnswering('N');
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(storedContent(path), before);
}

TEST_P(ClosingQuestion, NoOnOilAnalysisLeavesTheSamplesAsTheyWere) {
    auto& s = open<oil::frmOilAnalysis>();
    const QByteArray before = storedContent(path);
    screens::DataGrid* g = control<velmora::screens::DataGrid>(s, "grdDataGrid");
    ASSERT_EQ(g->rowCount(), 1);
    g->setFocus();
    g->setCurrentRow(0);
    g->setCurrentColumn(oil::kColIron);
    QTest::keyClick(g, Qt::Key_F2);
    auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    cell->selectAll();
    QTest::keyClicks(cell, "9");
    QTest::keyClick(cell, Qt::Key_Return);
    ASSERT_TRUE(control<QPushButton>(s, "cmdSave")->isEnabled());
    auto boxes = closeAnswering('N');
    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_FALSE(s.isVisible());
    EXPECT_EQ(storedContent(path), before);
    EXPECT_EQ(stored("select Iron from Oil"), "3");
}

VELMORA_ON_BOTH_BACK_ENDS(ClosingQuestion);
