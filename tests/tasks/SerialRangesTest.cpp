// Serial-number ranges as a register writes them, and the order serial numbers sort in.
#include "tasks/SerialRanges.h"

#include <gtest/gtest.h>

using velmora::tasks::compareSerials;
using velmora::tasks::SerialRanges;

namespace {

SerialRanges read(const char* text) {
    QString error;
    const auto r = SerialRanges::parse(QString::fromUtf8(text), &error);
    EXPECT_TRUE(r) << error.toStdString();
    return r.value_or(SerialRanges());
}

TEST(SerialRanges, NumbersRunsAndTextSortAsPeopleSortThem) {
    EXPECT_LT(compareSerials("SN998", "sn1000"), 0);
    EXPECT_EQ(compareSerials(" ab-0012 ", "AB-12"), 0);
    EXPECT_GT(compareSerials("B1", "A999"), 0);
    EXPECT_LT(compareSerials("1050", "1050A"), 0);
}

TEST(SerialRanges, RangesItemsAndOpenEnds) {
    const SerialRanges r = read("1001-1050; 1200.., AB-7, C-100 to C-199");
    EXPECT_TRUE(r.contains("1001"));
    EXPECT_TRUE(r.contains("1050"));
    EXPECT_FALSE(r.contains("1051"));
    EXPECT_TRUE(r.contains("1200"));
    EXPECT_TRUE(r.contains("99999"));
    EXPECT_TRUE(r.contains("ab-7"));
    EXPECT_FALSE(r.contains("AB-8"));
    EXPECT_TRUE(r.contains("C-150"));
    EXPECT_FALSE(r.contains("C-200"));
    EXPECT_TRUE(read("..500").contains("0042"));
    // An unknown serial number is not told to lie outside: no task is missed for it.
    EXPECT_TRUE(r.contains("  "));
    EXPECT_TRUE(read("").isEverySerial());
    EXPECT_TRUE(read("").contains("anything"));
}

TEST(SerialRanges, WhatCannotBeRead) {
    QString error;
    EXPECT_FALSE(SerialRanges::parse("1001-1050;;1100", &error));
    EXPECT_NE(error.indexOf("empty item"), -1);
    EXPECT_FALSE(SerialRanges::parse("2000-1000", &error));
    EXPECT_NE(error.indexOf("begins after it ends"), -1);
    EXPECT_FALSE(SerialRanges::parse("..", &error));
}

}  // namespace
