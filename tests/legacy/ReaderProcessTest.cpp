// A Jet file read by a reader process of its own gives exactly what reading it here gives:
// every table, column, row and value, the stored queries and the other objects, of every
// public test file.
#include "legacy/MdbTableSource.h"
#include "legacy/ReaderProcessSource.h"
#include "support/JetFixtures.h"
#include "support/TestFiles.h"

#include <QDirIterator>

#include <gtest/gtest.h>

using namespace velmora::legacy;
using namespace velmora::testing;

namespace {

QStringList jetTestFiles() {
    QStringList files;
    QDirIterator it(QStringLiteral(VELMORA_JET_FIXTURES), {"*.mdb", "*.MDB", "*.accdb"},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

// The message opening the file fails with; empty when it opens.
template <typename Open>
QString openingFailure(Open open) {
    try {
        open();
    } catch (const velmora::data::DbError& e) {
        return velmora::legacy::numberedText(e);
    }
    return {};
}

void expectSameRows(TableSource& here, TableSource& there, const SourceTable& t,
                    const QString& file) {
    auto a = here.rows(t.name);
    auto b = there.rows(t.name);
    std::vector<SourceValue> rowHere, rowThere;
    qint64 n = 0;
    for (;;) {
        const bool more = a->next(&rowHere);
        ASSERT_EQ(b->next(&rowThere), more) << file.toStdString() << " " << t.name.toStdString();
        if (!more)
            break;
        ++n;
        ASSERT_EQ(rowThere.size(), rowHere.size());
        for (size_t c = 0; c < rowHere.size(); ++c)
            ASSERT_TRUE(rowHere[c] == rowThere[c] ||
                        rowHere[c].exactText() == rowThere[c].exactText())
                << file.toStdString() << " " << t.name.toStdString() << " row " << n << " column "
                << c << ": " << rowHere[c].exactText().toStdString() << " / "
                << rowThere[c].exactText().toStdString();
    }
    EXPECT_EQ(b->unreadableRows(), a->unreadableRows());
}

}  // namespace

TEST(ReaderProcess, EveryTestFileReadsTheSameAsInThisProcess) {
    const QStringList files = jetTestFiles();
    if (files.isEmpty())
        GTEST_SKIP() << "no Jet test files in " VELMORA_JET_FIXTURES;
    int compared = 0;
    for (const QString& file : files) {
        std::unique_ptr<MdbTableSource> here;
        std::unique_ptr<ReaderProcessSource> there;
        const QString failedHere = openingFailure([&] { here = MdbTableSource::open(file); });
        const QString failedThere =
            openingFailure([&] { there = ReaderProcessSource::open(file); });
        EXPECT_EQ(failedThere, failedHere) << file.toStdString();
        if (!here || !there)
            continue;
        ++compared;
        EXPECT_EQ(there->formatName(), here->formatName());
        const std::vector<SourceTable> tables = here->tables();
        const std::vector<SourceTable> tablesThere = there->tables();
        ASSERT_EQ(tablesThere.size(), tables.size()) << file.toStdString();
        for (size_t i = 0; i < tables.size(); ++i) {
            const SourceTable& t = tables[i];
            const SourceTable& u = tablesThere[i];
            EXPECT_EQ(u.name, t.name);
            EXPECT_EQ(u.rowCount, t.rowCount);
            ASSERT_EQ(u.columns.size(), t.columns.size());
            for (size_t c = 0; c < t.columns.size(); ++c) {
                EXPECT_EQ(u.columns[c].name, t.columns[c].name);
                EXPECT_EQ(u.columns[c].type, t.columns[c].type);
                EXPECT_EQ(u.columns[c].length, t.columns[c].length);
                EXPECT_EQ(u.columns[c].precision, t.columns[c].precision);
                EXPECT_EQ(u.columns[c].scale, t.columns[c].scale);
                EXPECT_EQ(u.columns[c].autoNumber, t.columns[c].autoNumber);
            }
            expectSameRows(*here, *there, t, file);
        }
        const std::vector<SourceQuery> queries = here->queries();
        const std::vector<SourceQuery> queriesThere = there->queries();
        ASSERT_EQ(queriesThere.size(), queries.size());
        for (size_t i = 0; i < queries.size(); ++i) {
            EXPECT_EQ(queriesThere[i].name, queries[i].name);
            EXPECT_EQ(queriesThere[i].sql, queries[i].sql);
            EXPECT_EQ(queriesThere[i].problem, queries[i].problem);
        }
        const std::vector<SourceObject> objects = here->otherObjects();
        const std::vector<SourceObject> objectsThere = there->otherObjects();
        ASSERT_EQ(objectsThere.size(), objects.size());
        for (size_t i = 0; i < objects.size(); ++i) {
            EXPECT_EQ(objectsThere[i].name, objects[i].name);
            EXPECT_EQ(objectsThere[i].reason, objects[i].reason);
        }
    }
    EXPECT_GT(compared, 0);
}

TEST(ReaderProcess, OnlyTheNewestTableMayBeReadAndATableCanBeLeftHalfRead) {
    JET_FIXTURE_OR_SKIP(nwind, "nwind.mdb");
    auto source = ReaderProcessSource::open(nwind);
    auto orders = source->rows("Orders");
    std::vector<SourceValue> row;
    ASSERT_TRUE(orders->next(&row));
    // A table left after its first row: the rest of its rows are passed over.
    auto customers = source->rows("Customers");
    EXPECT_THROW(orders->next(&row), velmora::data::DbError);
    qint64 n = 0;
    while (customers->next(&row))
        ++n;
    EXPECT_EQ(n, 91);
    EXPECT_FALSE(source->queries().empty());
    EXPECT_THROW(source->rows("No such table"), velmora::data::DbError);
}
