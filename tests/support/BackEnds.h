#pragma once

// Tests that run against both back ends: the data files and a PostgreSQL database.

#include "PgTestServer.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace velmora::testing {

enum class BackEnd { File, Server };

// Where one test keeps its data: a temporary folder, or a database of its own on the test
// server (whose data sets are the schemas named after the files).
class TestStore {
  public:
    explicit TestStore(BackEnd backEnd);

    BackEnd backEnd() const { return backEnd_; }
    // False when the back end cannot be used here (no test server), with the reason.
    bool isAvailable() const;
    QString whyNot() const;

    // Where a data file lives: its path in the folder, or "URI#Name" on the server.
    QString location(const QString& fileName) const;
    // The data path: the folder (with its trailing separator) or the server database's URI.
    QString dataPath() const;
    // The same data path as another workstation names it, so that what it opens there is
    // reached over a connection of its own: the folder through a link of another name (as a
    // network share mounted elsewhere), the server under another application name.
    QString otherWorkstationDataPath();
    QString createMainFile();      // TimeMgr with its tables; returns its location
    QString createTemplateFile();  // HeliPart
    // The server database itself (empty for the file back end).
    QString serverUri() const;
    // The server database as another login reaches it.
    QString serverUriForUser(const QString& user) const;
    TestFolder& folder() { return folder_; }

  private:
    BackEnd backEnd_;
    TestFolder folder_;
    std::unique_ptr<PgTestDatabase> server_;
    std::unique_ptr<QTemporaryDir> otherName_;
};

// What a data set holds, to see that nothing was written to it: a file's bytes, or every
// row of every table of a data set on the server, as text.
QByteArray storedContent(const QString& location);

// "File" or "Server", for the names of parameterised tests.
std::string backEndName(const ::testing::TestParamInfo<BackEnd>& info);

}  // namespace velmora::testing

// Instantiates a parameterised suite for both back ends.
#define VELMORA_ON_BOTH_BACK_ENDS(suite)                                                           \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        BackEnds, suite,                                                                           \
        ::testing::Values(::velmora::testing::BackEnd::File, ::velmora::testing::BackEnd::Server), \
        ::velmora::testing::backEndName)

// Skips the test when its back end cannot be used here.
#define VELMORA_SKIP_UNLESS_AVAILABLE(store)                \
    do {                                                    \
        if (!(store).isAvailable())                         \
            GTEST_SKIP() << (store).whyNot().toStdString(); \
    } while (0)

// Skips a test that is about the data files themselves (their bytes, permissions, SQLite's
// own limits and storage classes) when it runs against the server.
#define VELMORA_FILES_ONLY(store)                                              \
    do {                                                                       \
        if ((store).backEnd() == ::velmora::testing::BackEnd::Server)          \
            GTEST_SKIP() << "about the data files themselves, not the server"; \
    } while (0)
