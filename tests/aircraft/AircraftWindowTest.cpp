// The aircraft set-up window on the screen: where its specified size fits it keeps it, and
// where it does not, the window is fitted to the screen's available area.
#include "aircraft/frmAircraft.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/Controls.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;

namespace {

class AircraftWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        auto db = data::Database::open(folder.createMainFile());
        folder.createTemplateFile();
        addAircraft(*db, "N1", 800);
        for (int item = 1; item <= 40; ++item)
            addPart(*db, part("N1", item));
        available = QGuiApplication::primaryScreen()->availableGeometry();
    }
    void TearDown() override { screens::SuppressReposition = false; }

    screens::ScopedDialogs dialogs;
    TestFolder folder;
    QRect available;
};

}  // namespace

TEST_F(AircraftWindow, ItKeepsItsSizeWhereItFitsAndIsFittedWhereItDoesNot) {
    aircraft::frmAircraft fits(folder.dataPath());
    const QSize specified = fits.size();
    fits.move(available.topLeft() + QPoint(40, 40));
    fits.show();
    EXPECT_EQ(fits.size(), specified);
    EXPECT_TRUE(available.contains(fits.frameGeometry()));
    fits.close();

    // Placed low and made taller than the screen: within the area, as tall as it allows; the
    // component list shows fewer rows and scrolls.
    aircraft::frmAircraft tall(folder.dataPath());
    tall.resize(specified.width(), available.height() + 400);
    tall.move(available.left() + 40, available.bottom() - 100);
    tall.show();
    EXPECT_TRUE(available.contains(tall.frameGeometry()));
    EXPECT_EQ(tall.frameGeometry().height(), available.height());
    EXPECT_EQ(tall.width(), specified.width());
    EXPECT_GT(control<velmora::screens::DataGrid>(tall, "grdDataGrid")->height(), 0);
    EXPECT_LT(control<velmora::screens::DataGrid>(tall, "grdDataGrid")->geometry().bottom(),
              control<QWidget>(tall, "picButtons")->geometry().top());
    EXPECT_LE(
        control<velmora::screens::BoundRecordSource>(tall, "datPrimaryRS")->geometry().bottom(),
        tall.contentsRect().bottom());
    tall.close();
}
