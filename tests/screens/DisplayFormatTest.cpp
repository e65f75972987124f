#include "screens/common/DisplayFormat.h"

#include <QLocale>

#include <gtest/gtest.h>

using velmora::data::FieldType;
using velmora::data::Value;
using velmora::screens::formatForDisplay;
using velmora::screens::isOverdue;
using velmora::screens::isPastDue;

namespace {

class GridDisplayFormat : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void TearDown() override { QLocale::setDefault(saved_); }

    static FieldType kind(FieldType::Kind k) {
        FieldType t;
        t.kind = k;
        return t;
    }

    QLocale saved_;
};

const FieldType kAny{};

TEST_F(GridDisplayFormat, YesNoShowsBooleansAndLeavesTypedTextAlone) {
    const FieldType yesNo = kind(FieldType::Kind::YesNo);
    EXPECT_EQ(formatForDisplay(Value(true), "Yes/No", yesNo), "Yes");
    EXPECT_EQ(formatForDisplay(Value(false), "Yes/No", yesNo), "No");
    EXPECT_EQ(formatForDisplay(Value(-1), "Yes/No", yesNo), "Yes");
    EXPECT_EQ(formatForDisplay(Value(0), "Yes/No", yesNo), "No");
    EXPECT_EQ(formatForDisplay(Value(), "Yes/No", yesNo), "");
    // What a user typed stays visible until the row is written and read back.
    EXPECT_EQ(formatForDisplay(Value("y"), "Yes/No", yesNo), "y");
    EXPECT_EQ(formatForDisplay(Value("1"), "Yes/No", yesNo), "1");
}

TEST_F(GridDisplayFormat, ShortDateFormatsIsoDatesOnly) {
    const FieldType date = kind(FieldType::Kind::Date);
    EXPECT_EQ(formatForDisplay(Value("2005-01-31"), "Short Date", date), "1/31/05");
    EXPECT_EQ(formatForDisplay(Value("2005-01-31 14:30:00"), "Short Date", date), "1/31/05");
    EXPECT_EQ(formatForDisplay(Value("02/28/05"), "Short Date", date), "02/28/05");
    EXPECT_EQ(formatForDisplay(Value(" "), "Short Date", date), " ");
    EXPECT_EQ(formatForDisplay(Value("2005-02-30"), "Short Date", date), "2005-02-30");
    EXPECT_EQ(formatForDisplay(Value(), "Short Date", date), "");
    // A computed column (no declared type) with a date in it.
    EXPECT_EQ(formatForDisplay(Value("2010-12-01"), "Short Date", kAny), "12/1/10");
}

TEST_F(GridDisplayFormat, CurrencyUsesTheLocaleWithTwoDecimals) {
    const FieldType money = kind(FieldType::Kind::Currency);
    EXPECT_EQ(formatForDisplay(Value(1000.0), "Currency", money), "$1,000.00");
    EXPECT_EQ(formatForDisplay(Value(0.5), "Currency", money), "$0.50");
    EXPECT_EQ(formatForDisplay(Value(0.125), "Currency", money), "$0.13");
    EXPECT_EQ(formatForDisplay(Value("0"), "Currency", money), "$0.00");
    EXPECT_EQ(formatForDisplay(Value(), "Currency", money), "");
    EXPECT_EQ(formatForDisplay(Value("abc"), "Currency", money), "abc");
}

TEST_F(GridDisplayFormat, GeneralNumberIsThePlainNumber) {
    EXPECT_EQ(formatForDisplay(Value(802.3), "General Number", kAny), "802.3");
    EXPECT_EQ(formatForDisplay(Value(1240), "General Number", kAny), "1240");
    EXPECT_EQ(formatForDisplay(Value(-6.5), "General Number", kAny), "-6.5");
    EXPECT_EQ(formatForDisplay(Value(), "General Number", kAny), "");
    EXPECT_EQ(formatForDisplay(Value("n/a"), "General Number", kAny), "n/a");
}

TEST_F(GridDisplayFormat, RemainingTimePictureShowsEachSection) {
    const QString f = QStringLiteral("#####0.0;;;\\ ");
    EXPECT_EQ(formatForDisplay(Value(12.34), f, kAny), "12.3");
    EXPECT_EQ(formatForDisplay(Value(1234.55), f, kAny), "1234.6");
    EXPECT_EQ(formatForDisplay(Value(-6.5), f, kAny), "-6.5");
    EXPECT_EQ(formatForDisplay(Value(-0.04), f, kAny), "-0.0");
    EXPECT_EQ(formatForDisplay(Value(0.0), f, kAny), "0.0");
    EXPECT_EQ(formatForDisplay(Value(), f, kAny), " ");
}

TEST_F(GridDisplayFormat, WholeNumberPictureShowsZeroAsNothing) {
    const QString f = QStringLiteral("########;;;\\ ");
    EXPECT_EQ(formatForDisplay(Value(42), f, kAny), "42");
    EXPECT_EQ(formatForDisplay(Value(-3), f, kAny), "-3");
    EXPECT_EQ(formatForDisplay(Value(0), f, kAny), "");
    EXPECT_EQ(formatForDisplay(Value(), f, kAny), " ");
}

TEST_F(GridDisplayFormat, CostPictureBlanksZeroAndNull) {
    const QString f = QStringLiteral("$##,##0.00;;\\ ;\\ ");
    EXPECT_EQ(formatForDisplay(Value(1234.5), f, kAny), "$1,234.50");
    EXPECT_EQ(formatForDisplay(Value(-20.0), f, kAny), "-$20.00");
    EXPECT_EQ(formatForDisplay(Value(0.0), f, kAny), " ");
    EXPECT_EQ(formatForDisplay(Value(), f, kAny), " ");
}

TEST_F(GridDisplayFormat, ComponentAtInstallPictureBlanksZeroAndNull) {
    const QString f = QStringLiteral("#####0.0;;\\ ;\\ ");
    EXPECT_EQ(formatForDisplay(Value(5), f, kAny), "5.0");
    EXPECT_EQ(formatForDisplay(Value(-12.25), f, kAny), "-12.3");
    EXPECT_EQ(formatForDisplay(Value(0), f, kAny), " ");
    EXPECT_EQ(formatForDisplay(Value(), f, kAny), " ");
    // Typed text that reads as a number is shown as the number it will become.
    EXPECT_EQ(formatForDisplay(Value("7"), f, kAny), "7.0");
    EXPECT_EQ(formatForDisplay(Value("seven"), f, kAny), "seven");
}

TEST_F(GridDisplayFormat, NoFormatShowsValuesPlainAndDateColumnsAsShortDates) {
    EXPECT_EQ(formatForDisplay(Value(), QString(), kAny), "");
    EXPECT_EQ(formatForDisplay(Value(802.3), QString(), kind(FieldType::Kind::Real)), "802.3");
    EXPECT_EQ(formatForDisplay(Value(7), QString(), kind(FieldType::Kind::Integer)), "7");
    EXPECT_EQ(formatForDisplay(Value("2005-01-31"), QString(), kind(FieldType::Kind::Date)),
              "1/31/05");
    EXPECT_EQ(formatForDisplay(Value(" "), QString(), kind(FieldType::Kind::Date)), " ");
    // Text that looks like a date stays text in a text column.
    EXPECT_EQ(formatForDisplay(Value("2005-01-31"), QString(), kind(FieldType::Kind::Text)),
              "2005-01-31");
    EXPECT_EQ(formatForDisplay(Value("Main rotor"), QString(), kind(FieldType::Kind::Text)),
              "Main rotor");
}

TEST_F(GridDisplayFormat, OverdueIsANumberBelowZero) {
    EXPECT_TRUE(isOverdue(Value(-0.1)));
    EXPECT_TRUE(isOverdue(Value(-3)));
    EXPECT_FALSE(isOverdue(Value(0)));
    EXPECT_FALSE(isOverdue(Value(12.5)));
    EXPECT_FALSE(isOverdue(Value()));
    EXPECT_FALSE(isOverdue(Value("-5")));
}

TEST_F(GridDisplayFormat, PastDueIsADateBeforeToday) {
    const QDate today(2026, 12, 6);
    EXPECT_TRUE(isPastDue(Value("06/12/26"), today));
    EXPECT_TRUE(isPastDue(Value("2026-12-05"), today));
    EXPECT_FALSE(isPastDue(Value("12/06/26"), today));  // due today is not yet past
    EXPECT_FALSE(isPastDue(Value("01/31/27"), today));
    EXPECT_FALSE(isPastDue(Value(" "), today));
    EXPECT_FALSE(isPastDue(Value(), today));
    EXPECT_FALSE(isPastDue(Value(-5), today));
}

}  // namespace
