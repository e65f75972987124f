// Backups seen from the program: the daily backup at start-up, a damaged file met at
// start-up or when a screen opens, "Restore from backup…" in company set-up, the backup
// before a template is copied and before Jet files are converted; failures are told and
// the program goes on.
#include "AppFixture.h"
#include "support/Controls.h"

#include "aircraft/frmAircraft.h"
#include "app/JetConversionOffer.h"
#include "app/StartUpBackup.h"
#include "app/frmCompanyInfo.h"
#include "backup/BackupSettings.h"
#include "backup/Backups.h"
#include "data/DatabaseCopy.h"
#include "data/Schema.h"
#include "screens/common/Chooser.h"
#include "screens/common/ScreenState.h"
#include "support/FileDamage.h"
#include "support/JetFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <algorithm>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

namespace {

const QDateTime kMorning(QDate(2026, 12, 6), QTime(8, 30, 15));

int aircraftCount(const QString& file) {
    return data::Database::open(file)->openRecordset("Aircraft")->recordCount();
}

QString companyName(const QString& settings) {
    return data::Database::open(settings)->openRecordset("CompanyInfo")->value("Name").toString();
}

void setCompanyName(const QString& settings, const QString& name) {
    data::Database::open(settings)->executeBound("UPDATE CompanyInfo SET Name = ?1",
                                                 {data::Value(name)});
}

class BackupScreens : public AppFixture {
  protected:
    QString main() const { return folder.file("Timemgr.mdb"); }
    QString backups() const { return folder.file("Backups"); }
    std::vector<backup::Backup> listed() const {
        return backup::listBackups({settings, main(), folder.file("HeliPart.mdb")});
    }
    app::frmCompanyInfo* openCompanyScreen() {
        menu->Command1_Click(app::frmMenuVelmora::CompanySetup);
        return qobject_cast<app::frmCompanyInfo*>(
            menu->openScreen(app::frmMenuVelmora::CompanySetup));
    }
};

}  // namespace

TEST_F(BackupScreens, FirstStartOfTheDayBacksUpEveryFileOnce) {
    app::careForDataFilesOnStart(nullptr, folder.path(), kMorning);
    EXPECT_TRUE(dialogs->messages.empty());
    ASSERT_EQ(listed().size(), 1u);
    EXPECT_EQ(listed()[0].name, "2026-12-06_083015_daily");
    EXPECT_EQ(listed()[0].copies.size(), 3u);
    // A second start that day makes none; the next day's first start does.
    app::careForDataFilesOnStart(nullptr, folder.path(), kMorning.addSecs(3600));
    EXPECT_EQ(listed().size(), 1u);
    backup::setDailyBackupsKept(settings, 2);
    for (int day = 1; day <= 3; ++day)
        app::careForDataFilesOnStart(nullptr, folder.path(), kMorning.addDays(day));
    QStringList names;
    for (const backup::Backup& b : listed())
        names << b.name;
    EXPECT_EQ(names, (QStringList{"2026-12-09_083015_daily", "2026-12-08_083015_daily"}));
    EXPECT_TRUE(dialogs->messages.empty());
}

// A file nothing can change (read-only) needs no daily backup and no message.
TEST_F(BackupScreens, ReadOnlyFilesNeedNoDailyBackup) {
    setMode(settings, 0444);
    app::careForDataFilesOnStart(nullptr, folder.path(), kMorning);
    setMode(settings, 0644);
    EXPECT_TRUE(dialogs->messages.empty());
    ASSERT_EQ(listed().size(), 1u);
    EXPECT_EQ(listed()[0].copies.size(), 2u);
    EXPECT_EQ(listed()[0].copyOf(settings), nullptr);
}

TEST_F(BackupScreens, FailedDailyBackupIsToldAndTheProgramGoesOn) {
    QDir().mkpath(backups());
    setMode(backups(), 0555);
    const QByteArray before = fileBytes(main());
    app::careForDataFilesOnStart(nullptr, folder.path(), kMorning);
    setMode(backups(), 0755);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    const screens::MessageRequest& m = dialogs->messages[0];
    EXPECT_EQ(m.title, "Backup");
    EXPECT_EQ(m.icon, MsgIcon::Exclamation);
    EXPECT_EQ(m.buttons, MsgButtons::Ok);
    EXPECT_TRUE(m.text.startsWith("Today's backup of the data files could not be made in full:\n"))
        << m.text.toStdString();
    EXPECT_TRUE(m.text.contains(backups() + " is read-only")) << m.text.toStdString();
    EXPECT_TRUE(m.text.contains("you can go on working")) << m.text.toStdString();
    EXPECT_EQ(fileBytes(main()), before);
    // The backup is tried again at the next start.
    app::careForDataFilesOnStart(nullptr, folder.path(), kMorning.addSecs(60));
    EXPECT_EQ(listed().size(), 1u);
}

TEST_F(BackupScreens, DamagedFileAtStartUpIsNamedAndItsNewestGoodBackupOffered) {
    addManyParts(main(), 300);
    app::careForDataFilesOnStart(nullptr, folder.path(), kMorning);
    addAircraft(*data::Database::open(main()), "N2");
    damageLastPage(main());
    const QByteArray damaged = fileBytes(main());

    // No: the file is left exactly as it is, and no backup is made of it.
    dialogs->answer(MsgAnswer::No);
    app::careForDataFilesOnStart(nullptr, folder.path(), kMorning.addDays(1));
    ASSERT_EQ(dialogs->messages.size(), 1u) << dialogs->messages.back().text.toStdString();
    const screens::MessageRequest& offer = dialogs->messages[0];
    EXPECT_EQ(offer.title, "Damaged data file");
    EXPECT_EQ(offer.buttons, MsgButtons::YesNo);
    EXPECT_EQ(offer.icon, MsgIcon::Critical);
    EXPECT_TRUE(offer.text.contains("The database file " + main() + " is damaged"))
        << offer.text.toStdString();
    EXPECT_TRUE(
        offer.text.contains("Nothing was written to it. Restore its newest good backup, "
                            "of 6 Dec 2026 08:30:15, daily backup?"))
        << offer.text.toStdString();
    EXPECT_EQ(fileBytes(main()), damaged);
    EXPECT_EQ(listed().size(), 2u);  // the other two files got their daily backup

    // Yes: the backup is restored and the damaged file kept.
    dialogs->answer(MsgAnswer::Yes);
    app::careForDataFilesOnStart(nullptr, folder.path(), kMorning.addDays(1));
    ASSERT_EQ(dialogs->messages.size(), 3u);
    EXPECT_EQ(dialogs->messages[2].icon, MsgIcon::Information);
    EXPECT_TRUE(dialogs->messages[2].text.startsWith(main() + " was restored from the backup of "
                                                              "6 Dec 2026 08:30:15"))
        << dialogs->messages[2].text.toStdString();
    EXPECT_TRUE(data::checkDatabaseFile(main(), data::CheckDepth::Full).intact);
    EXPECT_EQ(aircraftCount(main()), 0);  // N2 came after the backup
    bool kept = false;
    for (const backup::Backup& b : listed()) {
        if (b.reason == backup::Reason::BeforeRestore)
            kept = fileBytes(b.copies.front().path) == damaged;
    }
    EXPECT_TRUE(kept);
}

TEST_F(BackupScreens, DamagedFileWithoutBackupIsToldAndLeftAlone) {
    addManyParts(main(), 300);
    damageLastPage(main());
    const QByteArray damaged = fileBytes(main());
    menu->Command1_Click(app::frmMenuVelmora::AircraftSetup);
    ASSERT_GE(dialogs->messages.size(), 1u);
    const screens::MessageRequest& m = dialogs->messages[0];
    EXPECT_EQ(m.buttons, MsgButtons::Ok);
    EXPECT_TRUE(m.text.contains(main())) << m.text.toStdString();
    EXPECT_TRUE(m.text.contains("There is no good backup of it in " + backups()))
        << m.text.toStdString();
    EXPECT_EQ(fileBytes(main()), damaged);
}

TEST_F(BackupScreens, OpeningAScreenOnADamagedFileOffersItsBackup) {
    addManyParts(main(), 300);
    backup::makeBackup({main()}, backup::Reason::Daily, kMorning);
    damageLastPage(main());
    dialogs->answer(MsgAnswer::Yes);
    menu->Command1_Click(app::frmMenuVelmora::TimeRemaining);
    ASSERT_GE(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[0].title, "Damaged data file");
    EXPECT_TRUE(dialogs->messages[1].text.contains("was restored"))
        << dialogs->messages[1].text.toStdString();
    EXPECT_EQ(dialogs->messages.size(), 2u);  // the screen opens on the restored file
    EXPECT_NE(menu->openScreen(app::frmMenuVelmora::TimeRemaining), nullptr);
}

TEST_F(BackupScreens, CompanySetUpKeepsItsControlsAndAddsRestoreAndTheSetting) {
    app::frmCompanyInfo* s = openCompanyScreen();
    ASSERT_NE(s, nullptr);
    // The boxes stay where they are.
    const int boxes[][3] = {{0, 1995, 60}, {1, 1995, 380}, {3, 1995, 1395}, {4, 1995, 1710}};
    const double pixelsPerTwip =
        control<QLineEdit>(*s, "txtFields", app::frmCompanyInfo::Field::Name)->height() / 285.0;
    for (const auto& b : boxes) {
        QLineEdit* box = control<QLineEdit>(*s, "txtFields", static_cast<size_t>(b[0]));
        EXPECT_NEAR(box->x(), b[1] * pixelsPerTwip, 1.0) << b[0];
        EXPECT_NEAR(box->y(), b[2] * pixelsPerTwip, 1.0) << b[0];
    }
    EXPECT_EQ(control<QPushButton>(*s, "cmdRestore")->text(),
              QStringLiteral("&Restore from backup\u2026"));
    EXPECT_TRUE(control<QPushButton>(*s, "cmdRestore")->isVisible());
    EXPECT_FALSE(control<QPushButton>(*s, "cmdRestore")
                     ->geometry()
                     .intersects(control<QPushButton>(*s, "cmdClose")->geometry()));
    EXPECT_GT(control<QSpinBox>(*s, "spnDailyBackups")->y(),
              control<QLineEdit>(*s, "txtFields", app::frmCompanyInfo::Field::PathLogo)
                  ->geometry()
                  .bottom());
    EXPECT_EQ(control<QSpinBox>(*s, "spnDailyBackups")->value(), 14);

    control<QSpinBox>(*s, "spnDailyBackups")->setValue(21);
    s->close();
    processDeletes();
    EXPECT_EQ(backup::dailyBackupsKept(settings), 21);
    EXPECT_EQ(control<QSpinBox>(*openCompanyScreen(), "spnDailyBackups")->value(), 21);
}

TEST_F(BackupScreens, RestoreFromBackupListsConfirmsAndRestores) {
    setCompanyName(settings, "Before");
    backup::makeBackup({settings, main()}, backup::Reason::Daily, kMorning);
    backup::makeBackup({main()}, backup::Reason::BeforeTemplate, kMorning.addSecs(600));
    setCompanyName(settings, "After");
    addAircraft(*data::Database::open(main()), "N2");

    app::frmCompanyInfo* s = openCompanyScreen();
    EXPECT_EQ(control<QLineEdit>(*s, "txtFields", app::frmCompanyInfo::Field::Name)->text(),
              "After");
    // Cancelling the list, or answering No, changes nothing.
    QTest::mouseClick(control<QPushButton>(*s, "cmdRestore"), Qt::LeftButton);
    ASSERT_EQ(dialogs->choiceRequests.size(), 1u);
    const screens::ChoiceRequest& list = dialogs->choiceRequests[0];
    EXPECT_EQ(list.title, "Restore from backup");
    EXPECT_EQ(list.columns, (QStringList{"Taken", "Why", "Files"}));
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[0],
              (QStringList{"2026-12-06 08:40:15", "before a template was applied", "Timemgr.mdb"}));
    EXPECT_EQ(list.rows[1],
              (QStringList{"2026-12-06 08:30:15", "daily backup", "SetupPP.mdb, Timemgr.mdb"}));
    dialogs->choice(1);
    dialogs->answer(MsgAnswer::No);
    QTest::mouseClick(control<QPushButton>(*s, "cmdRestore"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text,
              "Restore the backup of 6 Dec 2026 08:30:15, daily backup?\n\nIt puts back "
              "SetupPP.mdb, Timemgr.mdb as they were then; what was entered since is not in "
              "them. The files as they are now are kept as a backup first.");
    EXPECT_EQ(dialogs->messages[0].defaultButton, MsgAnswer::No);
    EXPECT_EQ(aircraftCount(main()), 1);

    // Yes restores; the screen shows the restored settings.
    control<QLineEdit>(*s, "txtFields", app::frmCompanyInfo::Field::Phone)
        ->setText("555-0100");  // typed before the restore: kept in the files kept
    dialogs->choice(1);
    dialogs->answer(MsgAnswer::Yes);
    QTest::mouseClick(control<QPushButton>(*s, "cmdRestore"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 3u);
    EXPECT_TRUE(dialogs->messages[2].text.startsWith(
        "The backup of 6 Dec 2026 08:30:15, daily backup was restored."))
        << dialogs->messages[2].text.toStdString();
    EXPECT_EQ(aircraftCount(main()), 0);
    EXPECT_EQ(companyName(settings), "Before");
    EXPECT_EQ(control<QLineEdit>(*s, "txtFields", app::frmCompanyInfo::Field::Name)->text(),
              "Before");
    const backup::Backup kept = listed().front();
    EXPECT_EQ(kept.reason, backup::Reason::BeforeRestore);
    EXPECT_EQ(companyName(kept.copyOf(settings)->path), "After");
    EXPECT_EQ(data::Database::open(kept.copyOf(settings)->path)
                  ->openRecordset("CompanyInfo")
                  ->value("Phone")
                  .toString(),
              "555-0100");
}

TEST_F(BackupScreens, RestoreWaitsForTheOtherScreensToClose) {
    backup::makeBackup({main()}, backup::Reason::Daily, kMorning);
    menu->Command1_Click(app::frmMenuVelmora::OilAnalysis);
    app::frmCompanyInfo* s = openCompanyScreen();
    dialogs->messages.clear();
    QTest::mouseClick(control<QPushButton>(*s, "cmdRestore"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text,
              "Close these screens before restoring a backup: Oil Analysis. They hold rows of "
              "the files the backup replaces.");
    EXPECT_TRUE(dialogs->choiceRequests.empty());
}

TEST_F(BackupScreens, NoBackupYetIsSaid) {
    app::frmCompanyInfo* s = openCompanyScreen();
    QTest::mouseClick(control<QPushButton>(*s, "cmdRestore"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_TRUE(dialogs->messages[0].text.startsWith("There is no backup of the data files yet."));
    EXPECT_TRUE(dialogs->choiceRequests.empty());
}

// Picking a model for a new aircraft copies its template after a backup of the main file;
// when the backup cannot be made the user decides.
TEST_F(BackupScreens, TemplateIsCopiedAfterABackupOrWithTheUsersWord) {
    {
        auto library = data::Database::open(folder.file("HeliPart.mdb"));
        library->execute(data::schema::templateTableStatement("Bell"));
        library->execute(
            "INSERT INTO Bell (ItemNumber, Model, Description, Basis, TBO) VALUES "
            "(5, '206B', 'Main rotor', 'RT', 1200)");
        library->execute("INSERT INTO Aircraft (Make, Model) VALUES ('Bell', '206B')");
    }
    auto enterNew = [&](const QString& reg) {
        menu->Command1_Click(app::frmMenuVelmora::AircraftSetup);
        auto* s = qobject_cast<aircraft::frmAircraft*>(menu->openScreen(0));
        s->cmdAdd_Click();
        control<QLineEdit>(*s, "txtFields", aircraft::frmAircraft::Field::RegNum)->setText(reg);
        control<velmora::screens::Chooser>(*s, "Combo2", 0)
            ->setListIndex(control<velmora::screens::Chooser>(*s, "Combo2", 0)->findExact("Bell"));
        control<velmora::screens::Chooser>(*s, "Combo2", 1)
            ->setListIndex(control<velmora::screens::Chooser>(*s, "Combo2", 1)->findExact("206B"));
        return s;
    };
    auto parts = [&](const QString& reg) {
        return data::Database::open(main())
            ->openRecordset("select * from Parts where RegNum = '" + reg + "'")
            ->recordCount();
    };
    aircraft::frmAircraft* s = enterNew("N10");
    EXPECT_EQ(parts("N10"), 1);
    ASSERT_EQ(listed().size(), 1u);
    EXPECT_EQ(listed()[0].reason, backup::Reason::BeforeTemplate);
    EXPECT_EQ(
        data::Database::open(listed()[0].copies[0].path)->openRecordset("Parts")->recordCount(), 0);
    delete s;
    screens::SuppressReposition = false;

    setMode(backups(), 0555);
    dialogs->answer(MsgAnswer::No);
    s = enterNew("N11");
    setMode(backups(), 0755);
    ASSERT_FALSE(dialogs->messages.empty());
    const screens::MessageRequest& q = dialogs->messages.back();
    EXPECT_EQ(q.title, "Backup");
    EXPECT_EQ(q.defaultButton, MsgAnswer::No);
    EXPECT_TRUE(
        q.text.startsWith("The data files are backed up before a template's components "
                          "are copied, but the backup could not be made:\n"))
        << q.text.toStdString();
    EXPECT_EQ(parts("N11"), 0);
    delete s;
    screens::SuppressReposition = false;
}

TEST(BackupBeforeConversion, TheVelmoraFilesAreBackedUpFirst) {
    JET_FIXTURE_OR_SKIP(dates, "DateTestDatabase.mdb");
    TestFolder folder;
    const QString data = folder.file("Data");
    QDir().mkpath(data);
    const QString settings = folder.createCompanyFile(data + "/");
    const QString templates = data + "/HeliPart.mdb";
    data::schema::createTemplateFile(templates);
    QFile::copy(dates, data + "/TimeMgr.mdb");
    QFile::setPermissions(data + "/TimeMgr.mdb", QFile::ReadOwner | QFile::WriteOwner);

    screens::ScopedDialogs dialogs;
    // A backup that cannot be made is asked about; No converts nothing.
    QDir().mkpath(data + "/Backups");
    setMode(data + "/Backups", 0555);
    dialogs->answer(MsgAnswer::Yes);
    dialogs->answer(MsgAnswer::No);
    EXPECT_FALSE(app::offerJetConversion(nullptr, folder.path()));
    setMode(data + "/Backups", 0755);
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_TRUE(dialogs->messages[1].text.startsWith(
        "The data files are backed up before the Jet files are converted, but the backup could "
        "not be made:\n"));
    EXPECT_FALSE(QFileInfo::exists(data + "/TimeMgr.mdb.jet"));

    dialogs->answer(MsgAnswer::Yes);
    EXPECT_TRUE(app::offerJetConversion(nullptr, folder.path()));
    const auto listed = backup::listBackups({settings, templates});
    // Only the backup of both made now: the first try could not copy the template library,
    // so nothing of it was kept.
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].reason, backup::Reason::BeforeConversion);
    EXPECT_EQ(listed[0].copies.size(), 2u);
    EXPECT_TRUE(QFileInfo::exists(data + "/TimeMgr.mdb.jet"));
}

// A settings file that is no longer a database is replaced as a whole from its backup; then
// the data files it names are looked at too.
TEST(DamagedSettingsAtStartUp, AreRestoredBeforeTheDataFilesAreLookedAt) {
    TestFolder folder;
    const QString settings = folder.createCompanyFile(folder.dataPath());
    folder.createMainFile();
    folder.createTemplateFile();
    backup::makeBackup({settings}, backup::Reason::Daily, kMorning);
    QByteArray bytes = fileBytes(settings);
    bytes.replace(0, 16, QByteArray(16, 'x'));
    QFile::remove(settings);
    folder.writeFile("SetupPP.mdb", bytes);

    screens::ScopedDialogs dialogs;
    dialogs->answer(MsgAnswer::Yes);
    app::careForDataFilesOnStart(nullptr, folder.path(), kMorning.addDays(1));
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_TRUE(dialogs->messages[0].text.contains(settings))
        << dialogs->messages[0].text.toStdString();
    EXPECT_TRUE(dialogs->messages[1].text.startsWith(settings + " was restored"));
    EXPECT_EQ(
        data::Database::open(settings)->openRecordset("CompanyInfo")->value("PathData").toString(),
        folder.dataPath());
    // With the settings back, the day's backup covers all three files. (The copy of the
    // damaged file kept before the restore carries the clock's own time, so the list is
    // searched rather than its order relied on.)
    const auto listed =
        backup::listBackups({settings, folder.file("Timemgr.mdb"), folder.file("HeliPart.mdb")});
    const auto daily = std::find_if(listed.begin(), listed.end(), [](const backup::Backup& b) {
        return b.reason == backup::Reason::Daily && b.taken == kMorning.addDays(1);
    });
    ASSERT_NE(daily, listed.end());
    EXPECT_EQ(daily->copies.size(), 3u);
    EXPECT_EQ(std::count_if(listed.begin(), listed.end(),
                            [](const backup::Backup& b) {
                                return b.reason == backup::Reason::BeforeRestore;
                            }),
              1);
}
