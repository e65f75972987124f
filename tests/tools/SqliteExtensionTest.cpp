// The loadable SQLite extension (velmora.so): the sqlite3 program with it compares the text
// of a data file as the engine does and runs the SQL the engine writes, with the engine's
// figures; without it, a text comparison on such a file fails.
#include "data/JetSqlTranslator.h"
#include "legacy/FileConversion.h"
#include "remaining/RemainingLifeQuery.h"
#include "support/JetFixtures.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Value;

namespace {

const QString kExtension = QStringLiteral(VELMORA_SQLITE_EXTENSION);

// The rows sqlite3 prints for the SQL (SQLite's own, as the engine translates it), with the
// extension loaded or not.
ToolRun sqlite3(const QString& file, const QString& sql, bool withExtension) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (program.isEmpty())
        return {-1, {}, QStringLiteral("the sqlite3 program is not installed (scripts/deps.sh)")};
    QStringList args = {QStringLiteral("-json"), QStringLiteral("-bail"), file};
    if (withExtension)
        args << QStringLiteral(".load ") + kExtension.chopped(3);  // as a user types it
    args << sql;
#ifdef VELMORA_ASAN_RUNTIME
    // A sanitized build's extension in the plain sqlite3 program: its runtime goes first, and
    // the program's own allocations at exit are not this project's to report.
    const QByteArray options = qgetenv("ASAN_OPTIONS");
    qputenv("LD_PRELOAD", VELMORA_ASAN_RUNTIME);
    qputenv("ASAN_OPTIONS", options + ":detect_leaks=0");
    const ToolRun run = runTool(program, args);
    qunsetenv("LD_PRELOAD");
    qputenv("ASAN_OPTIONS", options);
    return run;
#else
    return runTool(program, args);
#endif
}

QJsonArray rowsOf(const ToolRun& run) {
    return QJsonDocument::fromJson(run.out.toUtf8()).array();
}

// The engine's value and the one sqlite3 printed are the same.
void expectSame(const Value& engine, const QJsonValue& printed, const QString& column) {
    SCOPED_TRACE(column.toStdString());
    if (engine.isNull())
        EXPECT_TRUE(printed.isNull()) << printed.toVariant().toString().toStdString();
    else if (engine.isNumber())
        EXPECT_DOUBLE_EQ(printed.toDouble(), engine.toDouble());
    else
        EXPECT_EQ(printed.toString(), engine.toString());
}

}  // namespace

TEST(SqliteExtension, TheRemainingLifeQueryGivesTheEnginesFigures) {
    TestFolder folder;
    const QString file = folder.createMainFile();
    {
        auto db = data::Database::open(file);
        addAircraft(*db, "N1", 1200.5, 800.25, 3000, 1500, 40);
        addAircraft(*db, "N2", 10);
        int item = 0;
        for (const char* basis : {"RT", "OH", "IN", "LD", "CY", "RN"}) {
            for (int meter : {1, 2}) {
                ++item;
                addPart(*db, part("N1", item)
                                 .withBasis(QString::fromLatin1(basis))
                                 .withMeter(meter)
                                 .withLife(2000, 150.5, 100 * item));
            }
        }
        addPart(*db,
                part("N1", ++item).withBasis("MO").withLife(18, 0, 0).installedOn("2021-01-31"));
        addPart(*db,
                part("N1", ++item).withBasis("mo").withLife(6, 0, 0).installedOn("2020-08-31"));
        addPart(*db, part("N1", ++item).inactive());
        addPart(*db, part("N2", 1));
    }
    // The registration as typed in another letter case with a trailing blank: Jet's rule.
    const QString jet = remaining::remainingLifeSql("n1 ", remaining::MeterView::Both);
    const QString sql = data::translateJetStatement(jet).sql;

    const ToolRun run = sqlite3(file, sql, true);
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonArray printed = rowsOf(run);
    auto engine = data::Database::open(file)->openRecordset(jet);
    ASSERT_EQ(printed.size(), 14);
    ASSERT_EQ(engine->recordCount(), printed.size());
    const QStringList computed = {"ItemNumber", "TTtoRET",  "TTtoRET2", "LNDtoRET",
                                  "CYCtoRET",   "RINtoRET", "TTtoOH",   "TTtoIN",
                                  "MTHStoRT",   "TTtoOH2",  "TTtoIN2"};
    for (const QJsonValue& row : printed) {
        ASSERT_FALSE(engine->eof());
        for (const QString& column : computed)
            expectSame(engine->value(column), row.toObject()[column], column);
        engine->moveNext();
    }
    // The months components' dates, worked out by the engine's DateAdd and Format.
    EXPECT_EQ(printed[12].toObject()["MTHStoRT"].toString(), "07/31/22");
    EXPECT_EQ(printed[13].toObject()["MTHStoRT"].toString(), "02/28/21");
}

TEST(SqliteExtension, WithoutItAConvertedFilesTextCannotBeCompared) {
    JET_FIXTURE_OR_SKIP(source, "more/fruit.mdb");
    TestFolder folder;
    const QString file = folder.file("fruit.mdb");
    legacy::convertJetFile(source, file, {});
    // Text compared as Jet compares it, without regard to letter case and trailing blanks:
    // by the column's own declaration and by the engine's translation.
    const QString plain =
        QStringLiteral("SELECT count(*) AS n FROM Fruit WHERE Fruit IN ('apple ', 'BANANA')");
    const QString jet = QStringLiteral(
        "SELECT Count(*) AS n, UCase(Min([Fruit])) AS first FROM Fruit WHERE [Fruit] >= 'b' "
        "AND [Fruit] < 'C  '");
    const QString translated = data::translateJetStatement(jet).sql;
    const ToolRun without = sqlite3(file, plain, false);
    EXPECT_NE(without.status, 0);
    EXPECT_TRUE(without.err.contains("no such collation sequence: JETTEXT"))
        << without.err.toStdString();
    EXPECT_NE(sqlite3(file, translated, false).status, 0);

    const ToolRun with = sqlite3(file, plain, true);
    ASSERT_EQ(with.status, 0) << with.err.toStdString();
    EXPECT_EQ(rowsOf(with)[0].toObject()["n"].toInt(), 2);
    const ToolRun ranged = sqlite3(file, translated, true);
    ASSERT_EQ(ranged.status, 0) << ranged.err.toStdString();
    auto engine = data::Database::open(file)->openRecordset(jet);
    EXPECT_GT(engine->value("n").toInt(), 1);
    expectSame(engine->value("n"), rowsOf(ranged)[0].toObject()["n"], "n");
    expectSame(engine->value("first"), rowsOf(ranged)[0].toObject()["first"], "first");
}
