// The due list computes the whole fleet at once; each aircraft's figures must be those of
// the time remaining screen's own remaining-life list, row for row, on a generated fleet
// with every basis, both meters and the awkward values stored data holds.
#include "DueTestData.h"
#include "support/TestFiles.h"

#include "data/JetFormat.h"
#include "data/Recordset.h"
#include "due/DueList.h"
#include "remaining/RemainingLifeRebuild.h"
#include "utilisation/UtilisationSource.h"

#include <QMap>

#include <gtest/gtest.h>

#include <random>

using namespace velmora;
using namespace velmora::testing;
using data::Value;

namespace {

const QDate kToday(2025, 6, 15);

// The computed column of the remaining-life list that holds a row's figure, as the list
// defines them: by basis (letter case ignored) and, for flight time, by meter.
QString columnFor(const QString& basis, const Value& meter) {
    QString b = basis.toUpper();  // trailing blanks do not count either
    while (b.endsWith(' '))
        b.chop(1);
    const int m = meter.isNull() ? 0 : static_cast<int>(meter.toInt());
    if (b == "LD")
        return "LNDtoRET";
    if (b == "CY")
        return "CYCtoRET";
    if (b == "RN")
        return "RINtoRET";
    if (b == "MO")
        return "MTHStoRT";
    if ((b == "RT" || b == "OH" || b == "IN") && (m == 1 || m == 2)) {
        const QString name = b == "RT" ? "TTtoRET" : (b == "OH" ? "TTtoOH" : "TTtoIN");
        return m == 1 ? name : name + "2";
    }
    return {};
}

class DueEquivalence : public ::testing::Test {
  protected:
    void SetUp() override {
        db = data::Database::open(folder.createMainFile());
        std::mt19937 rng(20250615);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        const char* bases[] = {"RT", "OH", "IN", "MO", "LD",  "CY",  "RN",
                               "rt", "Mo", "cy", "XX", "RT ", "ld  "};
        data::Transaction tx(*db);
        for (int a = 0; a < 12; ++a) {
            const QString reg = QStringLiteral("N%1EQ").arg(a + 1);
            regs << reg;
            addAircraft(*db, reg, 1000 + pick(9000) + pick(10) / 10.0, 500 + pick(5000) / 3.0,
                        pick(40000), pick(30000), pick(90000));
            for (int k = 0; k < 60; ++k) {
                PartSpec l;
                // Some rows name their aircraft in other letters or with trailing blanks.
                l.reg = pick(5) == 0 ? reg.toLower() : reg;
                if (pick(6) == 0)
                    l.reg += ' ';
                l.item = pick(8) == 0 ? k - 1 : k;  // item numbers repeat now and then
                l.basis = QString::fromLatin1(bases[pick(13)]);
                l.meter = 1 + pick(3);
                l.life = pick(4) == 0 ? pick(60) : 100.0 * pick(300) + pick(10) / 4.0;
                l.installLeft = pick(3) == 0 ? 0 : pick(2000) / 7.0;
                l.installAc = pick(20000) / 3.0;
                // Any day of the month: adding months meets the months' ends.
                l.installDate =
                    QDate(2015 + pick(10), 1 + pick(12), 1).addDays(pick(31)).toString(Qt::ISODate);
                if (pick(15) == 0)
                    l.installDate.clear();
                l.active = pick(10) != 0;
                l.description = QStringLiteral("%1-%2").arg(reg).arg(k);
                l.partNumber = QStringLiteral("P%1").arg(pick(30));
                l.serial = QStringLiteral("S%1").arg(pick(30));
                addPart(*db, l);
            }
        }
        // Missing operands, as converted files have them.
        db->execute("UPDATE Parts SET InstallTimeLeft = Null WHERE ItemNumber = 7");
        db->execute("UPDATE Parts SET LifeNumber = Null WHERE ItemNumber = 11");
        db->execute("UPDATE Parts SET MeterNumber = Null WHERE ItemNumber = 13");
        db->execute("UPDATE Aircraft SET TotalCycles = Null WHERE RegNum = 'N3EQ'");
        tx.commit();
    }

    TestFolder folder;
    std::shared_ptr<data::Database> db;
    QStringList regs;
};

TEST_F(DueEquivalence, EveryFigureIsTheRemainingLifeListsOwn) {
    const due::DueList list =
        due::computeDueList(*db, utilisation::NoUtilisation(), due::WarningSettings{}, kToday);
    // The due list's figure of each component row, by its (unique) component name.
    QMap<QString, const due::DueEntry*> byName;
    for (const due::DueEntry& e : list.entries)
        byName.insert(QString::fromStdString(e.description), &e);
    ASSERT_EQ(byName.size(), static_cast<int>(list.entries.size()));

    int compared = 0, dated = 0, counted = 0;
    for (const QString& reg : regs) {
        auto r =
            remaining::rebuildRemainingLife(folder.dataPath(), reg, remaining::MeterView::Both);
        ASSERT_TRUE(r.rows) << r.failures.join('\n').toStdString();
        data::Recordset& rs = *r.rows;
        int rowsOfAircraft = 0;
        for (int i = 0; i < rs.recordCount(); ++i) {
            rs.setAbsolutePosition(i);
            const QString name = rs.value("Description").toString();
            SCOPED_TRACE(name.toStdString());
            ASSERT_TRUE(byName.contains(name));
            const due::DueEntry& e = *byName.value(name);
            ++rowsOfAircraft;
            EXPECT_EQ(list.regNum(e), reg);
            const QString column =
                columnFor(rs.value("LifeBasis").toString(), rs.value("MeterNumber"));
            if (column.isEmpty()) {
                EXPECT_EQ(e.projection, due::Projection::NoFigure);
                EXPECT_FALSE(e.remaining);
            } else if (column == "MTHStoRT") {
                const Value text = rs.value(column);
                if (text.isNull()) {
                    EXPECT_EQ(e.projection, due::Projection::NoFigure);
                } else {
                    EXPECT_EQ(data::formatDatePicture(e.dueDate().startOfDay(), "mm/dd/yy"),
                              text.toString());
                    ++dated;
                }
            } else {
                const Value v = rs.value(column);
                if (v.isNull()) {
                    EXPECT_FALSE(e.remaining);
                } else {
                    ASSERT_TRUE(e.remaining);
                    EXPECT_EQ(*e.remaining, v.toDouble()) << column.toStdString();
                    ++counted;
                }
            }
            ++compared;
        }
        int listed = 0;
        for (const due::DueEntry& e : list.entries)
            listed += list.regNum(e) == reg;
        EXPECT_EQ(listed, rowsOfAircraft) << reg.toStdString();
    }
    EXPECT_EQ(compared, static_cast<int>(list.entries.size()));
    EXPECT_GT(dated, 20);
    EXPECT_GT(counted, 300);
}

// Registrations with trailing blanks or in other letters, on the aircraft or its components:
// whatever the remaining-life list of the aircraft shows, the due list shows too, and both
// show every component of the aircraft.
TEST(DueEquivalenceRegistrations, TrailingBlanksAndLetterCaseAsTheRemainingLifeList) {
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    addAircraft(*db, "N5 ", 500);
    addAircraft(*db, "n6", 600);
    int item = 0;
    for (const char* reg : {"N5", "N5 ", "n5", "N6", "n6  "}) {
        PartSpec l;
        l.reg = QString::fromLatin1(reg);
        l.item = ++item;
        l.life = 1000;
        l.description = QStringLiteral("C%1").arg(item);
        addPart(*db, l);
    }
    const due::DueList list =
        due::computeDueList(*db, utilisation::NoUtilisation(), due::WarningSettings{}, kToday);
    for (const QString& reg : {QStringLiteral("N5 "), QStringLiteral("n6")}) {
        auto r =
            remaining::rebuildRemainingLife(folder.dataPath(), reg, remaining::MeterView::Both);
        ASSERT_TRUE(r.rows);
        QStringList expected, listed;
        for (const auto& row : r.rows->rows())
            expected
                << row.values[static_cast<size_t>(r.rows->fieldIndex("Description"))].toString();
        for (const due::DueEntry& e : list.entries) {
            if (list.regNum(e) == reg)
                listed << QString::fromStdString(e.description);
        }
        expected.sort();
        listed.sort();
        EXPECT_EQ(listed, expected) << reg.toStdString();
        EXPECT_EQ(expected.size(), reg.startsWith('N') ? 3 : 2) << reg.toStdString();
    }
}

}  // namespace
