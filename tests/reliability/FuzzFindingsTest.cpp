// What the fuzz targets found, kept as tests of the normal suite (the inputs themselves are
// seeds in fuzz/corpus).
#include "SqlCommand.h"
#include "data/Recordset.h"
#include "entry/EntryRules.h"
#include "support/TestFiles.h"

#include <QHash>

#include <gtest/gtest.h>

#include <cfloat>

using namespace velmora;
using namespace velmora::testing;
namespace err = data::err;

namespace {

// A CREATE TABLE whose column list ends after a comma read past the last token.
TEST(FuzzFindings, CreateTableWithUnclosedColumnListIsASyntaxError) {
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    for (const char* sql : {"CREATE TABLE Parts2 (RegNum TEXT(10), ItemNumber INTEGER, ",
                            "CREATE TABLE T (A TEXT,", "CREATE TABLE T ("}) {
        const auto e = dbErrorOf([&] { db->execute(QString::fromLatin1(sql)); });
        ASSERT_TRUE(e.has_value()) << sql;
        EXPECT_EQ(e->number(), err::SyntaxError) << sql;
    }
    EXPECT_FALSE(db->hasTable("T"));
}

// The largest numbers were printed with fifteen digits, which read back as beyond any
// number.
TEST(FuzzFindings, LargestNumbersPrintAsNumbersThatReadBack) {
    TestFolder folder;
    const QString main = folder.createMainFile();
    QString out, errors;
    ASSERT_EQ(
        tools::runSqlCommand(
            main, "select 1.7976931348623157E308 AS X, -1.7976931348623157E308 AS Y, 1E300 AS Z",
            &out, &errors),
        0)
        << errors.toStdString();
    EXPECT_EQ(out, "X,Y,Z\r\n1.7976931348623157e+308,-1.7976931348623157e+308,1e+300\r\n");
    EXPECT_EQ(data::formatNumber(DBL_MAX).toDouble(), DBL_MAX);
    EXPECT_EQ(data::formatNumber(0.1 + 0.2), "0.3");
}

// A meter entry on totals so large that their sum is beyond any number: the row refuses it
// with a numbered error and keeps what it had.
class RowHost : public entry::EntryHost {
  public:
    RowHost(data::Recordset& rs, QString typed) : rs_(rs), field_(std::move(typed)) {}
    data::Value stored(const QString& column) const override { return rs_.value(column); }
    void stage(const QString& column, const data::Value& v) override {
        stage(column, entry::ColumnChange([v](const entry::StoredColumns&) { return v; }));
    }
    void stage(const QString& column, entry::ColumnChange change) override {
        staged_[column] = change([this](const QString& c) { return stored(c); });
        changes_[column] = std::move(change);
    }
    QString fieldText() const override { return field_; }
    bool fieldChanged() const override { return true; }
    void setFieldText(const QString& text) override { field_ = text; }
    bool askYesNo(const QString&, const QString&) override { return true; }
    void saveStep() override {
        rs_.edit();
        for (auto it = changes_.begin(); it != changes_.end(); ++it)
            rs_.applyChange(it.key(), it.value());
        rs_.update();
    }

  private:
    data::Recordset& rs_;
    QString field_;
    QHash<QString, data::Value> staged_;
    QHash<QString, entry::ColumnChange> changes_;
};

TEST(FuzzFindings, TotalBeyondAnyNumberIsRefusedAndTheRowKept) {
    TestFolder folder;
    const QString main = folder.createMainFile();
    auto db = data::Database::open(main);
    addAircraft(*db, "N1", 1.5e308);
    auto rs = db->openRecordset("select * from [Aircraft] where [RegNum] = 'N1'");
    RowHost host(*rs, "1E308");
    const auto e =
        dbErrorOf([&] { entry::applyMeterRule(host, 1, entry::EntryScreen::TimeRemaining); });
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), err::TypeMismatch) << e->text().toStdString();
    rs->cancelUpdate();
    auto again = db->openRecordset("select TotalTime, CurrentMeter1 from [Aircraft]");
    EXPECT_EQ(again->value("TotalTime").toDouble(), 1.5e308);
    EXPECT_TRUE(again->value("CurrentMeter1").isNull());
}

}  // namespace
