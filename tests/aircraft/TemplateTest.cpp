// Component templates through the aircraft set-up screen and the two data files.
#include "aircraft/TemplateLibrary.h"
#include "aircraft/frmAircraft.h"
#include "data/Schema.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"
#include "support/Controls.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using aircraft::frmAircraft;
using screens::MsgAnswer;

namespace {

class Templates : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        QApplication::setApplicationDisplayName("Velmora");
        main = store.createMainFile();
        library = store.createTemplateFile();
        auto db = data::Database::open(main);
        addAircraft(*db, "N1", 800);
        db->execute("UPDATE Aircraft SET Make = 'Aerodyne', Model = 'AX-1' WHERE RegNum = 'N1'");
        PartSpec p;
        p.reg = "N1";
        for (auto [item, name, active] :
             {std::tuple{10, "Main rotor", true}, std::tuple{20, "Tail rotor", true},
              std::tuple{30, "Spare pump", false}}) {
            p.item = item;
            p.description = name;
            p.active = active;
            p.life = 2000;
            addPart(*db, p);
        }
        db->execute(
            "UPDATE Parts SET PartNumber = 'P-' & ItemNumber, Assembly = 'Rotor', "
            "ReplaceCost = 1500.5, Manufacturer = 'Rotorworks'");
    }
    void TearDown() override {
        screen.reset();
        screens::SuppressReposition = false;
    }
    frmAircraft& open() {
        screen = std::make_unique<frmAircraft>(store.dataPath());
        screen->show();
        QApplication::setActiveWindow(screen.get());
        screen->Form_Activate();
        return *screen;
    }
    QString value(const QString& file, const QString& sql) {
        auto rs = data::Database::open(file)->openRecordset(sql);
        return rs->hasCurrent() ? rs->value(0).toString() : QStringLiteral("<no row>");
    }
    // A template stored straight into the library.
    void storeTemplate(const QString& make, const QString& model, std::vector<int> items) {
        std::vector<aircraft::TemplateRow> rows;
        int n = 0;
        for (int item : items) {
            rows.push_back({data::Value(item), data::Value("Factory"),
                            data::Value(QStringLiteral("Part %1").arg(++n)), data::Value("PN"),
                            data::Value("Engine"), data::Value(1500.0), data::Value("OH"),
                            data::Value(250.25)});
        }
        aircraft::saveTemplate(library, make, model, rows);
    }

    screens::ScopedDialogs dialogs;
    TestStore store{GetParam()};
    QString main, library;
    std::unique_ptr<frmAircraft> screen;
};

}  // namespace

TEST_P(Templates, SavingCreatesTheMakesTableAndSavingAgainReplacesTheRows) {
    frmAircraft& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdTemplate"), Qt::LeftButton);
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(value(library, "select count(*) from [Aerodyne] where Model = 'AX-1'"), "2");
    EXPECT_EQ(value(library, "select PartNum from [Aerodyne] where ItemNumber = 20"), "P-20");
    EXPECT_EQ(value(library, "select TBO from [Aerodyne] where ItemNumber = 20"), "2000");
    EXPECT_EQ(value(library, "select Cost from [Aerodyne] where ItemNumber = 20"), "1500.5");
    EXPECT_EQ(value(library, "select Manufacturer from [Aerodyne] where ItemNumber = 20"),
              "Rotorworks");
    QTest::mouseClick(control<QPushButton>(s, "cmdTemplate"), Qt::LeftButton);
    EXPECT_EQ(value(library, "select count(*) from [Aerodyne]"), "2");
    EXPECT_EQ(value(library, "select count(*) from Aircraft where Make = 'Aerodyne'"), "1");
}

TEST_P(Templates, AMakeWithBlanksAroundItSavesAgainUnderTheTrimmedName) {
    data::Database::open(main)->execute(
        "UPDATE Aircraft SET Make = '  Bell  ' WHERE RegNum = 'N1'");
    frmAircraft& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdTemplate"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(s, "cmdTemplate"), Qt::LeftButton);
    EXPECT_TRUE(dialogs->messages.empty())
        << (dialogs->messages.empty() ? "" : dialogs->messages[0].text.toStdString());
    auto lib = data::Database::open(library);
    EXPECT_EQ(lib->tableNames(), QStringList({"Aircraft", "Bell"}));
    EXPECT_EQ(value(library, "select count(*) from [Bell]"), "2");
    EXPECT_EQ(value(library, "select Make from Aircraft"), "Bell");
    EXPECT_EQ(value(library, "select count(*) from Aircraft"), "1");
}

TEST_P(Templates, SavingUnderNotInstalledStoresOnlyThoseComponents) {
    frmAircraft& s = open();
    QTest::mouseClick(control<QRadioButton>(s, "Option1", 1), Qt::LeftButton, {},
                      QPoint(6, control<QRadioButton>(s, "Option1", 1)->height() / 2));
    QTest::mouseClick(control<QPushButton>(s, "cmdTemplate"), Qt::LeftButton);
    EXPECT_EQ(value(library, "select count(*) from [Aerodyne]"), "1");
    EXPECT_EQ(value(library, "select Description from [Aerodyne]"), "Spare pump");
}

TEST_P(Templates, ANewAircraftTakesAModelsComponentsWithGeneratedItemNumbers) {
    storeTemplate("Bell", "47G", {0, 0, 7, 0});
    storeTemplate("BELL", "47G-2", {3});
    storeTemplate("Cessna", "172", {1});
    frmAircraft& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdAdd"), Qt::LeftButton);
    EXPECT_TRUE(control<velmora::screens::Chooser>(s, "Combo2", 0)->isVisible());
    EXPECT_FALSE(control<QLineEdit>(s, "txtFields", frmAircraft::Field::Make)->isVisible());
    EXPECT_TRUE(control<velmora::screens::Chooser>(s, "Combo2", 0)->isEnabled());
    EXPECT_FALSE(control<velmora::screens::Chooser>(s, "Combo2", 1)->isEnabled());
    // Makes differing in letter case are listed once.
    ASSERT_EQ(control<velmora::screens::Chooser>(s, "Combo2", 0)->entryCount(), 3);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2", 0)->itemText(0), "<Add new>");

    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), "n900");
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::SerialNumber)->setFocus();
    control<velmora::screens::Chooser>(s, "Combo2", 0)
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo2", 0)->findExact("Bell"));
    EXPECT_TRUE(control<velmora::screens::Chooser>(s, "Combo2", 1)->isEnabled());
    // Models are matched to the make as it is spelt.
    ASSERT_EQ(control<velmora::screens::Chooser>(s, "Combo2", 1)->entryCount(), 2);
    EXPECT_EQ(control<velmora::screens::Chooser>(s, "Combo2", 1)->itemText(1), "47G");
    control<velmora::screens::Chooser>(s, "Combo2", 1)->setListIndex(1);
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(value(main, "select count(*) from Parts where RegNum = 'N900'"), "4");
    auto rs = data::Database::open(main)->openRecordset(
        "select * from Parts where RegNum = 'N900' order by Description");
    const int expected[] = {1, 5, 7, 10};
    for (int i = 0; i < 4; ++i, rs->moveNext()) {
        EXPECT_EQ(rs->value("ItemNumber").toInt(), expected[i]);
        EXPECT_EQ(rs->value("Manufacturer").toString(), "Bell");
        EXPECT_EQ(rs->value("MeterNumber").toInt(), 1);
        EXPECT_EQ(rs->value("Active").toInt(), -1);
        EXPECT_EQ(rs->value("LifeBasis").toString(), "OH");
        EXPECT_EQ(rs->value("LifeNumber").toDouble(), 1500.0);
        EXPECT_EQ(rs->value("ReplaceCost").toDouble(), 250.25);
    }
    EXPECT_EQ(control<velmora::screens::DataGrid>(s, "grdDataGrid")->rowCount(), 4);
    // The aircraft is saved with the chosen make and model.
    QTest::mouseClick(control<QPushButton>(s, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(value(main, "select Make & '/' & Model from Aircraft where RegNum = 'N900'"),
              "Bell/47G");
}

TEST_P(Templates, TheChoosersStayWhileTheNewAircraftIsSavedByAMeterEntry) {
    storeTemplate("Bell", "47G", {1, 2});
    frmAircraft& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdAdd"), Qt::LeftButton);
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), "n900");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::RegNum), Qt::Key_Return);
    // The first meter reading saves the new aircraft.
    dialogs->answer(MsgAnswer::Yes);
    control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1)->setFocus();
    QTest::keyClicks(control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1), "100");
    QTest::keyClick(control<QLineEdit>(s, "txtFields", frmAircraft::Field::CurrentMeter1),
                    Qt::Key_Return);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    ASSERT_EQ(value(main, "select CurrentMeter1 from Aircraft where RegNum = 'N900'"), "100");
    EXPECT_EQ(QApplication::focusWidget(),
              control<QLineEdit>(s, "txtFields",
                                 frmAircraft::Field::CurrentMeter2));  // Enter's order: meter 2
    EXPECT_TRUE(control<velmora::screens::Chooser>(s, "Combo2", 0)->isVisible());
    EXPECT_TRUE(control<velmora::screens::Chooser>(s, "Combo2", 1)->isVisible());
    EXPECT_FALSE(control<QLineEdit>(s, "txtFields", frmAircraft::Field::Make)->isVisible());
    // A model is still there to be picked.
    control<velmora::screens::Chooser>(s, "Combo2", 0)
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo2", 0)->findExact("Bell"));
    control<velmora::screens::Chooser>(s, "Combo2", 1)->setListIndex(1);
    EXPECT_EQ(value(main, "select count(*) from Parts where RegNum = 'N900'"), "2");
    EXPECT_TRUE(control<velmora::screens::Chooser>(s, "Combo2", 1)->isVisible());
    // Another aircraft shows its own make and model.
    control<velmora::screens::Chooser>(s, "Combo1")
        ->setListIndex(control<velmora::screens::Chooser>(s, "Combo1")->findExact("N1"));
    EXPECT_FALSE(control<velmora::screens::Chooser>(s, "Combo2", 0)->isVisible());
    EXPECT_TRUE(control<QLineEdit>(s, "txtFields", frmAircraft::Field::Make)->isVisible());
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", frmAircraft::Field::Make)->text(), "Aerodyne");
}

TEST_P(Templates, HostileMakeAndModelNamesSaveAndApplyOrAreRefusedClearly) {
    data::Database::open(main)->execute(
        "UPDATE Aircraft SET Make = 'Sky Works; DROP', Model = 'Pilot''s 2' WHERE RegNum = 'N1'");
    frmAircraft& s = open();
    QTest::mouseClick(control<QPushButton>(s, "cmdTemplate"), Qt::LeftButton);
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(value(library, "select count(*) from [Sky Works; DROP] where Model = 'Pilot''s 2'"),
              "2");
    const auto rows = aircraft::readTemplate(library, "Sky Works; DROP", "Pilot's 2");
    EXPECT_EQ(rows.size(), 2u);

    const QByteArray before = storedContent(library);
    for (const char* make : {"Rotor [X]", "   ", "Aircraft"}) {
        data::Database::open(main)->executeBound("UPDATE Aircraft SET Make = ?1",
                                                 {data::Value(make)});
        open();
        dialogs->messages.clear();
        QTest::mouseClick(control<QPushButton>(*screen, "cmdTemplate"), Qt::LeftButton);
        ASSERT_EQ(dialogs->messages.size(), 1u) << make;
        EXPECT_EQ(dialogs->messages[0].title, "Save as Template");
    }
    EXPECT_EQ(storedContent(library), before);
}

TEST_P(Templates, ALibraryThatCannotBeWrittenIsReportedAndLeftAlone) {
    VELMORA_FILES_ONLY(store);  // about the file's permissions
    frmAircraft& s = open();
    screen.reset();
    QFile::setPermissions(library, QFile::ReadOwner);
    const QByteArray before = storedContent(library);
    frmAircraft& again = open();
    Q_UNUSED(s);
    dialogs->messages.clear();
    QTest::mouseClick(control<QPushButton>(again, "cmdTemplate"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.contains("read-only"));
    EXPECT_EQ(storedContent(library), before);
    QFile::setPermissions(library, QFile::ReadOwner | QFile::WriteOwner);
}

TEST(TemplateItemNumbers, ZerosBecomeOneFiveTenFifteen) {
    EXPECT_EQ(aircraft::generatedItemNumbers({0, 0, 7, 0}),
              (std::vector<std::int64_t>{1, 5, 7, 10}));
    EXPECT_EQ(aircraft::generatedItemNumbers({0, 0, 0, 0, 0}),
              (std::vector<std::int64_t>{1, 5, 10, 15, 20}));
    EXPECT_EQ(aircraft::generatedItemNumbers({4, 9}), (std::vector<std::int64_t>{4, 9}));
}

VELMORA_ON_BOTH_BACK_ENDS(Templates);
