// Number pictures of the grids and entry fields, the Format and DateAdd functions, and the
// date texts the engine reads.
#include "support/TestFiles.h"

#include "data/JetDates.h"
#include "data/JetFormat.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <ctime>
#include <optional>

using namespace velmora;
using namespace velmora::testing;
using data::formatNumberPicture;
using data::Value;

namespace {

const QString kHours = QStringLiteral("#####0.0;;;\\ ");
const QString kCounts = QStringLiteral("########;;;\\ ");
const QString kMoney = QStringLiteral("$##,##0.00;;\\ ;\\ ");
const QString kEntryHours = QStringLiteral("####0.0");
const QString kEntryCount = QStringLiteral("#####0");

TEST(NumberPictures, RemainingHours) {
    EXPECT_EQ(formatNumberPicture(1234.56, kHours), "1234.6");
    EXPECT_EQ(formatNumberPicture(2, kHours), "2.0");
    EXPECT_EQ(formatNumberPicture(0.04, kHours), "0.0");
    EXPECT_EQ(formatNumberPicture(123456789.25, kHours), "123456789.3");
    EXPECT_EQ(formatNumberPicture(-6.5, kHours), "-6.5");
    EXPECT_EQ(formatNumberPicture(-1234.56, kHours), "-1234.6");
    EXPECT_EQ(formatNumberPicture(0, kHours), "0.0");
    EXPECT_EQ(formatNumberPicture(std::nullopt, kHours), " ");
}

TEST(NumberPictures, RemainingCounts) {
    EXPECT_EQ(formatNumberPicture(1201.4, kCounts), "1201");
    EXPECT_EQ(formatNumberPicture(2.5, kCounts), "3");
    EXPECT_EQ(formatNumberPicture(-12, kCounts), "-12");
    EXPECT_EQ(formatNumberPicture(0, kCounts), "");
    EXPECT_EQ(formatNumberPicture(std::nullopt, kCounts), " ");
}

TEST(NumberPictures, Money) {
    EXPECT_EQ(formatNumberPicture(1234.5, kMoney), "$1,234.50");
    EXPECT_EQ(formatNumberPicture(1234567.891, kMoney), "$1,234,567.89");
    EXPECT_EQ(formatNumberPicture(5, kMoney), "$5.00");
    EXPECT_EQ(formatNumberPicture(0.5, kMoney), "$0.50");
    EXPECT_EQ(formatNumberPicture(-1234.5, kMoney), "-$1,234.50");
    EXPECT_EQ(formatNumberPicture(0, kMoney), " ");
    EXPECT_EQ(formatNumberPicture(std::nullopt, kMoney), " ");
}

TEST(NumberPictures, EntryHours) {
    EXPECT_EQ(formatNumberPicture(2, kEntryHours), "2.0");
    EXPECT_EQ(formatNumberPicture(0.04, kEntryHours), "0.0");
    EXPECT_EQ(formatNumberPicture(1234.56, kEntryHours), "1234.6");
    EXPECT_EQ(formatNumberPicture(1234.55, kEntryHours), "1234.6");
    EXPECT_EQ(formatNumberPicture(-6.5, kEntryHours), "-6.5");
    EXPECT_EQ(formatNumberPicture(0, kEntryHours), "0.0");
    EXPECT_EQ(formatNumberPicture(std::nullopt, kEntryHours), "");
    // The two entry pictures write the same text.
    for (double v : {0.0, 2.0, 0.04, 1234.56, -6.5, 99999.95, 1e6})
        EXPECT_EQ(formatNumberPicture(v, kEntryHours), formatNumberPicture(v, "#####0.0")) << v;
}

TEST(NumberPictures, EntryCount) {
    EXPECT_EQ(formatNumberPicture(1201.4, kEntryCount), "1201");
    EXPECT_EQ(formatNumberPicture(1201.5, kEntryCount), "1202");
    EXPECT_EQ(formatNumberPicture(-10, kEntryCount), "-10");
    EXPECT_EQ(formatNumberPicture(0, kEntryCount), "0");
    EXPECT_EQ(formatNumberPicture(123456789, kEntryCount), "123456789");
    EXPECT_EQ(formatNumberPicture(std::nullopt, kEntryCount), "");
}

TEST(NumberPictures, SameTextInEveryLocale) {
    // The pictures write "." as the decimal point everywhere, so the grouping must not turn
    // into "." either.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString money = formatNumberPicture(1234567.5, kMoney);
    const QString hours = formatNumberPicture(1234.56, kHours);
    QLocale::setDefault(saved);
    EXPECT_EQ(money, "$1,234,567.50");
    EXPECT_EQ(hours, "1234.6");
}

TEST(FormatFunction, DatePicturesAndNamedFormats) {
    using data::jetFormat;
    EXPECT_EQ(jetFormat(Value("2005-02-28"), "mm/dd/yy"), Value("02/28/05"));
    EXPECT_EQ(jetFormat(Value("2005-03-01 14:05:09"), "yyyy-mm-dd hh:nn:ss"),
              Value("2005-03-01 14:05:09"));
    EXPECT_EQ(jetFormat(Value("2005-03-01"), "d mmm yyyy"), Value("1 Mar 2005"));
    EXPECT_EQ(jetFormat(Value(-1), "Yes/No"), Value("Yes"));
    EXPECT_EQ(jetFormat(Value(0), "Yes/No"), Value("No"));
    EXPECT_EQ(jetFormat(Value(0.256), "Percent"), Value("25.60%"));
    EXPECT_EQ(jetFormat(Value(1234.5), "#####0.0"), Value("1234.5"));
    EXPECT_TRUE(jetFormat(Value(), "mm/dd/yy").isNull());
}

// The time remaining list's picture of a stored date, checked against the general picture
// formatting over four centuries and around the texts that are not such dates.
TEST(FormatFunction, ShortYearOfStoredDatesAsTheGeneralPicture) {
    using data::jetFormat;
    for (QDate d(1899, 12, 25); d <= QDate(2300, 1, 5); d = d.addDays(1)) {
        const QString text = d.toString(Qt::ISODate);
        const Value expected(data::formatDatePicture(QDateTime(d, QTime(0, 0)), "mm/dd/yy"));
        ASSERT_EQ(jetFormat(Value(text), "mm/dd/yy"), expected) << text.toStdString();
        ASSERT_EQ(jetFormat(Value(text), "MM/DD/YY"), expected) << text.toStdString();
    }
    EXPECT_EQ(jetFormat(Value("0101-03-04"), "mm/dd/yy"), Value("03/04/01"));
    EXPECT_EQ(jetFormat(Value("9999-12-31"), "Mm/dD/yY"), Value("12/31/99"));
    // Not a stored date: each takes the general way, as before.
    for (const char* text :
         {"2005-02-29", "2005-13-01", "2005-00-10", "0000-01-01", "2005-1-310", "2005/01/31",
          "20O5-01-31", "2005-01-31 10:30:00", " 2005-01-31", "1/31/2005"}) {
        const auto date = data::parseJetDateTime(QString::fromLatin1(text));
        const Value expected =
            date ? Value(data::formatDatePicture(*date, "mm/dd/yy")) : Value(text);
        EXPECT_EQ(jetFormat(Value(text), "mm/dd/yy"), expected) << text;
    }
    EXPECT_EQ(jetFormat(Value("2005-01-31"), " mm/dd/yy"), Value(" 01/31/05"));
    EXPECT_EQ(jetFormat(Value("2005-01-31"), "mm/dd/yyyy"), Value("01/31/2005"));
}

TEST(JetDateText, ReadsIsoAndMonthFirstText) {
    using data::parseJetDateTime;
    EXPECT_EQ(parseJetDateTime("2005-01-31")->date(), QDate(2005, 1, 31));
    EXPECT_EQ(parseJetDateTime("1/31/2005")->date(), QDate(2005, 1, 31));
    EXPECT_EQ(parseJetDateTime("1/31/05")->date(), QDate(2005, 1, 31));
    EXPECT_EQ(parseJetDateTime("1/31/29")->date(), QDate(2029, 1, 31));
    EXPECT_EQ(parseJetDateTime("1/31/30")->date(), QDate(1930, 1, 31));
    EXPECT_EQ(*parseJetDateTime("1/31/2005 2:30 PM"), QDateTime(QDate(2005, 1, 31), QTime(14, 30)));
    EXPECT_FALSE(parseJetDateTime("31/1/2005"));
    EXPECT_FALSE(parseJetDateTime("2/29/2005"));
    EXPECT_FALSE(parseJetDateTime("2005-13-01"));
    EXPECT_FALSE(parseJetDateTime(""));
    EXPECT_FALSE(parseJetDateTime("soon"));
}

TEST(DateAddMonths, KeepsTheDayUpToTheMonthsLastDay) {
    auto add = [](const char* interval, double n, QDate d) {
        const auto r = data::jetDateAdd(interval, n, QDateTime(d, QTime(0, 0)));
        return r ? r->date() : QDate();
    };
    EXPECT_EQ(add("m", 1, QDate(2005, 1, 31)), QDate(2005, 2, 28));
    EXPECT_EQ(add("m", 1, QDate(2004, 1, 31)), QDate(2004, 2, 29));
    EXPECT_EQ(add("m", 2, QDate(2005, 1, 31)), QDate(2005, 3, 31));
    EXPECT_EQ(add("m", 13, QDate(2005, 1, 31)), QDate(2006, 2, 28));
    EXPECT_EQ(add("m", -1, QDate(2005, 3, 31)), QDate(2005, 2, 28));
    EXPECT_EQ(add("m", 60, QDate(2005, 1, 15)), QDate(2010, 1, 15));
    EXPECT_EQ(add("M", 1, QDate(2005, 1, 31)), QDate(2005, 2, 28));
    EXPECT_EQ(add("q", 1, QDate(2005, 11, 30)), QDate(2006, 2, 28));
    EXPECT_EQ(add("yyyy", 1, QDate(2004, 2, 29)), QDate(2005, 2, 28));
    EXPECT_EQ(add("d", 30, QDate(2005, 1, 31)), QDate(2005, 3, 2));
    EXPECT_FALSE(data::jetDateAdd("fortnight", 1, QDateTime(QDate(2005, 1, 1), QTime(0, 0))));
}

TEST(DateAddMonths, ThroughSql) {
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    addAircraft(*db, "N1");
    auto rs = db->openRecordset(
        "SELECT Format(DateAdd('m',1,'2005-01-31'),'mm/dd/yy') AS A, "
        "Format(DateAdd('m',12,#1/31/2005#),'mm/dd/yy') AS B, DateAdd('m',1,Null) AS C, "
        "Format(DateAdd('m',[TotalTime],'2005-01-31'),'mm/dd/yy') AS D FROM Aircraft");
    EXPECT_EQ(rs->value("A").toString(), "02/28/05");
    EXPECT_EQ(rs->value("B").toString(), "01/31/06");
    EXPECT_TRUE(rs->value("C").isNull());
    EXPECT_EQ(rs->value("D").toString(), "01/31/05");
}

// Sets the process's local time zone for the life of the object.
class LocalTimeZone {
  public:
    explicit LocalTimeZone(const char* zone) : had_(qEnvironmentVariableIsSet("TZ")) {
        if (had_)
            previous_ = qgetenv("TZ");
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalTimeZone() {
        if (had_)
            qputenv("TZ", previous_);
        else
            qunsetenv("TZ");
        tzset();
    }

  private:
    bool had_;
    QByteArray previous_;
};

TEST(DateAddTimes, WallClockTimesIgnoreDaylightSaving) {
    // 2:30 in the morning of 9 March 2025 never showed on New York's clocks; a stored time
    // is a time of day without a zone, and adding to it must not shift it by an hour.
    LocalTimeZone newYork("America/New_York");
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    addAircraft(*db, "N1");
    auto rs = db->openRecordset(
        "SELECT DateAdd('h',1,'2025-03-09 01:30:00') AS A, DateAdd('d',1,'2025-03-08 02:30:00') "
        "AS B, Format(DateAdd('n',30,'2025-03-09 02:00:00'),'hh:nn') AS C, "
        "DateAdd('h',1,'2025-11-02 01:30:00') AS D FROM Aircraft");
    EXPECT_EQ(rs->value("A").toString(), "2025-03-09 02:30:00");
    EXPECT_EQ(rs->value("B").toString(), "2025-03-09 02:30:00");
    EXPECT_EQ(rs->value("C").toString(), "02:30");
    EXPECT_EQ(rs->value("D").toString(), "2025-11-02 02:30:00");
}

}  // namespace
