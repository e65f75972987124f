// Start-up meeting data files of the earlier program in the Jet format: the question, what
// Yes, No and a cancel do, through the start-up code with scripted answers.
#include "app/JetConversionOffer.h"
#include "app/JetDataFiles.h"
#include "app/frmMenuVelmora.h"
#include "data/Recordset.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/JetFixtures.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

namespace {

QString copyInto(const QString& fixture, const QString& target) {
    QFile::remove(target);
    if (!QFile::copy(fixture, target))
        throw std::runtime_error("cannot copy a test file");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

QString question(const QString& file) {
    return file + " is in the earlier Jet format. Convert it now? The original is kept as " + file +
           ".jet.";
}

// A program folder whose settings file is Velmora's and names a data folder.
struct ProgramFolder {
    TestFolder folder;
    QString data;
    ProgramFolder() {
        data = folder.file("Data");
        QDir().mkpath(data);
        folder.createCompanyFile(data + "/");
    }
};

}  // namespace

TEST(JetConversionAtStartUp, YesConvertsTheDataFilesAndKeepsTheOriginals) {
    JET_FIXTURE_OR_SKIP(dates, "DateTestDatabase.mdb");
    JET_FIXTURE_OR_SKIP(ace, "ASampleDatabase.accdb");
    ProgramFolder p;
    const QString main = copyInto(dates, p.data + "/TimeMgr.mdb");
    const QString templates = copyInto(ace, p.data + "/HeliPart.mdb");
    const QByteArray mainBytes = fileBytes(main), templateBytes = fileBytes(templates);

    screens::ScopedDialogs dialogs;
    dialogs->answer(MsgAnswer::Yes);
    EXPECT_TRUE(app::offerJetConversion(nullptr, p.folder.path()));

    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[0],
              (screens::MessageRequest{question(main), "Velmora", MsgButtons::YesNo,
                                       MsgIcon::Question, MsgAnswer::Yes}));
    const screens::MessageRequest& report = dialogs->messages[1];
    EXPECT_EQ(report.icon, MsgIcon::Information);
    EXPECT_EQ(report.buttons, MsgButtons::Ok);
    EXPECT_TRUE(report.text.contains("  DateTest: 6 read, 6 written; copied unchanged"))
        << report.text.toStdString();
    EXPECT_TRUE(report.text.contains("  Asset Items: 65 read, 65 written; copied unchanged"));
    EXPECT_TRUE(report.text.contains(main + ".jet.txt"));
    EXPECT_TRUE(report.text.contains("The original is kept as " + main + ".jet."));
    // The whole report stays beside the original.
    EXPECT_TRUE(fileBytes(main + ".jet.txt").startsWith("Source: " + main.toUtf8() + " (Jet 4)\n"));

    // The originals are kept unchanged beside the converted files; nothing else is left.
    EXPECT_EQ(fileBytes(main + ".jet"), mainBytes);
    EXPECT_EQ(fileBytes(templates + ".jet"), templateBytes);
    EXPECT_EQ(
        folderEntries(p.data),
        QStringList({"1.rpt", "2.rpt", "HeliPart.mdb", "HeliPart.mdb.jet", "HeliPart.mdb.jet.txt",
                     "TimeMgr.mdb", "TimeMgr.mdb.jet", "TimeMgr.mdb.jet.txt"}));

    // The converted files are Velmora's, as if they had always been.
    auto db = data::Database::open(main);
    EXPECT_TRUE(db->hasTable("Aircraft") && db->hasTable("Parts") && db->hasTable("Oil"));
    EXPECT_EQ(db->openRecordset("DateTest")->recordCount(), 6);
    EXPECT_EQ(db->queryDefNames(), QStringList({"Forecast", "Remaining"}));
    auto library = data::Database::open(templates);
    EXPECT_EQ(library->openRecordset("select * from [Aircraft] Order by [Make]")->recordCount(), 0);
    EXPECT_EQ(library->openRecordset("Asset Items")->recordCount(), 65);
    db.reset();
    library.reset();

    // A second start finds nothing to convert and asks nothing.
    EXPECT_FALSE(app::offerJetConversion(nullptr, p.folder.path()));
    EXPECT_EQ(dialogs->messages.size(), 2u);
}

TEST(JetConversionAtStartUp, AJetSettingsFileIsConvertedAndTheMenuOpensIt) {
    JET_FIXTURE_OR_SKIP(dates, "DateTestDatabase.mdb");
    TestFolder folder;
    const QString settings = copyInto(dates, folder.file("SetupPP.mdb"));
    const QByteArray before = fileBytes(settings);

    screens::ScopedDialogs dialogs;
    dialogs->answer(MsgAnswer::Yes);
    ASSERT_TRUE(app::offerJetConversion(nullptr, folder.path()));
    EXPECT_EQ(dialogs->messages[0].text, question(settings));
    EXPECT_EQ(fileBytes(settings + ".jet"), before);

    app::frmMenuVelmora menu(folder.path());
    menu.Form_Load();
    EXPECT_EQ(dialogs->messages.size(), 2u);  // no data error: the file opens
    EXPECT_TRUE(menu.company().isOpen());
    EXPECT_EQ(data::Database::open(settings)->openRecordset("DateTest")->recordCount(), 6);
}

TEST(JetConversionAtStartUp, NoLeavesEverythingAsItWasWithTodaysMessage) {
    JET_FIXTURE_OR_SKIP(dates, "DateTestDatabase.mdb");
    TestFolder folder;
    const QString settings = copyInto(dates, folder.file("SetupPP.mdb"));
    const QByteArray before = fileBytes(settings);

    screens::ScopedDialogs dialogs;
    dialogs->answer(MsgAnswer::No);
    EXPECT_FALSE(app::offerJetConversion(nullptr, folder.path()));
    EXPECT_EQ(fileBytes(settings), before);
    EXPECT_EQ(folderEntries(folder.path()), QStringList{"SetupPP.mdb"});

    app::frmMenuVelmora menu(folder.path());
    menu.Form_Load();
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_TRUE(dialogs->messages[1].text.startsWith("Data error event hit err:"));
    EXPECT_TRUE(dialogs->messages[1].text.contains("is a Microsoft Access (Jet) database"));
    EXPECT_FALSE(menu.company().isOpen());
}

TEST(JetConversionAtStartUp, ALongConversionShowsItsProgressAndCanBeCancelled) {
    JET_FIXTURE_OR_SKIP(nwind, "nwind.mdb");
    ProgramFolder p;
    const QString main = copyInto(nwind, p.data + "/TimeMgr.mdb");
    const QByteArray before = fileBytes(main);

    screens::MousePointer::setDefault();  // whatever an earlier test left
    screens::ScopedDialogs dialogs;
    dialogs->answer(MsgAnswer::Yes);
    bool sawProgress = false, busyMeanwhile = false;
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* progress = qobject_cast<QProgressDialog*>(w);
            if (progress && progress->isVisible() && !sawProgress) {
                sawProgress = true;
                busyMeanwhile = QApplication::overrideCursor() &&
                                QApplication::overrideCursor()->shape() == Qt::WaitCursor;
                progress->cancel();
            }
        }
    });
    canceller.start(0);
    EXPECT_FALSE(app::offerJetConversion(nullptr, p.folder.path()));
    canceller.stop();

    EXPECT_TRUE(sawProgress);
    EXPECT_TRUE(busyMeanwhile);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].text,
              "The conversion was cancelled. The files were left as they were.");
    EXPECT_EQ(fileBytes(main), before);
    EXPECT_EQ(folderEntries(p.data), QStringList{"TimeMgr.mdb"});
}

TEST(JetConversionAtStartUp, AFailureLeavesEveryFileAsItWas) {
    JET_FIXTURE_OR_SKIP(dates, "DateTestDatabase.mdb");
    ProgramFolder p;
    const QString main = copyInto(dates, p.data + "/TimeMgr.mdb");
    // The name the original would be kept under is taken.
    p.folder.writeFile("Data/TimeMgr.mdb.jet", "an older copy");

    screens::ScopedDialogs dialogs;
    dialogs->answer(MsgAnswer::Yes);
    EXPECT_FALSE(app::offerJetConversion(nullptr, p.folder.path()));
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].icon, MsgIcon::Critical);
    EXPECT_TRUE(dialogs->messages[1].text.startsWith("The Jet files could not be converted: "));
    EXPECT_TRUE(dialogs->messages[1].text.endsWith("The files were left as they were."));
    EXPECT_EQ(fileBytes(main), fileBytes(dates));
    EXPECT_EQ(fileBytes(main + ".jet"), QByteArray("an older copy"));
    EXPECT_EQ(folderEntries(p.data), QStringList({"TimeMgr.mdb", "TimeMgr.mdb.jet"}));
}
