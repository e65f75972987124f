// Parameter queries: PARAMETERS declares names that the statement reads as values, given in
// the order of the declaration when it runs; a stored parameter query keeps its declaration.
#include "data/QueryParameters.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Value;
namespace err = data::err;

namespace {

const char kSince[] =
    "PARAMETERS [Installed since] DateTime, Reg Text(10);\n"
    "SELECT ItemNumber, Description FROM Parts WHERE RegNum = Reg AND InstallDate >= "
    "[installed since] ORDER BY ItemNumber";

class ParameterQueries : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = Database::open(store.createMainFile());
        addAircraft(*db, "N1", 100);
        addAircraft(*db, "N2", 100);
        addPart(*db, part("N1", 1).installedOn("2005-01-31").describedAs("Old"));
        addPart(*db, part("N1", 2).installedOn("2020-06-01").describedAs("New"));
        addPart(*db, part("N2", 3).installedOn("2021-01-01").describedAs("Other"));
    }

    TestStore store{GetParam()};
    std::shared_ptr<Database> db;
};

TEST_P(ParameterQueries, AStoredParameterQueryRunsWithItsValues) {
    db->createQueryDef("Since", kSince);
    EXPECT_EQ(db->queryDefSql("Since"), kSince);  // the declaration is kept
    const auto declared = data::declaredParameters(db->queryDefSql("Since"));
    ASSERT_EQ(declared.size(), 2u);
    EXPECT_EQ(declared[0].name, "Installed since");
    EXPECT_EQ(declared[0].type, "DateTime");
    EXPECT_EQ(declared[1].type, "Text(10)");
    const Value since = data::parameterValue(declared[0], "1/1/2010");
    EXPECT_EQ(since.toString(), "2010-01-01");
    auto rs = db->openRecordset("Since", {since, data::parameterValue(declared[1], "N1")});
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("Description").toString(), "New");
    rs = db->openRecordset("Since", {Value("2000-01-01"), Value("n1")});
    EXPECT_EQ(rs->recordCount(), 2);
    // Without its values it asks for them, as Jet does.
    EXPECT_DB_ERROR(db->openRecordset("Since"), err::TooFewParameters);
    // A change declares them as well.
    EXPECT_EQ(db->execute("PARAMETERS NewName Text(40); UPDATE Parts SET Description = NewName "
                          "WHERE ItemNumber = 3",
                          {Value("Renamed")}),
              1);
    EXPECT_EQ(db->openRecordset("SELECT Description FROM Parts WHERE ItemNumber = 3")
                  ->value("Description")
                  .toString(),
              "Renamed");
}

TEST_P(ParameterQueries, DeclarationsThatCannotBeUsedAreRefused) {
    EXPECT_DB_ERROR(db->createQueryDef("Bad", "PARAMETERS X Long SELECT * FROM Parts"),
                    err::SyntaxError);
    EXPECT_DB_ERROR(db->createQueryDef("Bad", "PARAMETERS X Long, x Text; SELECT X FROM Parts"),
                    err::SyntaxError);
    EXPECT_DB_ERROR(db->createQueryDef("Bad", "PARAMETERS X Long; SELECT ?1 FROM Parts"),
                    err::SyntaxError);
    EXPECT_DB_ERROR(db->createQueryDef("Bad", "PARAMETERS X Long;"), err::SyntaxError);
    EXPECT_FALSE(db->hasQueryDef("Bad"));
    // Another query cannot read one that asks for values.
    db->createQueryDef("Since", kSince);
    EXPECT_DB_ERROR(db->createQueryDef("Reads since", "SELECT * FROM Since"), err::SyntaxError);
}

VELMORA_ON_BOTH_BACK_ENDS(ParameterQueries);

TEST(ParameterValues, AreConvertedToTheDeclaredType) {
    auto value = [](const char* type, const char* text) {
        return data::parameterValue({"P", type}, text);
    };
    EXPECT_EQ(value("Long", " 42 ").toInt(), 42);
    EXPECT_EQ(value("Byte", "255").toInt(), 255);
    EXPECT_EQ(value("Bit", "Yes").toInt(), -1);
    EXPECT_EQ(value("YesNo", "false").toInt(), 0);
    EXPECT_DOUBLE_EQ(value("IEEEDouble", "2.5").toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(value("Currency", "2.00015").toDouble(), 2.0002);
    EXPECT_EQ(value("DateTime", "1/31/2005").toString(), "2005-01-31");
    EXPECT_EQ(value("DateTime", "2005-01-31 14:30").toString(), "2005-01-31 14:30:00");
    EXPECT_EQ(value("Text(10)", " as typed ").toString(), " as typed ");
    EXPECT_EQ(value("Value", "12").toString(), "12");
    for (const auto& [type, text] : {std::pair{"Long", "4.5"},
                                     {"Long", "ten"},
                                     {"Short", "40000"},
                                     {"Byte", "-1"},
                                     {"Bit", "maybe"},
                                     {"Double", "1e999"},
                                     {"DateTime", "31/31/2005"},
                                     {"Currency", "x"}}) {
        try {
            value(type, text);
            ADD_FAILURE() << text << " taken as " << type;
        } catch (const data::DbError& e) {
            EXPECT_EQ(e.number(), err::TypeMismatch);
            EXPECT_TRUE(e.text().contains("parameter 'P'")) << e.text().toStdString();
        }
    }
}

}  // namespace
