#include "ComponentLife.h"
#include "DemoFleet.h"

#include <gtest/gtest.h>

#include <QSet>

#include <map>

namespace velmora::demo {
namespace {

const QDate kToday(2025, 6, 15);

const AircraftRow& aircraftOf(const DemoFleet& f, const QString& reg) {
    for (const AircraftRow& a : f.aircraft) {
        if (a.regNum == reg)
            return a;
    }
    throw std::runtime_error("no such aircraft");
}

TEST(DemoFleet, HasFourAircraftOfThirtyToEightyComponents) {
    const DemoFleet f = buildDemoFleet(kToday);
    ASSERT_EQ(f.aircraft.size(), 4u);
    std::map<QString, int> count;
    for (const ComponentRow& c : f.components)
        ++count[c.regNum];
    for (const AircraftRow& a : f.aircraft) {
        EXPECT_GE(count[a.regNum], 30) << a.regNum.toStdString();
        EXPECT_LE(count[a.regNum], 80) << a.regNum.toStdString();
    }
}

TEST(DemoFleet, EveryAircraftCoversAllBasesAndBothMeters) {
    const DemoFleet f = buildDemoFleet(kToday);
    for (const AircraftRow& a : f.aircraft) {
        QSet<QString> bases;
        QSet<int> meters;
        for (const ComponentRow& c : f.components) {
            if (c.regNum == a.regNum && c.active) {
                bases << c.lifeBasis;
                meters << c.meterNumber;
            }
        }
        EXPECT_EQ(bases, (QSet<QString>{"RT", "OH", "IN", "MO", "LD", "CY", "RN"}))
            << a.regNum.toStdString();
        EXPECT_EQ(meters, (QSet<int>{1, 2})) << a.regNum.toStdString();
    }
}

TEST(DemoFleet, EveryAircraftHasOverdueAndNotInstalledComponents) {
    const DemoFleet f = buildDemoFleet(kToday);
    int overdue = 0;
    for (const AircraftRow& a : f.aircraft) {
        int late = 0, off = 0;
        for (const ComponentRow& c : f.components) {
            if (c.regNum != a.regNum)
                continue;
            if (!c.active)
                ++off;
            else if (remainingLife(c, a, kToday) < 0)
                ++late;
        }
        EXPECT_GE(late, 2) << a.regNum.toStdString();
        EXPECT_GE(off, 1) << a.regNum.toStdString();
        overdue += late;
    }
    EXPECT_EQ(overdue, f.overdue);
}

TEST(DemoFleet, InstalledComponentsWereFittedInThePast) {
    const DemoFleet f = buildDemoFleet(kToday);
    for (const ComponentRow& c : f.components) {
        if (!c.active)
            continue;
        const AircraftRow& a = aircraftOf(f, c.regNum);
        EXPECT_TRUE(c.installDate.isValid());
        EXPECT_LE(c.installDate, kToday);
        EXPECT_GE(c.installTimeLeft, 0);
        EXPECT_GE(c.installAcHour, 0);
        if (c.lifeBasis != u"MO") {
            EXPECT_LE(c.installAcHour, aircraftTotal(a, c.lifeBasis, c.meterNumber));
        }
    }
}

TEST(DemoFleet, OilAnalysedComponentsHaveTwelveSamplesOrMore) {
    const DemoFleet f = buildDemoFleet(kToday);
    int analysed = 0;
    for (const ComponentRow& c : f.components) {
        if (!c.oilAnalysis)
            continue;
        ++analysed;
        int samples = 0;
        QDate last;
        double lastHours = -1;
        for (const OilSampleRow& s : f.oilSamples) {
            if (s.regNum != c.regNum || s.component != c.description)
                continue;
            ++samples;
            EXPECT_GT(s.datePerformed, last);
            EXPECT_GE(s.datePerformed, c.installDate);
            EXPECT_GT(s.engineHours, lastHours);
            last = s.datePerformed;
            lastHours = s.engineHours;
        }
        EXPECT_GE(samples, 12) << c.regNum.toStdString() << " " << c.description.toStdString();
    }
    EXPECT_GE(analysed, 4);
}

TEST(DemoFleet, OneWearMetalRises) {
    const DemoFleet f = buildDemoFleet(kToday);
    std::vector<const OilSampleRow*> series;
    for (const OilSampleRow& s : f.oilSamples) {
        if (s.regNum == u"N421HD" && s.component == u"Main rotor gearbox")
            series.push_back(&s);
    }
    ASSERT_GE(series.size(), 12u);
    EXPECT_GT(series.back()->ppm[0], 2.5 * series.front()->ppm[0]);  // iron
    EXPECT_LT(series.back()->ppm[5], 1.5 * series.front()->ppm[5]);  // copper stays level
}

TEST(DemoFleet, TemplatesListEveryModelWithSomeUnnumberedItems) {
    const DemoFleet f = buildDemoFleet(kToday);
    int models = 0, unnumbered = 0;
    for (const MakeTemplates& t : f.templates) {
        models += static_cast<int>(t.models.size());
        for (const TemplateRow& r : t.rows) {
            EXPECT_TRUE(t.models.contains(r.model));
            unnumbered += r.itemNumber == 0;
        }
    }
    EXPECT_EQ(f.templates.size(), 3u);
    EXPECT_EQ(models, 4);
    EXPECT_GT(unnumbered, 0);
}

TEST(DemoFleet, IsTheSameOnEveryRun) {
    const DemoFleet a = buildDemoFleet(kToday);
    const DemoFleet b = buildDemoFleet(kToday);
    ASSERT_EQ(a.components.size(), b.components.size());
    for (size_t i = 0; i < a.components.size(); ++i) {
        EXPECT_EQ(a.components[i].serial, b.components[i].serial);
        EXPECT_EQ(a.components[i].installAcHour, b.components[i].installAcHour);
        EXPECT_EQ(a.components[i].installDate, b.components[i].installDate);
    }
    ASSERT_EQ(a.oilSamples.size(), b.oilSamples.size());
    EXPECT_EQ(a.oilSamples.back().ppm, b.oilSamples.back().ppm);
}

}  // namespace
}  // namespace velmora::demo
