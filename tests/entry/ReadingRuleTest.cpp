#include "entry/EntryRules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using velmora::entry::plainNumberText;
using velmora::entry::readEntryNumber;
using velmora::entry::writeInPicture;

namespace {

struct Reading {
    const char* text;
    double number;
};

void expectReadings(const std::vector<Reading>& cases) {
    for (const Reading& c : cases)
        EXPECT_DOUBLE_EQ(readEntryNumber(QString::fromUtf8(c.text)), c.number)
            << '"' << c.text << '"';
}

TEST(ReadingRule, ReadsSignedDecimalNumbers) {
    expectReadings({{"1240", 1240},
                    {"1234.5", 1234.5},
                    {"+2", 2},
                    {"-6.5", -6.5},
                    {".5", 0.5},
                    {"-.5", -0.5},
                    {"5.", 5},
                    {"007", 7},
                    {"0.26", 0.26}});
}

TEST(ReadingRule, RemovesBlanksTabsAndLineFeedsAnywhere) {
    expectReadings({{"+ 2.5", 2.5},
                    {"1 234", 1234},
                    {"  1240  ", 1240},
                    {"1\t2\t3", 123},
                    {"12\n34", 1234},
                    {"\t+\n 2 . 5 ", 2.5},
                    {"- 3", -3}});
}

TEST(ReadingRule, StopsAtTheFirstCharacterThatDoesNotFit) {
    expectReadings({{"1,234", 1},
                    {"12abc", 12},
                    {"1.2.3", 1.2},
                    {"12-3", 12},
                    {"3+4", 3},
                    {"1E", 1},
                    {"1E+", 1},
                    {"2Ex", 2}});
}

TEST(ReadingRule, TextWithoutANumberReadsZero) {
    expectReadings({{"", 0},
                    {"abc", 0},
                    {"-", 0},
                    {"+", 0},
                    {".", 0},
                    {"   ", 0},
                    {"E3", 0},
                    {"$12", 0},
                    {"--3", 0},
                    {"-+3", 0},
                    {"&", 0},
                    {"&X12", 0},
                    {"&H", 0},
                    {"-&H10", 0}});
}

TEST(ReadingRule, APlusMayCarryASignOfItsOwn) {
    expectReadings({{"+-3", -3}, {"++3", 3}, {"+ - 3", -3}, {"+-0.26", -0.26}});
}

TEST(ReadingRule, ReadsExponentsWrittenWithEOrD) {
    expectReadings({{"1E3", 1000},
                    {"1e3", 1000},
                    {"1D2", 100},
                    {"1d2", 100},
                    {"2.5E-1", 0.25},
                    {"2.5D+1", 25},
                    {"1 E 3", 1000},
                    {"-1.5E2x", -150}});
}

TEST(ReadingRule, ReadsHexadecimalAndOctalWholeNumbers) {
    expectReadings({{"&H1F", 31},
                    {"&h1f", 31},
                    {"&HFF", 255},
                    {"&O17", 15},
                    {"&o17", 15},
                    {"&O18", 1},
                    {"&H1G", 1},
                    {"&H 1 F", 31},
                    {"&H1.5", 1}});
}

TEST(ReadingRule, ANumberOutOfRangeReadsZero) {
    expectReadings({{"1E999", 0}, {"-1D999", 0}, {"1E-999", 0}});
}

TEST(ReadingRule, AlwaysTakesTheDotAsDecimalPoint) {
    // Independent of the process locale: a German desk still reads 1.5 as one and a half.
    expectReadings({{"1.5", 1.5}, {"1,5", 1}});
}

TEST(EntryPictures, OneDecimalPicturesRoundToOneDecimal) {
    for (const QString& picture : {QStringLiteral("####0.0"), QStringLiteral("#####0.0")}) {
        EXPECT_EQ(writeInPicture(2, picture), "2.0");
        EXPECT_EQ(writeInPicture(0.04, picture), "0.0");
        EXPECT_EQ(writeInPicture(0, picture), "0.0");
        EXPECT_EQ(writeInPicture(1234.56, picture), "1234.6");
        EXPECT_EQ(writeInPicture(-6.5, picture), "-6.5");
        EXPECT_EQ(writeInPicture(802.26, picture), "802.3");
        EXPECT_EQ(writeInPicture(1234567.8, picture), "1234567.8");  // no upper limit, no grouping
    }
}

TEST(EntryPictures, HalfwayValuesRoundAwayFromZero) {
    EXPECT_EQ(writeInPicture(0.25, "####0.0"), "0.3");
    EXPECT_EQ(writeInPicture(-0.25, "####0.0"), "-0.3");
    EXPECT_EQ(writeInPicture(0.15, "####0.0"), "0.2");
    EXPECT_EQ(writeInPicture(1201.5, "#####0"), "1202");
    EXPECT_EQ(writeInPicture(-10.5, "#####0"), "-11");
}

TEST(EntryPictures, WholeNumberPictureHasNoSeparator) {
    EXPECT_EQ(writeInPicture(1201.4, "#####0"), "1201");
    EXPECT_EQ(writeInPicture(-10, "#####0"), "-10");
    EXPECT_EQ(writeInPicture(0, "#####0"), "0");
    EXPECT_EQ(writeInPicture(1205, "#####0"), "1205");
    EXPECT_EQ(writeInPicture(12345678, "#####0"), "12345678");
}

TEST(PlainNumberText, WritesAllSignificantDigitsWithoutGrouping) {
    EXPECT_EQ(plainNumberText(1236.5), "1236.5");
    EXPECT_EQ(plainNumberText(1240), "1240");
    EXPECT_EQ(plainNumberText(0), "0");
    EXPECT_EQ(plainNumberText(-6.5), "-6.5");
    EXPECT_EQ(plainNumberText(1234.76), "1234.76");
    EXPECT_EQ(plainNumberText(1234567), "1234567");
}

TEST(PlainNumberText, ReadsBackAsTheSameNumber) {
    for (const double v : {1236.5, 1240.0, 0.26, -6.5, 802.3, 123456.789})
        EXPECT_DOUBLE_EQ(readEntryNumber(plainNumberText(v)), v) << v;
}

}  // namespace
