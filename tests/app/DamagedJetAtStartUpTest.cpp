// Start-up's offer to convert Jet files meeting files that made mdbtools crash or loop: Yes
// ends in a numbered message, every file stays as it was, and the program goes on, start
// after start.
#include "app/JetConversionOffer.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/DamagedJetFiles.h"
#include "support/JetFixtures.h"
#include "support/ScopedEnvironment.h"
#include "support/TestFiles.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using screens::MsgAnswer;
using screens::MsgIcon;

namespace {

QString failure(const QString& reason) {
    return "The Jet files could not be converted: " + reason +
           "\nThe files were left as they were.";
}

}  // namespace

TEST(DamagedJetAtStartUp, AFileThatCrashedTheReaderIsToldAtEveryStart) {
    const QByteArray bytes = jetWithDamagedTableDefinition();
    if (bytes.isEmpty())
        GTEST_SKIP() << "nwind.mdb is not in " VELMORA_JET_FIXTURES;
    TestFolder folder;
    QDir().mkpath(folder.file("Data"));
    folder.createCompanyFile(folder.file("Data") + "/");
    const QString main = folder.writeFile("Data/TimeMgr.mdb", bytes);

    screens::ScopedDialogs dialogs;
    // Two starts: the second meets the same file and goes on the same way.
    for (int start = 1; start <= 2; ++start) {
        dialogs->answer(MsgAnswer::Yes);
        EXPECT_FALSE(app::offerJetConversion(nullptr, folder.path()));
        ASSERT_EQ(dialogs->messages.size(), 2u * static_cast<size_t>(start));
        const screens::MessageRequest& told = dialogs->messages.back();
        EXPECT_EQ(told.icon, MsgIcon::Critical);
        EXPECT_EQ(told.text, failure(QStringLiteral("error 3049: The Jet database %1 is "
                                                    "damaged: the definition of table 'Orders' "
                                                    "cannot be read.")
                                         .arg(main)));
        EXPECT_EQ(fileBytes(main), bytes);
        EXPECT_EQ(folderEntries(folder.file("Data")), QStringList{"TimeMgr.mdb"});
    }
}

TEST(DamagedJetAtStartUp, ASettingsFileThatMakesTheReaderLoopIsStoppedInTime) {
    const QByteArray bytes = jetCutShortSoThatMdbtoolsLoops();
    if (bytes.isEmpty())
        GTEST_SKIP() << "ASampleDatabase.accdb is not in " VELMORA_JET_FIXTURES;
    TestFolder folder;
    const QString settings = folder.writeFile("SetupPP.mdb", bytes);
    ScopedEnvironment timeout("VELMORA_JET_READER_TIMEOUT", "2");

    screens::ScopedDialogs dialogs;
    dialogs->answer(MsgAnswer::Yes);
    EXPECT_FALSE(app::offerJetConversion(nullptr, folder.path()));
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs->messages[1].text,
              failure(QStringLiteral("error 3049: The Jet database %1 is damaged and cannot be "
                                     "converted: reading it did not finish within 2 seconds.")
                          .arg(settings)));
    EXPECT_EQ(fileBytes(settings), bytes);
    EXPECT_EQ(folderEntries(folder.path()), QStringList{"SetupPP.mdb"});
}

TEST(DamagedJetAtStartUp, HalfMadeFilesOfAKilledConversionAreRemovedByTheNext) {
    JET_FIXTURE_OR_SKIP(dates, "DateTestDatabase.mdb");
    TestFolder folder;
    QDir().mkpath(folder.file("Data"));
    folder.createCompanyFile(folder.file("Data") + "/");
    const QString main = folder.writeFile("Data/TimeMgr.mdb", fileBytes(dates));
    folder.writeFile("Data/TimeMgr.mdb.converting", "half a database");
    folder.writeFile("Data/TimeMgr.mdb.converting-journal", "its journal");

    screens::ScopedDialogs dialogs;
    dialogs->answer(MsgAnswer::Yes);
    EXPECT_TRUE(app::offerJetConversion(nullptr, folder.path()));
    EXPECT_EQ(
        folderEntries(folder.file("Data")),
        QStringList({"1.rpt", "2.rpt", "TimeMgr.mdb", "TimeMgr.mdb.jet", "TimeMgr.mdb.jet.txt"}));
    EXPECT_EQ(fileBytes(main + ".jet"), fileBytes(dates));
}

TEST(DamagedJetAtStartUp, AnEncryptedFileIsToldWhatItIs) {
    const QByteArray bytes = jetMarkedEncrypted("ASampleDatabase.accdb");
    if (bytes.isEmpty())
        GTEST_SKIP() << "ASampleDatabase.accdb is not in " VELMORA_JET_FIXTURES;
    TestFolder folder;
    const QString settings = folder.writeFile("SetupPP.mdb", bytes);

    screens::ScopedDialogs dialogs;
    dialogs->answer(MsgAnswer::Yes);
    EXPECT_FALSE(app::offerJetConversion(nullptr, folder.path()));
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].icon, MsgIcon::Critical);
    EXPECT_EQ(dialogs->messages[1].text,
              failure(QStringLiteral("error 3031: The Jet database %1 is encrypted with a "
                                     "password; open it in Access, remove the password, and "
                                     "convert it again.")
                          .arg(settings)));
    EXPECT_EQ(fileBytes(settings), bytes);
    EXPECT_EQ(folderEntries(folder.path()), QStringList{"SetupPP.mdb"});
}
