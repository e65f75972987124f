// Jet files damaged in ways that made mdbtools crash or loop: each ends in a message that
// names the file and what is wrong, and the reader (and the program) goes on.
#include "legacy/MdbTableSource.h"
#include "support/DamagedJetFiles.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace velmora::legacy;
using namespace velmora::testing;

namespace {

// Every row of every table read; the values that could not be read, each as "table: why".
QStringList unreadableValues(TableSource& source, int* rowsRead = nullptr) {
    QStringList unreadable;
    for (const SourceTable& t : source.tables()) {
        auto rows = source.rows(t.name);
        std::vector<SourceValue> row;
        while (rows->next(&row)) {
            if (rowsRead)
                ++*rowsRead;
            for (const SourceValue& v : row) {
                if (v.kind() == SourceValue::Kind::Unreadable)
                    unreadable << t.name + ": " + v.text();
            }
        }
    }
    return unreadable;
}

}  // namespace

TEST(DamagedJetFile, ATableDefinitionWithoutItsColumnsIsReportedNotFollowed) {
    const QByteArray bytes = jetWithDamagedTableDefinition();
    if (bytes.isEmpty())
        GTEST_SKIP() << "nwind.mdb is not in " VELMORA_JET_FIXTURES;
    TestFolder folder;
    const QString file = folder.writeFile("cols.mdb", bytes);
    auto source = MdbTableSource::open(file);
    try {
        source->tables();
        ADD_FAILURE() << "the damaged definition was read";
    } catch (const velmora::data::DbError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("The Jet database %1 is damaged: the definition of "
                                           "table 'Orders' cannot be read.")
                                .arg(file));
    }
    // The other tables can still be read, and the stored queries.
    EXPECT_FALSE(source->queries().empty());
    std::vector<SourceValue> row;
    EXPECT_TRUE(source->rows("Customers")->next(&row));
    EXPECT_THROW(source->rows("Orders"), velmora::data::DbError);
}

TEST(DamagedJetFile, ALongValueWhoseChainOfPagesLoopsIsReportedNotRepeated) {
    const QByteArray bytes = jetWithLongValueChainLoop();
    if (bytes.isEmpty())
        GTEST_SKIP() << "nwind.mdb is not in " VELMORA_JET_FIXTURES;
    TestFolder folder;
    auto source = MdbTableSource::open(folder.writeFile("loop.mdb", bytes));
    EXPECT_EQ(unreadableValues(*source),
              QStringList{"Categories: the OLE object cannot be read: its chain of "
                          "pages is broken"});
}

TEST(DamagedJetFile, AValueThatLiesBeyondItsPageIsReportedAndTheOtherRowsRead) {
    const QByteArray bytes = jetWithFieldBeyondItsPage();
    if (bytes.isEmpty())
        GTEST_SKIP() << "DateTestDatabase.mdb is not in " VELMORA_JET_FIXTURES;
    TestFolder folder;
    auto source = MdbTableSource::open(folder.writeFile("beyond.mdb", bytes));
    int rowsRead = 0;
    const QStringList unreadable = unreadableValues(*source, &rowsRead);
    // The file's six rows are all read; only the damaged value is reported.
    EXPECT_EQ(rowsRead, 6);
    EXPECT_EQ(unreadable, QStringList{"DateTest: the file's bytes for this value are damaged"});
}
