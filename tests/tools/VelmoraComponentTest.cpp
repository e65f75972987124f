// velmora-component through its command line, on a data folder and on a data set of the test
// server: a component removed from one aircraft and installed on another keeps what remains,
// the stores and the history list it, a refused change writes nothing and says why.
#include "support/BackEnds.h"
#include "support/PdfWords.h"
#include "support/TestFiles.h"
#include "support/ToolRun.h"

#include "components/ComponentEvents.h"
#include "data/Recordset.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

ToolRun velmoraComponent(const QStringList& args) {
    return runTool(QStringLiteral(VELMORA_COMPONENT_BIN), args);
}

class VelmoraComponent_ : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        location = store.createMainFile();
        auto db = data::Database::open(location);
        addAircraft(*db, "N1", 1000, 0, 4000, 0, 0);
        addAircraft(*db, "N2", 2000, 0, 100, 0, 0);
        addPart(*db, part("N1", 4)
                         .withBasis("LD")
                         .withLife(20000, 1500, 3000)
                         .installedOn("2024-01-01")
                         .asUnit("GB-1", "S1"));
        addPart(*db, part("N1", 4)
                         .withBasis("RT")
                         .withLife(5000, 300, 900)
                         .installedOn("2024-01-01")
                         .asUnit("GB-1", "S1"));
        data = store.backEnd() == BackEnd::Server ? store.serverUri() : store.folder().path();
    }
    // The life at installation and the aircraft total at installation of a limit on N2.
    std::pair<double, double> onN2(const QString& basis) {
        auto db = data::Database::open(location);
        auto rs = db->openRecordset(
            QStringLiteral("select InstallTimeLeft, InstallACHour from Parts where RegNum='N2' "
                           "and LifeBasis=?1"),
            {data::Value(basis)});
        EXPECT_EQ(rs->recordCount(), 1);
        return {rs->value(0).toDouble(), rs->value(1).toDouble()};
    }

    TestStore store{GetParam()};
    QString location, data;
};

TEST_P(VelmoraComponent_, MovesAComponentAndListsItsStoresAndHistory) {
    const ToolRun removed = velmoraComponent({"remove", "--data", data, "--reg", "N1", "--pn",
                                              "gb-1", "--sn", "S1", "--date", "2025-06-01",
                                              "--reason", "to another aircraft", "--ref", "WO-17"});
    ASSERT_EQ(removed.status, 0) << removed.err.toStdString();
    EXPECT_TRUE(removed.out.contains("LD 2500 of 20000")) << removed.out.toStdString();
    EXPECT_TRUE(removed.out.contains("RT 400 of 5000")) << removed.out.toStdString();

    const ToolRun stores = velmoraComponent({"stores", "--data", data});
    ASSERT_EQ(stores.status, 0) << stores.err.toStdString();
    EXPECT_TRUE(stores.out.contains("GB-1,S1")) << stores.out.toStdString();
    EXPECT_TRUE(stores.out.contains("LD 17500 landings; RT 4600 hours") ||
                stores.out.contains("RT 4600 hours; LD 17500 landings"))
        << stores.out.toStdString();

    const ToolRun installed =
        velmoraComponent({"install", "--data", data, "--reg", "N2", "--pn", "GB-1", "--sn", "S1",
                          "--item", "3", "--date", "2025-06-02", "--ref", "CRS 881"});
    ASSERT_EQ(installed.status, 0) << installed.err.toStdString();
    EXPECT_EQ(onN2("LD"), std::make_pair(2500.0, 100.0));  // 20000 - 2500 = 17500 remain
    EXPECT_EQ(onN2("RT"), std::make_pair(400.0, 2000.0));  // 4600 remain

    const ToolRun history =
        velmoraComponent({"history", "--data", data, "--pn", "GB-1", "--sn", "s1 "});
    ASSERT_EQ(history.status, 0) << history.err.toStdString();
    const QStringList lines = history.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << history.out.toStdString();  // header and three events
    EXPECT_TRUE(lines[1].startsWith("2024-01-01,installed,N1,4")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("2025-06-01,removed,N1,4,1000,0,4000"))
        << lines[2].toStdString();
    EXPECT_TRUE(lines[3].startsWith("2025-06-02,installed,N2,3,2000,0,100"))
        << lines[3].toStdString();

    const QString pdf = store.folder().file("card.pdf");
    const ToolRun printed =
        velmoraComponent({"history", "--data", data, "--pn", "GB-1", "--sn", "S1", "--pdf", pdf});
    ASSERT_EQ(printed.status, 0) << printed.err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF"));
    // The printed history is the record card: identity, every event with the aircraft, the
    // life, the reason, the work order or release certificate and who entered it, and the
    // aircraft it was fitted to.
    if (!pdfToTextInstalled())
        GTEST_SKIP() << "pdftotext is not installed";
    const QString card = pdfToText(pdf);
    for (const char* text :
         {"Component Record Card", "Part number: GB-1", "Serial number: S1", "Manufacturer:", "TSN",
          "CSN", "TSO", "CSO", "WO-17", "CRS 881", "N1", "N2", "2025-06-01", "2025-06-02",
          "Aircraft fitted to", "TT 1000", "to another aircraft"})
        EXPECT_TRUE(card.contains(QLatin1String(text))) << text << "\n" << card.toStdString();
    EXPECT_TRUE(card.contains(components::currentUser())) << card.toStdString();
}

TEST_P(VelmoraComponent_, ARefusedChangeSaysWhyAndWritesNothing) {
    const QByteArray before = storedContent(location);
    const ToolRun future =
        velmoraComponent({"remove", "--data", data, "--reg", "N1", "--pn", "GB-1", "--sn", "S1",
                          "--date", "2999-01-01", "--reason", "defect: chips"});
    EXPECT_EQ(future.status, 1);
    EXPECT_TRUE(future.err.contains("lies in the future")) << future.err.toStdString();
    const ToolRun notInStores = velmoraComponent(
        {"install", "--data", data, "--reg", "N2", "--pn", "GB-1", "--sn", "S1", "--item", "3"});
    EXPECT_EQ(notInStores.status, 1);
    EXPECT_TRUE(notInStores.err.contains("installed on N1")) << notInStores.err.toStdString();
    EXPECT_EQ(storedContent(location), before);

    const ToolRun usage = velmoraComponent({"install", "--data", data, "--pn", "GB-1", "--sn", "S1",
                                            "--reg", "N2", "--item", "3", "--meter", "3"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(usage.err.contains("--meter takes 1 or 2")) << usage.err.toStdString();
}

VELMORA_ON_BOTH_BACK_ENDS(VelmoraComponent_);

}  // namespace
