#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

ToolRun velmoraSql(const QStringList& args) {
    return runTool(QStringLiteral(VELMORA_SQL_BIN), args);
}

class VelmoraSql : public ::testing::Test {
  protected:
    void SetUp() override {
        main = folder.createMainFile();
        auto db = data::Database::open(main);
        addAircraft(*db, "N1", 1234.5, 0, 800);
        addAircraft(*db, "N2, \"B\"", 0);
        PartSpec p;
        p.reg = "N1";
        p.item = 1;
        p.life = 1240;
        p.installLeft = 6.5;
        p.installDate = "2005-01-31";
        p.description = "Main rotor, blade";
        addPart(*db, p);
    }
    TestFolder folder;
    QString main;
};

}  // namespace

TEST_F(VelmoraSql, SelectPrintsCsvWithHeaderAndPlainValues) {
    const ToolRun r =
        velmoraSql({main,
                    "select [RegNum],[ItemNumber],[Active],[LifeNumber],[InstallTimeLeft],"
                    "[InstallDate],[Description],[Notes],[LifeNumber]-[InstallTimeLeft]*-1 AS X "
                    "from [Parts]"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "RegNum,ItemNumber,Active,LifeNumber,InstallTimeLeft,InstallDate,Description,Notes,X"
              "\r\nN1,1,-1,1240,6.5,2005-01-31,\"Main rotor, blade\",,1246.5\r\n");
    EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(VelmoraSql, QuotesInValuesAreEscapedAndTextComparesWithoutCase) {
    const ToolRun r = velmoraSql(
        {main, "select [RegNum], [TotalLandings] from [Aircraft] where [RegNum] <> 'n1'"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "RegNum,TotalLandings\r\n\"N2, \"\"B\"\"\",0\r\n");
}

TEST_F(VelmoraSql, ChangesPrintTheRowCountAndReachTheFile) {
    const ToolRun r = velmoraSql({main,
                                  "UPDATE Aircraft SET TotalTime = TotalTime + 2 WHERE "
                                  "RegNum = \"n1\""});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), "1");
    const ToolRun check = velmoraSql({main, "select TotalTime from Aircraft where RegNum='N1'"});
    EXPECT_EQ(check.out, "TotalTime\r\n1236.5\r\n");
}

TEST_F(VelmoraSql, StoredQueryOpensByName) {
    data::Database::open(main)->createQueryDef("Heavy",
                                               "select RegNum from Aircraft where "
                                               "TotalTime > 1000");
    const ToolRun r = velmoraSql({main, "Heavy"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "RegNum\r\nN1\r\n");
}

TEST_F(VelmoraSql, FailuresPrintANumberedErrorAndLeaveTheFileAlone) {
    const QByteArray before = fileBytes(main);
    struct Case {
        QStringList args;
        QString prefix;
    } cases[] = {
        {{folder.file("Nothing.mdb"), "select * from Aircraft"}, "velmora-sql: error 3024: "},
        {{main, "select * from Aircraftz"}, "velmora-sql: error 3078: "},
        {{main, "select * from Aircraft where"}, "velmora-sql: error 3075: "},
        {{main, "UPDATE Aircraft SET TotalLandings = 'many'"}, "velmora-sql: error 3464: "},
        {{main, "UPDATE Aircraft SET RegNum = 'ABCDEFGHIJKLMNOP'"}, "velmora-sql: error 3163: "},
        {{main, "select [TailNumber] from Aircraft"}, "velmora-sql: error 3061: "},
        {{main, "select Frobnicate(RegNum) from Aircraft"}, "velmora-sql: error 3085: "},
        {{main, "DELETE FROM Aircraft WHERE RegNum = 'N1' --"}, "velmora-sql: error 3075: "},
    };
    for (const Case& c : cases) {
        const ToolRun r = velmoraSql(c.args);
        EXPECT_EQ(r.status, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(c.prefix)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(fileBytes(main), before);
    EXPECT_FALSE(QFile::exists(folder.file("Nothing.mdb")));
}

// The tool runs Jet SQL only: SQLite's own functions and tables are out of its reach, and a
// runtime error writes nothing.
TEST_F(VelmoraSql, RunsJetSqlOnly) {
    const QByteArray before = fileBytes(main);
    const struct {
        const char* sql;
        const char* error;
    } cases[] = {
        {"SELECT hex(fts3_tokenizer('simple')) AS p",
         "velmora-sql: error 3085: Undefined function 'hex' in expression.\n"},
        {"SELECT RegNum FROM Aircraft WHERE fts3_tokenizer('simple', randomblob(8)) IS NOT NULL",
         "velmora-sql: error 3085: Undefined function 'fts3_tokenizer' in expression.\n"},
        {"SELECT length(randomblob(999000000)) AS n",
         "velmora-sql: error 3085: Undefined function 'length' in expression.\n"},
        {"SELECT sql FROM sqlite_master",
         "velmora-sql: error 3078: Cannot find the table or query 'sqlite_master'.\n"},
        {"UPDATE Parts SET LifeNumber = Sqr(LifeNumber - 1e6)", "velmora-sql: error 5: "},
        {"UPDATE Aircraft SET TotalTime = 1e308 * 10", "velmora-sql: error 6: "},
        {"UPDATE Aircraft SET TotalTime = TotalTime / 0", "velmora-sql: error 11: "},
    };
    for (const auto& c : cases) {
        const ToolRun r = velmoraSql({main, QString::fromLatin1(c.sql)});
        EXPECT_EQ(r.status, 1) << c.sql;
        EXPECT_TRUE(r.err.startsWith(QLatin1String(c.error))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    }
    EXPECT_EQ(fileBytes(main), before);
    const ToolRun plus = velmoraSql(
        {main,
         "UPDATE Parts SET Description = Description + ' (overhauled)' WHERE ItemNumber = 1"});
    EXPECT_EQ(plus.status, 0) << plus.err.toStdString();
    EXPECT_EQ(velmoraSql({main, "SELECT Description FROM Parts"}).out,
              "Description\r\n\"Main rotor, blade (overhauled)\"\r\n");
}

TEST_F(VelmoraSql, NulInsideATextDoesNotCutTheOutputShort) {
    auto db = data::Database::open(main);
    db->executeBound("UPDATE Parts SET Notes = ?1",
                     {data::Value(std::string("before\0after", 12))});
    addPart(*db, part("N2", 2));
    QProcess p;
    p.start(QStringLiteral(VELMORA_SQL_BIN),
            {main, "select [RegNum],[Notes] from [Parts] order by [ItemNumber]"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput(),
              QByteArray("RegNum,Notes\r\nN1,before\0after\r\nN2,\r\n", 36));
}

// A parameter query asks for its values: each --param converted to its declared type, a
// missing one named (exit 2), a value of the wrong type a numbered error, the file unchanged.
TEST_F(VelmoraSql, ParameterQueriesTakeTheirValuesByName) {
    {
        auto db = data::Database::open(main);
        db->createQueryDef("Installed since",
                           "PARAMETERS [Since] DateTime, [Least life] Long;\n"
                           "SELECT ItemNumber, Description FROM Parts WHERE InstallDate >= "
                           "Since AND LifeNumber >= [Least life]");
    }
    ToolRun r = velmoraSql(
        {"--param", "Since=1/1/2005", "--param", "least life=1000", main, "[Installed since]"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "ItemNumber,Description\r\n1,\"Main rotor, blade\"\r\n");
    r = velmoraSql({"--param=Since=2006-01-01", "--param=Least life=0", main, "Installed since"});
    EXPECT_EQ(r.out, "ItemNumber,Description\r\n");

    r = velmoraSql({"--param", "Since=1/1/2005", main, "Installed since"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "velmora-sql: the parameter 'Least life' (Long) has no value: give it with "
              "--param \"Least life=VALUE\"\n");
    EXPECT_TRUE(r.out.isEmpty());
    r = velmoraSql(
        {"--param", "Since=1/1/2005", "--param", "Least life=many", main, "Installed since"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        r.err.startsWith("velmora-sql: error 3464: The value \"many\" given for the "
                         "parameter 'Least life' is no Long"))
        << r.err.toStdString();
    r = velmoraSql({"--param", "Since=1/1/2005", "--param", "Least life=1", "--param", "Other=1",
                    main, "Installed since"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "velmora-sql: the statement declares no parameter 'Other'\n");
    r = velmoraSql({"--param", "NoEquals", main, "Installed since"});
    EXPECT_EQ(r.status, 2);

    // A change declares its parameters in its own text.
    const QByteArray before = fileBytes(main);
    r = velmoraSql({"--param", "Hours=oops", main,
                    "PARAMETERS Hours IEEEDouble; UPDATE Aircraft SET TotalTime = Hours"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(fileBytes(main), before);
    r = velmoraSql({"--param", "Hours=1300.5", main,
                    "PARAMETERS Hours IEEEDouble; UPDATE Aircraft SET TotalTime = Hours WHERE "
                    "RegNum = 'N1'"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1\n");
    EXPECT_EQ(velmoraSql({main, "SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"}).out,
              "TotalTime\r\n1300.5\r\n");
}
