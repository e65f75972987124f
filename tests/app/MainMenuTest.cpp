#include "AppFixture.h"
#include "support/Controls.h"

#include "app/frmCompanyInfo.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;

namespace {
class MainMenu : public AppFixture {};

void setLogo(const QString& settingsFile, const data::Value& logo) {
    auto db = data::Database::open(settingsFile);
    auto rs = db->openRecordset("CompanyInfo");
    rs->edit();
    rs->setValue("PathLogo", logo);
    rs->update();
}
}  // namespace

TEST_F(MainMenu, ShowsItsButtonsInRaisedPanelsWhereTheyBelong) {
    EXPECT_EQ(menu->windowTitle(), "Velmora");
    const char* captions[] = {"&Aircraft  Set-up", "&Time Remaining", "&Oil Analysis",
                              "&Company Set-up", "&Exit"};
    const int tops[] = {120, 1785, 3450, 5130, 6945};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(control<QPushButton>(*menu, "Command1", i)->text(), captions[i]);
        EXPECT_EQ(control<QFrame>(*menu, "SSPanel1", i)->geometry(),
                  QRect(14, tops[i] / 15, 135, 103));
        EXPECT_EQ(control<QFrame>(*menu, "SSPanel1", i)->frameShadow(), QFrame::Raised);
        EXPECT_EQ(control<QPushButton>(*menu, "Command1", i)->geometry(), QRect(3, 3, 129, 97));
    }
    // Screens that are not there yet have no button to open them.
    EXPECT_TRUE(control<QPushButton>(*menu, "Command1", 0)->isEnabled());
    EXPECT_TRUE(control<QPushButton>(*menu, "Command1", 1)->isEnabled());
    EXPECT_TRUE(control<QPushButton>(*menu, "Command1", 2)->isEnabled());
    EXPECT_TRUE(control<QPushButton>(*menu, "Command1", 3)->isEnabled());
    EXPECT_TRUE(control<QPushButton>(*menu, "Command1", 4)->isEnabled());
    menu->show();
    menu->resize(700, 650);
    EXPECT_EQ(control<QLabel>(*menu, "Image1")->geometry(), QRect(0, 0, 700, 650));
    EXPECT_FALSE(control<QLabel>(*menu, "Image1")->pixmap().isNull());
}

TEST_F(MainMenu, ASecondClickBringsTheSameScreenForward) {
    QTest::mouseClick(control<QPushButton>(*menu, "Command1", 3), Qt::LeftButton);
    QWidget* first = menu->openScreen(app::frmMenuVelmora::CompanySetup);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    QTest::mouseClick(control<QPushButton>(*menu, "Command1", 3), Qt::LeftButton);
    EXPECT_EQ(menu->openScreen(app::frmMenuVelmora::CompanySetup), first);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(MainMenu, CompanyPictureReplacesTheBackdropWhenItCanBeLoaded) {
    const QString bmp = writePicture("logo.bmp", "BMP");
    setLogo(settings, bmp);
    menu->Form_Activate();
    EXPECT_EQ(menu->pictureSource(), bmp);
    EXPECT_EQ(control<QLabel>(*menu, "Image1")->pixmap().size(), QSize(40, 30));

    // A missing file or a file that is no picture keeps what is shown, silently.
    setLogo(settings, folder.file("missing.jpg"));
    menu->Form_Activate();
    EXPECT_EQ(menu->pictureSource(), bmp);
    const QString notPicture = folder.writeFile("notes.jpg", "this is not a picture");
    setLogo(settings, notPicture);
    menu->Form_Activate();
    EXPECT_EQ(menu->pictureSource(), bmp);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(MainMenu, NullPictureKeepsTheBuiltInBackdrop) {
    menu->Form_Activate();
    EXPECT_EQ(menu->pictureSource(), ":/velmora/backdrop.jpg");
}

TEST_F(MainMenu, ClosingTheMenuClosesTheScreensWhichSaveTheirRows) {
    menu->show();
    QTest::mouseClick(control<QPushButton>(*menu, "Command1", 3), Qt::LeftButton);
    auto* company =
        qobject_cast<app::frmCompanyInfo*>(menu->openScreen(app::frmMenuVelmora::CompanySetup));
    ASSERT_NE(company, nullptr);
    control<QLineEdit>(*company, "txtFields", app::frmCompanyInfo::Field::Name)->setFocus();
    QTest::keyClicks(control<QLineEdit>(*company, "txtFields", app::frmCompanyInfo::Field::Name),
                     "Skyline Rotor Services");
    menu->close();
    processDeletes();
    EXPECT_EQ(menu->openScreen(app::frmMenuVelmora::CompanySetup), nullptr);
    auto rs = data::Database::open(settings)->openRecordset("CompanyInfo");
    EXPECT_EQ(rs->value("Name").toString(), "Skyline Rotor Services");
}

TEST(MainMenuFailures, UnreadableSettingsAreReportedAndTheMenuStaysUsable) {
    screens::ScopedDialogs dialogs;
    TestFolder folder;
    folder.writeFile("SetupPP.mdb", "garbage that is not a database at all");
    const QByteArray before = fileBytes(folder.file("SetupPP.mdb"));
    app::frmMenuVelmora menu(folder.path());
    app::registerScreens(menu);
    menu.Form_Load();
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.startsWith("Data error event hit err:"));
    EXPECT_TRUE(dialogs->messages[0].text.contains("SetupPP"));
    EXPECT_EQ(dialogs->messages[0].buttons, screens::MsgButtons::Ok);
    menu.Form_Activate();
    EXPECT_TRUE(control<QPushButton>(menu, "Command1", 3)->isEnabled());
    EXPECT_EQ(fileBytes(folder.file("SetupPP.mdb")), before);
}

TEST_F(MainMenu, ScreensOpenOnTheCompanyDataPathAndNeverCreateDataFiles) {
    QTest::mouseClick(control<QPushButton>(*menu, "Command1", 0), Qt::LeftButton);
    QWidget* aircraft = menu->openScreen(app::frmMenuVelmora::AircraftSetup);
    ASSERT_NE(aircraft, nullptr);
    EXPECT_EQ(aircraft->windowTitle(), "Aircraft Set-up");
    EXPECT_TRUE(dialogs->messages.empty());
    delete aircraft;

    // A data path that names no data files is reported; nothing is created there.
    const QString empty = folder.file("Empty") + "/";
    QDir().mkpath(empty);
    {
        auto db = data::Database::open(settings);
        auto rs = db->openRecordset("CompanyInfo");
        rs->edit();
        rs->setValue("PathData", empty);
        rs->update();
    }
    QTest::mouseClick(control<QPushButton>(*menu, "Command1", 0), Qt::LeftButton);
    ASSERT_FALSE(dialogs->messages.empty());
    EXPECT_TRUE(dialogs->messages[0].text.startsWith("Data error event hit err:"));
    EXPECT_TRUE(dialogs->messages[0].text.contains("Timemgr.mdb"));
    EXPECT_TRUE(QDir(empty).entryList(QDir::Files).isEmpty());
}
