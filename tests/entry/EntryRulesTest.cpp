#include "entry/EntryRules.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

using velmora::data::Value;
using velmora::entry::applyMeterRule;
using velmora::entry::applyTotalRule;
using velmora::entry::ColumnChange;
using velmora::entry::EntryHost;
using velmora::entry::EntryScreen;
using velmora::entry::nextFieldOnEnter;
using velmora::entry::readEntryNumber;
using velmora::entry::StoredColumns;
using velmora::entry::Total;

namespace {

struct Question {
    QString text;
    QString title;
};

// A screen with one aircraft row. Staged values reach the row only through the save step, as
// with the record source; every call is logged in order.
class FakeHost : public EntryHost {
  public:
    FakeHost(std::map<QString, Value> row, QString typed)
        : row(std::move(row)), field(std::move(typed)) {}

    Value stored(const QString& column) const override {
        const auto it = row.find(column);
        return it == row.end() ? Value() : it->second;
    }
    void stage(const QString& column, const Value& v) override {
        stage(column, ColumnChange([v](const StoredColumns&) { return v; }));
    }
    // Worked out from the row as it is at the save step, as the record source does; what is
    // logged as staged is worked out from the row as it is now.
    void stage(const QString& column, ColumnChange change) override {
        staged.emplace_back(column, change(storedColumns()));
        pending.emplace_back(column, std::move(change));
        log.push_back(QStringLiteral("stage ") + column);
    }
    StoredColumns storedColumns() const {
        return [this](const QString& column) { return stored(column); };
    }
    QString fieldText() const override { return field; }
    // Typed, unless a test leaves the field as the screen showed it.
    bool fieldChanged() const override { return typedIn; }
    void setFieldText(const QString& text) override {
        field = text;
        ++fieldWrites;
        log.push_back(QStringLiteral("field ") + text);
    }
    bool askYesNo(const QString& text, const QString& title) override {
        questions.push_back({text, title});
        log.push_back(QStringLiteral("ask ") + title);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        if (meanwhile)
            std::exchange(meanwhile, nullptr)();  // another workstation saves while asked
        return yes;
    }
    void saveStep() override {
        std::vector<std::pair<QString, Value>> values;
        for (const auto& [column, change] : pending)
            values.emplace_back(column, change(storedColumns()));
        for (const auto& [column, v] : values)
            row[column] = v;
        pending.clear();
        ++saves;
        fieldAtSave = field;
        log.push_back(QStringLiteral("save"));
    }

    // The next entry typed into the same field, with the answers to its questions.
    void enter(const QString& typed, std::deque<bool> replies = {}) {
        field = typed;
        answers = std::move(replies);
        questions.clear();
        staged.clear();
        log.clear();
        fieldWrites = 0;
        saves = 0;
    }

    double number(const QString& column) const { return stored(column).toDouble(); }
    bool wasStaged(const QString& column) const {
        for (const auto& s : staged) {
            if (s.first == column)
                return true;
        }
        return false;
    }
    std::optional<Value> lastStaged(const QString& column) const {
        std::optional<Value> out;
        for (const auto& s : staged) {
            if (s.first == column)
                out = s.second;
        }
        return out;
    }

    std::map<QString, Value> row;
    QString field;
    bool typedIn = true;
    std::function<void()> meanwhile;
    std::deque<bool> answers;
    std::vector<Question> questions;
    std::vector<std::pair<QString, ColumnChange>> pending;
    std::vector<std::pair<QString, Value>> staged;
    std::vector<QString> log;
    QString fieldAtSave;
    int fieldWrites = 0;
    int saves = 0;
};

FakeHost meter1Host(const QString& typed) {
    return FakeHost({{"CurrentMeter1", 1234.5},
                     {"LastMeter1", 1230.0},
                     {"TotalTime", 800.0},
                     {"CurrentMeter2", 500.0},
                     {"LastMeter2", 500.0},
                     {"TotalTime2", 300.0}},
                    typed);
}

// Every completed rule saves once, as its last step, after every question.
void expectSavedOnceAtTheEnd(const FakeHost& h) {
    EXPECT_EQ(h.saves, 1);
    ASSERT_FALSE(h.log.empty());
    EXPECT_EQ(h.log.back(), "save");
    bool staged = false;
    for (const QString& e : h.log) {
        if (e.startsWith("stage"))
            staged = true;
        if (e.startsWith("ask")) {
            EXPECT_FALSE(staged) << "a value was staged before the user answered";
        }
    }
}

void expectQuestions(const FakeHost& h, const std::vector<Question>& expected) {
    ASSERT_EQ(h.questions.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(h.questions[i].text, expected[i].text) << "question " << i;
        EXPECT_EQ(h.questions[i].title, expected[i].title) << "question " << i;
    }
}

void expectMeter1(const FakeHost& h, double reading, double last, double total) {
    EXPECT_DOUBLE_EQ(h.number("CurrentMeter1"), reading);
    EXPECT_DOUBLE_EQ(h.number("LastMeter1"), last);
    EXPECT_DOUBLE_EQ(h.number("TotalTime"), total);
}

const Question kResetMeter{"Reset Meter value to entry shown?", "Reset value or abort entry"};
const Question kResetTotal{"Reset total value to entry shown?", "Reset value or abort entry"};

// ---- Meter rule: increments --------------------------------------------------------------

TEST(MeterPlusEntry, YesAddsToBothReadingsAndTheRoundedAmountToTheTotal) {
    FakeHost h = meter1Host("+2");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);

    expectQuestions(h, {{"Flight time was changed by 2.0. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1236.5, 1236.5, 802);  // the last counted reading follows the reading, not 1232
    EXPECT_EQ(h.field, "1236.5");
    EXPECT_EQ(h.fieldAtSave, "1236.5");
    expectSavedOnceAtTheEnd(h);
}

TEST(MeterPlusEntry, WorkedSequenceOfEntriesAfterOneFlightAndTheNext) {
    FakeHost h = meter1Host("+2");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectMeter1(h, 1236.5, 1236.5, 802);

    h.enter("1240", {true});
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by 3.5. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1240, 1240, 805.5);
    EXPECT_EQ(h.field, "1240");
    EXPECT_EQ(h.fieldWrites, 0);  // the entry stays as typed
    expectSavedOnceAtTheEnd(h);
}

TEST(MeterPlusEntry, ReadingsKeepEveryDecimalWhileTheTotalGrowsByTheShownAmount) {
    FakeHost h = meter1Host("+0.26");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by 0.3. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1234.76, 1234.76, 800.3);
    EXPECT_EQ(h.field, "1234.76");

    h.enter("+0.04", {true});
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by 0.0. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1234.8, 1234.8, 800.3);

    h.enter("+0.25", {true});
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by 0.3. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1235.05, 1235.05, 800.6);
}

TEST(MeterPlusEntry, NoDropsTheEntryAndRealignsTheLastCountedReading) {
    FakeHost h = meter1Host("+2");
    h.answers = {false};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);

    expectQuestions(h, {{"Flight time was changed by 2.0. Is this correct?", "Meter #1 change"}});
    EXPECT_EQ(h.field, "1234.5");
    expectMeter1(h, 1234.5, 1234.5, 800);
    EXPECT_FALSE(h.wasStaged("TotalTime"));
    expectSavedOnceAtTheEnd(h);
}

TEST(MeterPlusEntry, LonePlusAsksAboutNothingAndAlignsTheLastCountedReading) {
    FakeHost h = meter1Host("+");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by 0.0. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1234.5, 1234.5, 800);
    EXPECT_EQ(h.field, "1234.5");
    expectSavedOnceAtTheEnd(h);
}

TEST(MeterPlusEntry, NegativeIncrementLowersReadingsAndTotal) {
    FakeHost h = meter1Host("+-3");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::TimeRemaining);
    expectQuestions(h, {{"Flight time was changed by -3.0. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1231.5, 1231.5, 797);
}

TEST(MeterPlusEntry, BlanksInsideTheIncrementAreIgnored) {
    FakeHost h = meter1Host("+ 1 0");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by 10.0. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1244.5, 1244.5, 810);
}

TEST(MeterPlusEntry, OnlyAPlusInTheFirstPlaceMakesAnIncrement) {
    FakeHost h = meter1Host(" +2");  // read as the plain reading 2
    h.answers = {false, false};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    ASSERT_FALSE(h.questions.empty());
    EXPECT_EQ(h.questions[0].text, "Flight time was changed by -1228.0. Is this correct?");
}

// ---- Meter rule: new readings ------------------------------------------------------------

TEST(MeterPlainEntry, BelowTheLastCountedReadingLowersTheTotal) {
    FakeHost h = meter1Host("1240");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectMeter1(h, 1240, 1240, 810);

    h.enter("1233.5", {true});
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by -6.5. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1233.5, 1233.5, 803.5);
    EXPECT_EQ(h.field, "1233.5");
    expectSavedOnceAtTheEnd(h);
}

TEST(MeterPlainEntry, FlightTimeIsCountedFromTheLastCountedReading) {
    // The reading differs from the last counted reading: the difference counts from the latter.
    FakeHost h = meter1Host("1240");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by 10.0. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1240, 1240, 810);
}

TEST(MeterPlainEntry, AnUnchangedReadingStillAsks) {
    FakeHost h({{"CurrentMeter1", 1240.0}, {"LastMeter1", 1240.0}, {"TotalTime", 805.5}}, "1240");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by 0.0. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 1240, 1240, 805.5);
    expectSavedOnceAtTheEnd(h);
}

TEST(MeterPlainEntry, TheDifferenceRoundsAsTheUserSeesIt) {
    FakeHost h({{"CurrentMeter1", 800.0}, {"LastMeter1", 800.0}, {"TotalTime", 100.0}}, "800.15");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by 0.2. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 800.15, 800.15, 100.2);
}

TEST(MeterPlainEntry, NoThenYesTakesTheReadingWithoutCountingFlightTime) {
    FakeHost h = meter1Host("1250");
    h.answers = {false, true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(
        h, {{"Flight time was changed by 20.0. Is this correct?", "Meter #1 change"}, kResetMeter});
    expectMeter1(h, 1250, 1250, 800);
    EXPECT_FALSE(h.wasStaged("TotalTime"));
    EXPECT_EQ(h.field, "1250");
    expectSavedOnceAtTheEnd(h);
}

TEST(MeterPlainEntry, NoThenNoRestoresTheStoredReading) {
    FakeHost h = meter1Host("1250");
    h.answers = {false, false};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(
        h, {{"Flight time was changed by 20.0. Is this correct?", "Meter #1 change"}, kResetMeter});
    EXPECT_EQ(h.field, "1234.5");
    EXPECT_EQ(h.fieldAtSave, "1234.5");
    expectMeter1(h, 1234.5, 1234.5, 800);  // the last counted reading moves to the reading
    EXPECT_FALSE(h.wasStaged("TotalTime"));
    expectSavedOnceAtTheEnd(h);
}

TEST(MeterPlainEntry, TheTimeRemainingScreenAsksToResetTheTotalValue) {
    FakeHost h = meter1Host("1250");
    h.answers = {false, true};
    applyMeterRule(h, 1, EntryScreen::TimeRemaining);
    expectQuestions(
        h, {{"Flight time was changed by 20.0. Is this correct?", "Meter #1 change"}, kResetTotal});
    expectMeter1(h, 1250, 1250, 800);
}

TEST(MeterPlainEntry, AnEntryTheRowCouldNotReadIsRewrittenAsPlainNumberText) {
    struct Case {
        const char* typed;
        const char* shown;
        double reading;
    };
    for (const Case& c : {Case{"1 240", "1240", 1240}, Case{"1D3", "1000", 1000},
                          Case{"&H4D8", "1240", 1240}, Case{"1240abc", "1240", 1240}}) {
        FakeHost h = meter1Host(c.typed);
        h.answers = {true};
        applyMeterRule(h, 1, EntryScreen::AircraftSetup);
        EXPECT_EQ(h.fieldAtSave, c.shown) << c.typed;
        EXPECT_DOUBLE_EQ(h.number("CurrentMeter1"), c.reading) << c.typed;
        EXPECT_DOUBLE_EQ(h.number("LastMeter1"), c.reading) << c.typed;
    }
}

TEST(MeterPlainEntry, AnEntryThatReadsBackAsTheSameNumberStaysAsTyped) {
    for (const char* typed : {"1240", "1240.0", " 1240 ", "1.24e3"}) {
        FakeHost h = meter1Host(typed);
        h.answers = {false, true};
        applyMeterRule(h, 1, EntryScreen::AircraftSetup);
        EXPECT_EQ(h.fieldAtSave, typed);
        EXPECT_EQ(h.fieldWrites, 0) << typed;
        EXPECT_DOUBLE_EQ(h.number("CurrentMeter1"), 1240) << typed;
    }
}

TEST(MeterPlainEntry, TextIsReadByTheReadingRuleAndNeverRefused) {
    FakeHost h = meter1Host("1,234");  // reads 1
    h.answers = {false, false};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by -1229.0. Is this correct?", "Meter #1 change"},
                        kResetMeter});
    expectMeter1(h, 1234.5, 1234.5, 800);
    EXPECT_EQ(h.field, "1234.5");

    h.enter("abc", {false, true});  // reads 0
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    ASSERT_EQ(h.questions.size(), 2u);
    EXPECT_EQ(h.questions[0].text, "Flight time was changed by -1234.5. Is this correct?");
    expectMeter1(h, 0, 0, 800);
    EXPECT_EQ(h.fieldAtSave, "0");
}

// ---- Meter rule: meter 2 -----------------------------------------------------------------

TEST(Meter2, TouchesOnlyTheSecondMetersColumnsOnBothScreens) {
    for (const EntryScreen screen : {EntryScreen::AircraftSetup, EntryScreen::TimeRemaining}) {
        FakeHost h = meter1Host("+1.5");
        h.answers = {true};
        applyMeterRule(h, 2, screen);
        expectQuestions(h,
                        {{"Flight time was changed by 1.5. Is this correct?", "Meter #2 change"}});
        EXPECT_DOUBLE_EQ(h.number("CurrentMeter2"), 501.5);
        EXPECT_DOUBLE_EQ(h.number("LastMeter2"), 501.5);
        EXPECT_DOUBLE_EQ(h.number("TotalTime2"), 301.5);
        EXPECT_EQ(h.field, "501.5");
        for (const auto& [column, v] : h.staged)
            EXPECT_TRUE(column.endsWith(u'2')) << column.toStdString();
        expectMeter1(h, 1234.5, 1230, 800);

        h.enter("510", {true});
        applyMeterRule(h, 2, screen);
        expectQuestions(h,
                        {{"Flight time was changed by 8.5. Is this correct?", "Meter #2 change"}});
        EXPECT_DOUBLE_EQ(h.number("TotalTime2"), 310);
        EXPECT_FALSE(h.wasStaged("TotalTime"));
    }
}

TEST(Meter2, SecondQuestionFollowsTheScreen) {
    FakeHost h = meter1Host("520");
    h.answers = {false, true};
    applyMeterRule(h, 2, EntryScreen::AircraftSetup);
    expectQuestions(
        h, {{"Flight time was changed by 20.0. Is this correct?", "Meter #2 change"}, kResetMeter});
    EXPECT_DOUBLE_EQ(h.number("CurrentMeter2"), 520);
    EXPECT_DOUBLE_EQ(h.number("LastMeter2"), 520);
    EXPECT_DOUBLE_EQ(h.number("TotalTime2"), 300);
}

TEST(Meter2, AnyOtherMeterNumberDoesNothing) {
    FakeHost h = meter1Host("+2");
    applyMeterRule(h, 3, EntryScreen::AircraftSetup);
    applyMeterRule(h, 0, EntryScreen::AircraftSetup);
    EXPECT_TRUE(h.log.empty());
}

// ---- Meter rule: columns without a value ---------------------------------------------------

TEST(MeterWithoutValues, NullReadingsAndTotalCountAsZero) {
    FakeHost h({}, "+2");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectQuestions(h, {{"Flight time was changed by 2.0. Is this correct?", "Meter #1 change"}});
    expectMeter1(h, 2, 2, 2);
    EXPECT_EQ(h.field, "2");

    FakeHost first({{"TotalTime", 800.0}}, "150.5");
    first.answers = {true};
    applyMeterRule(first, 1, EntryScreen::AircraftSetup);
    expectQuestions(first,
                    {{"Flight time was changed by 150.5. Is this correct?", "Meter #1 change"}});
    expectMeter1(first, 150.5, 150.5, 950.5);
}

TEST(MeterWithoutValues, NullTotalIsStartedFromTheChange) {
    FakeHost h({{"CurrentMeter1", 1234.5}, {"LastMeter1", 1230.0}}, "1240");
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    expectMeter1(h, 1240, 1240, 10);
    EXPECT_EQ(h.stored("TotalTime").type(), Value::Type::Real);
}

TEST(MeterWithoutValues, DroppedEntryOnANullReadingSetsBothReadingsToZero) {
    FakeHost h({{"TotalTime", 800.0}}, "+5");
    h.answers = {false};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    EXPECT_EQ(h.field, "0");
    expectMeter1(h, 0, 0, 800);
    EXPECT_FALSE(h.stored("CurrentMeter1").isNull());
    EXPECT_FALSE(h.stored("LastMeter1").isNull());
}

// ---- Total rule: increments --------------------------------------------------------------

TEST(TotalPlusEntry, AddsWithoutAQuestionAndWritesTheTotalsPicture) {
    struct Case {
        Total total;
        const char* column;
        double stored;
        const char* typed;
        const char* shown;
        double number;
    };
    for (const Case& c : {Case{Total::Landings, "TotalLandings", 1200, "+5", "1205", 1205},
                          Case{Total::Landings, "TotalLandings", 1200, "+1.4", "1201", 1201},
                          Case{Total::FlightTime, "TotalTime", 800, "+2.26", "802.3", 802.3},
                          Case{Total::Cycles, "TotalCycles", 500, "+-3", "497", 497},
                          Case{Total::Cycles, "TotalCycles", 500, "+ - 3", "497", 497},
                          Case{Total::RIN, "TotalRIN", 40, "+1", "41", 41},
                          Case{Total::FlightTime, "TotalTime", 800, "+", "800.0", 800},
                          Case{Total::Landings, "TotalLandings", 1200, "+", "1200", 1200},
                          Case{Total::Landings, "TotalLandings", 1200, "+1,5", "1201", 1201},
                          Case{Total::Landings, "TotalLandings", 1200, "+abc", "1200", 1200}}) {
        FakeHost h({{c.column, c.stored}}, c.typed);
        applyTotalRule(h, c.total);
        EXPECT_TRUE(h.questions.empty()) << c.typed;
        EXPECT_EQ(h.fieldAtSave, c.shown) << c.typed;
        EXPECT_DOUBLE_EQ(h.number(c.column), c.number) << c.typed;
        EXPECT_EQ(h.saves, 1) << c.typed;
        EXPECT_EQ(h.log.back(), "save");
    }
}

TEST(TotalPlusEntry, WholeTotalsAreStagedAsWholeNumbers) {
    FakeHost h({{"TotalLandings", 1200}}, "+1.4");
    applyTotalRule(h, Total::Landings);
    EXPECT_EQ(h.stored("TotalLandings"), Value(1201));
}

TEST(TotalPlusEntry, ANullTotalCountsAsZero) {
    FakeHost h({}, "+5");
    applyTotalRule(h, Total::Landings);
    EXPECT_TRUE(h.questions.empty());
    EXPECT_EQ(h.fieldAtSave, "5");
    EXPECT_DOUBLE_EQ(h.number("TotalLandings"), 5);

    FakeHost time({}, "+2.26");
    applyTotalRule(time, Total::FlightTime);
    EXPECT_EQ(time.fieldAtSave, "2.3");
    EXPECT_DOUBLE_EQ(time.number("TotalTime"), 2.3);
}

TEST(TotalPlusEntry, RepeatedIncrementsDoNotDrift) {
    FakeHost h({{"TotalTime", 800.1}}, "+0.2");
    applyTotalRule(h, Total::FlightTime);
    EXPECT_EQ(h.fieldAtSave, "800.3");
    // An entry of the total as shown is then found equal to it: no question.
    h.enter("800.3");
    applyTotalRule(h, Total::FlightTime);
    EXPECT_TRUE(h.questions.empty());
    EXPECT_DOUBLE_EQ(h.number("TotalTime"), 800.3);
}

// ---- Total rule: new values ---------------------------------------------------------------

TEST(TotalPlainEntry, EqualToTheStoredTotalSavesWithoutAQuestion) {
    for (const char* typed : {"1200", "1200.0", "1 200", " 1200"}) {
        FakeHost h({{"TotalLandings", 1200}}, typed);
        applyTotalRule(h, Total::Landings);
        EXPECT_TRUE(h.questions.empty()) << typed;
        EXPECT_EQ(h.fieldAtSave, "1200") << typed;
        EXPECT_DOUBLE_EQ(h.number("TotalLandings"), 1200) << typed;
        EXPECT_EQ(h.saves, 1) << typed;
    }
}

TEST(TotalPlainEntry, EachTotalAsksWithItsOwnTextTitleAndPicture) {
    struct Case {
        Total total;
        const char* column;
        double stored;
        const char* typed;
        Question question;
    };
    for (const Case& c :
         {Case{Total::Landings,
               "TotalLandings",
               1200,
               "1190",
               {"Increasing landings by -10. Is this correct?", "Landings change"}},
          Case{Total::Cycles,
               "TotalCycles",
               500,
               "510",
               {"Increasing cycles by 10. Is this correct?", "Cycles change"}},
          Case{Total::RIN,
               "TotalRIN",
               40,
               "42",
               {"Increasing RIN by 2. Is this correct?", "RIN change"}},
          Case{Total::FlightTime,
               "TotalTime",
               800,
               "805.55",
               {"Increasing flight time by 5.6. Is this correct?", "Meter change"}},
          Case{Total::FlightTime,
               "TotalTime",
               800,
               "799.96",
               {"Increasing flight time by -0.0. Is this correct?", "Meter change"}}}) {
        FakeHost h({{c.column, c.stored}}, c.typed);
        h.answers = {true};
        applyTotalRule(h, c.total);
        expectQuestions(h, {c.question});
        EXPECT_DOUBLE_EQ(h.number(c.column), readEntryNumber(c.typed)) << c.typed;
        EXPECT_EQ(h.fieldAtSave, c.typed);
        expectSavedOnceAtTheEnd(h);
    }
}

TEST(TotalPlainEntry, NoThenYesStillTakesTheEntry) {
    FakeHost h({{"TotalLandings", 1200}}, "1190");
    h.answers = {false, true};
    applyTotalRule(h, Total::Landings);
    expectQuestions(
        h, {{"Increasing landings by -10. Is this correct?", "Landings change"}, kResetTotal});
    EXPECT_DOUBLE_EQ(h.number("TotalLandings"), 1190);
    EXPECT_EQ(h.fieldAtSave, "1190");
    expectSavedOnceAtTheEnd(h);
}

TEST(TotalPlainEntry, NoThenNoRestoresTheStoredTotal) {
    FakeHost h({{"TotalTime", 802.3}}, "900");
    h.answers = {false, false};
    applyTotalRule(h, Total::FlightTime);
    expectQuestions(
        h, {{"Increasing flight time by 97.7. Is this correct?", "Meter change"}, kResetTotal});
    EXPECT_EQ(h.fieldAtSave, "802.3");
    EXPECT_EQ(h.stored("TotalTime"), Value(802.3));
    expectSavedOnceAtTheEnd(h);
}

TEST(TotalPlainEntry, TheTotalStoresTheNumberReadNotTheTextTyped) {
    // "1,234" reads 1: the user is asked about that number and the column never gets the text.
    FakeHost h({{"TotalTime", 800.0}}, "1,234");
    h.answers = {true};
    applyTotalRule(h, Total::FlightTime);
    expectQuestions(h, {{"Increasing flight time by -799.0. Is this correct?", "Meter change"}});
    EXPECT_EQ(h.fieldAtSave, "1");
    EXPECT_EQ(h.stored("TotalTime"), Value(1.0));

    FakeHost blanks({{"TotalLandings", 1200}}, "1 234");
    blanks.answers = {true};
    applyTotalRule(blanks, Total::Landings);
    EXPECT_EQ(blanks.fieldAtSave, "1234");
    EXPECT_EQ(blanks.stored("TotalLandings"), Value(1234));
}

TEST(TotalPlainEntry, TextThatIsNoNumberAsksAboutMinusTheStoredTotal) {
    FakeHost h({{"TotalCycles", 500}}, "abc");
    h.answers = {false, false};
    applyTotalRule(h, Total::Cycles);
    expectQuestions(
        h, {{"Increasing cycles by -500. Is this correct?", "Cycles change"}, kResetTotal});
    EXPECT_EQ(h.fieldAtSave, "500");
    EXPECT_DOUBLE_EQ(h.number("TotalCycles"), 500);
}

TEST(TotalPlainEntry, WholeTotalsKeepWholeNumbers) {
    FakeHost h({{"TotalLandings", 1200}}, "1205.5");
    h.answers = {true};
    applyTotalRule(h, Total::Landings);
    expectQuestions(h, {{"Increasing landings by 6. Is this correct?", "Landings change"}});
    EXPECT_EQ(h.fieldAtSave, "1206");
    EXPECT_EQ(h.stored("TotalLandings"), Value(1206));
}

TEST(TotalPlainEntry, FieldAlwaysReadsAsTheStagedNumber) {
    for (const char* typed : {"+2.26", "1,5", "&H10", "1E3", "+", "", "805.25"}) {
        FakeHost h({{"TotalTime", 800.0}}, typed);
        h.answers = {true};
        applyTotalRule(h, Total::FlightTime);
        const std::optional<Value> staged = h.lastStaged("TotalTime");
        ASSERT_TRUE(staged.has_value()) << typed;
        EXPECT_DOUBLE_EQ(readEntryNumber(h.fieldAtSave), staged->toDouble()) << typed;
    }
}

TEST(TotalWithoutValue, APlainEntryIsItsFirstValueWithoutAQuestion) {
    FakeHost h({{"TotalRIN", Value()}}, "42");
    applyTotalRule(h, Total::RIN);
    EXPECT_TRUE(h.questions.empty());
    EXPECT_EQ(h.fieldAtSave, "42");
    EXPECT_EQ(h.stored("TotalRIN"), Value(42));
    EXPECT_EQ(h.saves, 1);

    FakeHost time({}, "1 234.5");
    applyTotalRule(time, Total::FlightTime);
    EXPECT_TRUE(time.questions.empty());
    EXPECT_EQ(time.fieldAtSave, "1234.5");
    EXPECT_EQ(time.stored("TotalTime"), Value(1234.5));
}

// ---- Enter key -----------------------------------------------------------------------------

void expectEnterOrder(EntryScreen screen, const std::map<int, int>& moves) {
    for (int index = -1; index <= 20; ++index) {
        const auto it = moves.find(index);
        const int expected = it == moves.end() ? -1 : it->second;
        EXPECT_EQ(nextFieldOnEnter(screen, index), expected) << "from field " << index;
    }
}

TEST(EnterKey, AircraftSetupOrder) {
    expectEnterOrder(EntryScreen::AircraftSetup, {{0, 1},
                                                  {1, 4},
                                                  {2, 3},
                                                  {3, 5},
                                                  {5, 6},
                                                  {6, 11},
                                                  {7, 12},
                                                  {11, 7},
                                                  {12, 13},
                                                  {13, 14},
                                                  {14, 15},
                                                  {15, 1}});
    EXPECT_EQ(nextFieldOnEnter(EntryScreen::AircraftSetup, 4), -1);  // Year stays
    EXPECT_EQ(nextFieldOnEnter(EntryScreen::AircraftSetup, 8), -1);  // Owner stays
}

TEST(EnterKey, TimeRemainingOrder) {
    expectEnterOrder(EntryScreen::TimeRemaining, {{1, 2},
                                                  {2, 4},
                                                  {4, 5},
                                                  {5, 9},
                                                  {6, 1},
                                                  {9, 10},
                                                  {10, 11},
                                                  {11, 13},
                                                  {13, 14},
                                                  {14, 15},
                                                  {15, 6}});
}

// Entries are applied to the row as it is when the save step writes it: an entry another
// workstation saved while the question was open counts as well.
TEST(EntriesOnTheRowAsStored, IncrementsGoOnTopOfWhatWasSavedMeanwhile) {
    FakeHost h = meter1Host("+2");
    h.answers = {true};
    h.meanwhile = [&] {
        h.row["CurrentMeter1"] = 1236.0;
        h.row["LastMeter1"] = 1236.0;
        h.row["TotalTime"] = 801.5;
    };
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    EXPECT_EQ(h.number("CurrentMeter1"), 1238.0);
    EXPECT_EQ(h.number("LastMeter1"), 1238.0);
    EXPECT_EQ(h.number("TotalTime"), 803.5);

    // A typed reading takes the value typed; the total grows by the amount confirmed.
    h.enter("1240", {true});
    h.meanwhile = [&] { h.row["TotalTime"] = 810.0; };
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    EXPECT_EQ(h.questions[0].text, "Flight time was changed by 2.0. Is this correct?");
    EXPECT_EQ(h.number("CurrentMeter1"), 1240.0);
    EXPECT_EQ(h.number("TotalTime"), 812.0);
}

// A field left as the screen showed it enters the value as stored, whatever the screen read.
TEST(EntriesOnTheRowAsStored, AnUntouchedFieldEntersTheStoredValue) {
    FakeHost h = meter1Host("1234.5");  // the screen read 1234.5; 1236 is stored now
    h.row["CurrentMeter1"] = 1236.0;
    h.row["LastMeter1"] = 1236.0;
    h.typedIn = false;
    h.answers = {true};
    applyMeterRule(h, 1, EntryScreen::AircraftSetup);
    EXPECT_EQ(h.questions[0].text, "Flight time was changed by 0.0. Is this correct?");
    EXPECT_EQ(h.number("CurrentMeter1"), 1236.0);
    EXPECT_EQ(h.number("TotalTime"), 800.0);
    EXPECT_EQ(h.field, "1236");

    FakeHost total({{"TotalTime", 801.5}}, "800");  // as the screen read it
    total.typedIn = false;
    applyTotalRule(total, Total::FlightTime);
    EXPECT_TRUE(total.questions.empty());
    EXPECT_EQ(total.number("TotalTime"), 801.5);
    EXPECT_EQ(total.field, "801.5");
}

TEST(EnterKey, TotalRinLeadsToSerialNumberOnBothScreens) {
    EXPECT_EQ(nextFieldOnEnter(EntryScreen::AircraftSetup, 15), 1);
    EXPECT_EQ(nextFieldOnEnter(EntryScreen::TimeRemaining, 15), 6);
}

}  // namespace
