// The oil limits without the screen: how limits are kept and resolved, how a sample is
// judged against them, the trend slope and the chart's limit lines.
#include "oil/OilSamples.h"
#include "oil/limits/OilAlerts.h"
#include "oil/limits/OilFindings.h"
#include "oil/limits/OilLimitLines.h"
#include "oil/limits/OilLimitsStore.h"
#include "oil/limits/OilTrend.h"

#include "data/Database.h"
#include "data/DateDisplay.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace velmora::oil::limits;
using velmora::data::Database;
using velmora::data::Value;
namespace tf = velmora::testing;

namespace {

constexpr int kIron = 0;
constexpr int kCopper = 5;

ElementLimit limit(std::optional<double> caution, std::optional<double> alert,
                   std::optional<double> rise = std::nullopt) {
    return {caution, alert, rise};
}

OilSample sample(std::optional<double> hours, std::optional<double> iron,
                 std::optional<double> copper = std::nullopt) {
    OilSample s;
    s.hours = hours;
    s.ppm[kIron] = iron;
    s.ppm[kCopper] = copper;
    return s;
}

TEST(OilLimits, ElementsAreTheSampleGridsElementColumnsInOrder) {
    for (int e = 0; e < kElementCount; ++e)
        EXPECT_STREQ(
            kElementNames[static_cast<size_t>(e)],
            velmora::oil::kSampleColumns[static_cast<size_t>(velmora::oil::kColIron + e)].field);
    EXPECT_EQ(elementIndex(QStringLiteral("vanadium")), 20);
    EXPECT_EQ(elementIndex(QStringLiteral("EngineHrs")), -1);
}

TEST(OilLimits, ResolvedPerElementFromComponentThenModelThenCompany) {
    LimitLevels levels;
    levels.company[kIron] = limit(20, 40);
    levels.company[kCopper] = limit(10, 20, 5);
    levels.company[2] = limit(1, 2);
    levels.model[kIron] = limit(25, 45);
    levels.model[kCopper] = limit(std::nullopt, std::nullopt, 3);
    levels.component[kIron] = limit(std::nullopt, 35);

    std::optional<LimitScope> from;
    // The component's row wins whole: its unset caution is not filled from below.
    EXPECT_EQ(resolveLimit(levels, kIron, &from), limit(std::nullopt, 35));
    EXPECT_EQ(from, LimitScope::Component);
    EXPECT_EQ(resolveLimit(levels, kCopper, &from), limit(std::nullopt, std::nullopt, 3));
    EXPECT_EQ(from, LimitScope::Model);
    EXPECT_EQ(resolveLimit(levels, 2, &from), limit(1, 2));
    EXPECT_EQ(from, LimitScope::Company);
    EXPECT_TRUE(resolveLimit(levels, 3, &from).isEmpty());
    EXPECT_FALSE(from.has_value());
    EXPECT_TRUE(resolveLimit(levels, 99).isEmpty());
    EXPECT_TRUE(isEmpty(resolveLimits(LimitLevels{})));
}

TEST(OilLimits, ProblemsOfALimit) {
    EXPECT_TRUE(limitProblem(limit(10, 10, 0)).isEmpty());
    EXPECT_FALSE(limitProblem(limit(11, 10)).isEmpty());
    EXPECT_FALSE(limitProblem(limit(-1, std::nullopt)).isEmpty());
    EXPECT_FALSE(limitProblem(limit(std::nullopt, std::nullopt, -0.5)).isEmpty());
    EXPECT_FALSE(limitProblem(limit(std::nan(""), std::nullopt)).isEmpty());
}

TEST(OilLevels, AtJustUnderAndOverEachLevel) {
    const ElementLimit l = limit(20, 35);
    EXPECT_EQ(ppmLevel(l, 19.9), OilLevel::None);
    EXPECT_EQ(ppmLevel(l, 20), OilLevel::Caution);
    EXPECT_EQ(ppmLevel(l, 20.1), OilLevel::Caution);
    EXPECT_EQ(ppmLevel(l, 34.9), OilLevel::Caution);
    EXPECT_EQ(ppmLevel(l, 35), OilLevel::Alert);
    EXPECT_EQ(ppmLevel(l, 35.1), OilLevel::Alert);
    EXPECT_EQ(ppmLevel(l, std::nullopt), OilLevel::None);
    // An alert alone, a caution alone, no limit.
    EXPECT_EQ(ppmLevel(limit(std::nullopt, 35), 30), OilLevel::None);
    EXPECT_EQ(ppmLevel(limit(20, std::nullopt), 1000), OilLevel::Caution);
    EXPECT_EQ(ppmLevel(ElementLimit{}, 1000), OilLevel::None);
}

TEST(OilRise, PerHundredHoursBetweenConsecutiveSamples) {
    EXPECT_DOUBLE_EQ(*risePer100Hours(sample(1000, 10), sample(1050, 14), kIron), 8.0);
    EXPECT_DOUBLE_EQ(*risePer100Hours(sample(1000, 14), sample(1200, 10), kIron), -2.0);
    // Missing hours on either side, a missing reading, equal hours, hours going back.
    EXPECT_FALSE(risePer100Hours(sample(std::nullopt, 10), sample(1050, 14), kIron));
    EXPECT_FALSE(risePer100Hours(sample(1000, 10), sample(std::nullopt, 14), kIron));
    EXPECT_FALSE(risePer100Hours(sample(1000, std::nullopt), sample(1050, 14), kIron));
    EXPECT_FALSE(risePer100Hours(sample(1000, 10), sample(1000, 90), kIron));
    EXPECT_FALSE(risePer100Hours(sample(1000, 10), sample(900, 90), kIron));
}

TEST(OilRise, CautionReachedByTheRiseAtJustUnderAndOver) {
    const ElementLimit l = limit(std::nullopt, std::nullopt, 5);
    const OilSample before = sample(1000, 10);
    EXPECT_EQ(judgeReading(l, &before, sample(1100, 14.9), kIron).level, OilLevel::None);
    const Finding at = judgeReading(l, &before, sample(1100, 15), kIron);
    EXPECT_EQ(at.level, OilLevel::Caution);
    EXPECT_TRUE(at.byRise);
    EXPECT_TRUE(at.equal);
    EXPECT_EQ(judgeReading(l, &before, sample(1100, 15.1), kIron).level, OilLevel::Caution);
    // Equal hours, missing hours, no sample before: the rise is not judged (and no division
    // by zero happens).
    EXPECT_EQ(judgeReading(l, &before, sample(1000, 500), kIron).level, OilLevel::None);
    EXPECT_EQ(judgeReading(l, &before, sample(std::nullopt, 500), kIron).level, OilLevel::None);
    EXPECT_EQ(judgeReading(l, nullptr, sample(1100, 500), kIron).level, OilLevel::None);
    // The level itself outranks the rise.
    const ElementLimit both = limit(20, 35, 5);
    const Finding f = judgeReading(both, &before, sample(1100, 40), kIron);
    EXPECT_EQ(f.level, OilLevel::Alert);
    EXPECT_FALSE(f.byRise);
}

TEST(OilFindingsText, TheNewestSamplesWorstFindingsFirst) {
    LimitSet limits{};
    limits[kIron] = limit(20, 35);
    limits[kCopper] = limit(30, 60, 5);
    const std::vector<OilSample> samples = {sample(1000, 10, 1), sample(1100, 42, 10)};
    const auto findings = sampleFindings(limits, &samples[0], samples[1]);
    ASSERT_EQ(findings.size(), 2u);
    EXPECT_EQ(findingsText(findings),
              QStringLiteral("Iron 42 ppm over alert 35; Copper +9 ppm per 100 h over caution 5"));
    EXPECT_EQ(newestSampleLine(limits, samples),
              QStringLiteral("Newest sample: Iron 42 ppm over alert 35; Copper +9 ppm per 100 h "
                             "over caution 5"));
    EXPECT_EQ(findingText(judgeReading(limits[kIron], nullptr, sample(1, 20), kIron)),
              QStringLiteral("Iron 20 ppm at caution 20"));
    OilSample dated = sample(1100, 3);
    dated.date = QStringLiteral("2026-11-02");
    // Its date as every screen shows dates.
    EXPECT_EQ(newestSampleLine(limits, {dated}),
              QStringLiteral("Newest sample (%1): within its limits.")
                  .arg(velmora::data::displayDate(QDate(2026, 11, 2))));
    EXPECT_EQ(newestSampleLine(LimitSet{}, {dated}),
              QStringLiteral("No oil limits are set for this component."));
    EXPECT_TRUE(newestSampleLine(limits, {}).isEmpty());
    EXPECT_EQ(ppmText(8.25), QStringLiteral("8.3"));
    EXPECT_EQ(ppmText(-0.01), QStringLiteral("0"));
}

TEST(OilTrend, SlopeAgainstAHandWorkedSeries) {
    // Hours 100, 200, 300, 400; iron 10, 14, 15, 21. Means 250 and 15;
    // Sxy = (-150)(-5) + (-50)(-1) + (50)(0) + (150)(6) = 750 + 50 + 0 + 900 = 1700;
    // Sxx = 22500 + 2500 + 2500 + 22500 = 50000; slope 0.034 ppm/h = 3.4 ppm per 100 h.
    const auto slope = trendSlope({{100, 10}, {200, 14}, {300, 15}, {400, 21}});
    ASSERT_TRUE(slope);
    EXPECT_NEAR(*slope, 3.4, 1e-12);
    EXPECT_EQ(trendText("Iron", slope, 4),
              QStringLiteral("Iron trend: +3.4 ppm per 100 h over the last 4 samples"));
}

TEST(OilTrend, OnlyTheLastTenAndOnlyCompletePoints) {
    std::vector<std::pair<std::optional<double>, std::optional<double>>> points;
    // Five old samples falling steeply, then ten rising by 1 ppm per 100 h exactly.
    for (int i = 0; i < 5; ++i)
        points.emplace_back(i * 10.0, 1000.0 - i * 100.0);
    for (int i = 0; i < 10; ++i)
        points.emplace_back(1000.0 + i * 100.0, 5.0 + i);
    EXPECT_NEAR(*trendSlope(points), 1.0, 1e-12);
    // A sample without hours or reading is left out; one point, or equal hours, give none.
    EXPECT_NEAR(*trendSlope({{100, 10}, {std::nullopt, 99}, {200, std::nullopt}, {300, 30}}), 10.0,
                1e-12);
    EXPECT_FALSE(trendSlope({{100, 10}}));
    EXPECT_FALSE(trendSlope({{100, 10}, {100, 30}}));
    EXPECT_FALSE(trendSlope({}));
    EXPECT_EQ(trendText("Lead", std::nullopt, 1),
              QStringLiteral("Lead trend: needs two samples with different engine hours"));
}

TEST(OilChartLimits, LinesAndMarkedPointsOfTheChartedRows) {
    const ElementLimit l = limit(20, 35, 5);
    std::vector<OilSample> samples;
    const double iron[] = {10, 36, 12, 20, 19, 30};
    for (int i = 0; i < 6; ++i)
        samples.push_back(sample(1000 + 100 * i, iron[i]));
    // Charted rows 1 to 5: 36 alert, 12 none, 20 caution (level), 19 none, 30 caution.
    const ChartLimits c = chartLimits(l, samples, 1, 5, kIron);
    ASSERT_EQ(c.lines.size(), 2u);
    EXPECT_EQ(c.lines[0].label, QStringLiteral("Caution 20 ppm"));
    EXPECT_EQ(c.lines[1].label, QStringLiteral("Alert 35 ppm"));
    const std::vector<MarkedPoint> marks = {
        {0, 36, OilLevel::Alert}, {2, 20, OilLevel::Caution}, {4, 30, OilLevel::Caution}};
    EXPECT_EQ(c.marks, marks);
    EXPECT_TRUE(chartLimits(ElementLimit{}, samples, 0, 5, kIron).lines.empty());
    EXPECT_TRUE(chartLimits(l, samples, 0, 5, -1).marks.empty());
}

class OilLimitsFileTest : public ::testing::Test {
  protected:
    void SetUp() override { db_ = Database::open(folder_.createMainFile()); }
    tf::TestFolder folder_;
    std::shared_ptr<Database> db_;
};

TEST_F(OilLimitsFileTest, AFileWithoutTheTableHasNoLimitsAndIsNotChangedByReading) {
    const QByteArray before = tf::fileBytes(db_->path());
    EXPECT_TRUE(isEmpty(readLimitSet(*db_, LimitKey::company())));
    EXPECT_TRUE(isEmpty(resolveLimits(readLimitLevels(*db_, "N1", "Engine"))));
    EXPECT_TRUE(oilAlerts(*db_).empty());
    EXPECT_FALSE(db_->hasTable(kOilLimitsTable));
    EXPECT_EQ(tf::fileBytes(db_->path()), before);
}

TEST_F(OilLimitsFileTest, SavedAndResolvedPerComponentModelAndCompany) {
    tf::addAircraft(*db_, "N1");
    db_->execute("UPDATE [Aircraft] SET [Make]='Bell', [Model]='206B' WHERE [RegNum]='N1'");
    tf::addAircraft(*db_, "N2");
    LimitSet company{}, model{}, component{};
    company[kIron] = limit(20, 40);
    company[kCopper] = limit(10, 20);
    model[kIron] = limit(25, 45, 6);
    component[kCopper] = limit(std::nullopt, 15);
    saveLimitSet(*db_, LimitKey::company(), company);
    saveLimitSet(*db_, LimitKey::forModel("BELL", "206b", "Engine"), model);
    saveLimitSet(*db_, LimitKey::forComponent("N1", "Engine"), component);

    EXPECT_EQ(readLimitSet(*db_, LimitKey::company()), company);
    const LimitSet n1 = resolveLimits(readLimitLevels(*db_, "n1", "ENGINE"));
    EXPECT_EQ(n1[kIron], limit(25, 45, 6));
    EXPECT_EQ(n1[kCopper], limit(std::nullopt, 15));
    // The gearbox of the same aircraft has no model or component limits: the company's.
    const LimitSet gearbox = resolveLimits(readLimitLevels(*db_, "N1", "Gearbox"));
    EXPECT_EQ(gearbox[kIron], limit(20, 40));
    // Another aircraft (no make and model) falls back to the company's.
    EXPECT_EQ(resolveLimits(readLimitLevels(*db_, "N2", "Engine"))[kCopper], limit(10, 20));

    // Read at once for many components, the same limits hold.
    const LimitBook book = LimitBook::read(*db_);
    EXPECT_EQ(resolveLimits(book.levelsFor("n1 ", "ENGINE")), n1);
    EXPECT_EQ(resolveLimits(book.levelsFor("N1", "Gearbox")), gearbox);

    // Saving again replaces the set; an empty set removes it.
    saveLimitSet(*db_, LimitKey::forComponent("N1", "Engine"), LimitSet{});
    EXPECT_EQ(resolveLimits(readLimitLevels(*db_, "N1", "Engine"))[kCopper], limit(10, 20));
}

TEST_F(OilLimitsFileTest, AFaultyLimitChangesNothing) {
    LimitSet good{};
    good[kIron] = limit(20, 40);
    saveLimitSet(*db_, LimitKey::company(), good);
    LimitSet bad = good;
    bad[kCopper] = limit(30, 20);
    const auto e = tf::dbErrorOf([&] { saveLimitSet(*db_, LimitKey::company(), bad); });
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->text().startsWith(QStringLiteral("Copper: ")));
    EXPECT_EQ(readLimitSet(*db_, LimitKey::company()), good);
}

TEST_F(OilLimitsFileTest, AReadOnlyFileIsLeftAsItWas) {
    const QString path = db_->path();
    db_.reset();
    const QByteArray before = tf::fileBytes(path);
    tf::setMode(path, 0444);
    auto db = Database::open(path);
    LimitSet set{};
    set[kIron] = limit(20, 40);
    EXPECT_TRUE(tf::dbErrorOf([&] { saveLimitSet(*db, LimitKey::company(), set); }));
    db.reset();
    EXPECT_EQ(tf::fileBytes(path), before);
    tf::setMode(path, 0644);
}

TEST_F(OilLimitsFileTest, ComponentsWhoseNewestSampleIsOverAlert) {
    tf::addAircraft(*db_, "N1");
    tf::addAircraft(*db_, "N2");
    auto add = [&](const char* reg, const char* component, const char* date, double iron,
                   double hours) {
        db_->executeBound(
            "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron, EngineHrs) "
            "VALUES (?1, ?2, ?3, ?4, ?5)",
            {Value(reg), Value(component), Value(date), Value(iron), Value(hours)});
    };
    // N1 engine: over alert once, then back under: not listed. N1 gearbox: newest over.
    add("N1", "Engine", "2026-01-10", 50, 100);
    add("N1", "Engine", "2026-02-10", 10, 200);
    add("N1", "Gearbox", "2026-03-10", 36, 300);
    add("N1", "Gearbox", "2026-01-10", 5, 100);
    add("N2", "Engine", "2026-01-10", 35, 100);
    add("N2", "Tail rotor gearbox", "2026-01-10", 34.9, 100);
    LimitSet company{};
    company[kIron] = limit(20, 35);
    saveLimitSet(*db_, LimitKey::company(), company);
    const auto alerts = oilAlerts(*db_);
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0].regNum, QStringLiteral("N1"));
    EXPECT_EQ(alerts[0].component, QStringLiteral("Gearbox"));
    EXPECT_EQ(alerts[0].date, QStringLiteral("2026-03-10"));
    EXPECT_EQ(alerts[0].findings, QStringLiteral("Iron 36 ppm over alert 35"));
    EXPECT_EQ(alerts[1].regNum, QStringLiteral("N2"));
    EXPECT_EQ(alerts[1].findings, QStringLiteral("Iron 35 ppm at alert 35"));
}

}  // namespace
