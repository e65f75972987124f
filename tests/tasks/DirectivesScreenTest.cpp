// The Directives & Inspections screen through its controls, on both back ends: the register
// filtered by kind, authority and text; an aircraft's compliance status; an accomplishment
// recorded (and one refused with the library's reason, nothing written); the AD status
// report as CSV and on the printed page.
#include "TaskTestData.h"
#include "support/BackEnds.h"
#include "support/Controls.h"
#include "support/TestFiles.h"

#include "screens/common/ScriptedDialogs.h"
#include "tasks/RegisterTable.h"
#include "tasks/StatusTable.h"
#include "tasks/TaskStore.h"
#include "tasks/TaskWrites.h"
#include "tasks/screen/AccomplishmentDialog.h"
#include "tasks/screen/frmDirectives.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::tasks;

namespace {

const QDate kToday(2025, 6, 15);

// N1 (Bell 206B, 1000 hours, 4000 landings) with the part ABC-1 S1; N3 (Robinson R44).
// The register: the FAA's 100-hour directive of the 206B, Bell's landings bulletin of the
// part, and an EASA inspection of the R44.
class Directives_ : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        location = store.createMainFile();
        db = data::Database::open(location);
        addAircraft(*db, "N1", 1000, 0, 4000, 0, 0);
        addAircraft(*db, "N3", 3000);
        describeAircraft(*db, "N1", "Bell", "206B", "1001");
        describeAircraft(*db, "N3", "Robinson", "R44", "3000");
        addPart(*db, part("N1", 1).withBasis("LD").withLife(20000, 0, 0).asUnit("ABC-1", "S1"));
        hundred = saveTask(*db, directive("2025-01-01", "Bell", "206B")).ids[0];
        Task sb = partDirective("SB-7", "ABC-1");
        sb.kind = TaskKind::Bulletin;
        sb.authority = QStringLiteral("Bell");
        sb.title = QStringLiteral("Hinge bolt");
        saveTask(*db, sb);
        Task insp = directive("R44-ANNUAL", "Robinson", "R44");
        insp.kind = TaskKind::Inspection;
        insp.authority = QStringLiteral("EASA");
        insp.interval = {};
        insp.interval[slot(Parameter::Months)] = 12;
        saveTask(*db, insp);
    }
    std::unique_ptr<frmDirectives> open() {
        frmDirectives::Options o;
        o.dataPath = store.dataPath();
        o.utilisation = [](data::Database&) { return std::make_unique<SteadyUse>(); };
        o.today = kToday;
        o.companyName = QStringLiteral("Skyline Rotor Services");
        auto s = std::make_unique<frmDirectives>(o);
        s->show();
        return s;
    }
    static QStringList registerColumn(const frmDirectives& s, int column) {
        QStringList out;
        for (int r = 0; r < s.registerTable().rowCount(); ++r)
            out << s.registerTable().text(r, column);
        return out;
    }
    static QStringList statusColumn(const frmDirectives& s, int column) {
        QStringList out;
        for (int r = 0; r < s.statusTable().rowCount(); ++r)
            out << s.statusTable().text(r, column);
        return out;
    }
    // Fills the accomplishment dialog once it is shown, then presses OK (and, when the
    // entry is refused, Cancel after the message).
    void whenDialogShows(std::function<void(AccomplishmentDialog&)> fill) {
        QTimer::singleShot(0, [fill] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<AccomplishmentDialog*>(w); d && d->isVisible()) {
                    fill(*d);
                    d->cmdOK->click();
                    if (d->isVisible())
                        d->cmdCancel->click();
                    return;
                }
            }
            ADD_FAILURE() << "no accomplishment dialog";
        });
    }

    screens::ScopedDialogs dialogs;
    TestStore store{GetParam()};
    QString location;
    std::shared_ptr<data::Database> db;
    std::int64_t hundred = 0;
};

TEST_P(Directives_, TheRegisterIsFilteredByKindAuthorityAndText) {
    auto s = open();
    EXPECT_EQ(s->windowTitle(), "Directives & Inspections");
    EXPECT_TRUE(dialogs->messages.empty());
    EXPECT_EQ(registerColumn(*s, RegisterTable::Number),
              QStringList({"2025-01-01", "R44-ANNUAL", "SB-7"}));
    control<QComboBox>(*s, "cboKind")
        ->setCurrentIndex(control<QComboBox>(*s, "cboKind")->findText("Service bulletin"));
    EXPECT_EQ(registerColumn(*s, RegisterTable::Number), QStringList({"SB-7"}));
    control<QComboBox>(*s, "cboKind")->setCurrentIndex(0);
    ASSERT_EQ(control<QComboBox>(*s, "cboAuthority")->count(),
              4);  // every authority, Bell, EASA, FAA
    control<QComboBox>(*s, "cboAuthority")
        ->setCurrentIndex(control<QComboBox>(*s, "cboAuthority")->findText("EASA"));
    EXPECT_EQ(registerColumn(*s, RegisterTable::Number), QStringList({"R44-ANNUAL"}));
    control<QComboBox>(*s, "cboAuthority")->setCurrentIndex(0);
    control<QLineEdit>(*s, "txtFind")->setText("abc-1");  // what it applies to
    EXPECT_EQ(registerColumn(*s, RegisterTable::Number), QStringList({"SB-7"}));
    control<QLineEdit>(*s, "txtFind")->setText("robinson");
    EXPECT_EQ(registerColumn(*s, RegisterTable::Number), QStringList({"R44-ANNUAL"}));
    EXPECT_EQ(control<QLabel>(*s, "lblRegister")->text(), "1 of 3 tasks shown.");
}

TEST_P(Directives_, AnAircraftsStatusAndAnAccomplishmentRecordedThroughTheDialog) {
    auto s = open();
    control<QComboBox>(*s, "cboAircraft")
        ->setCurrentIndex(control<QComboBox>(*s, "cboAircraft")->findText("N1"));
    // 100 hours from 1000; 500 landings from 4000.
    EXPECT_EQ(statusColumn(*s, StatusTable::Number), QStringList({"2025-01-01", "SB-7"}));
    EXPECT_EQ(statusColumn(*s, StatusTable::NextDueTime),
              QStringList({"1100.0 hours", "4500 landings"}));
    EXPECT_EQ(statusColumn(*s, StatusTable::Remaining),
              QStringList({"100.0 hours", "500 landings"}));

    // Done on 10 June at 980 hours (the totals start at the aircraft's now): next due at
    // 1080, 80 hours left.
    ASSERT_TRUE(s->showTask(hundred, "n1"));
    EXPECT_EQ(control<QTabWidget>(*s, "tabs")->currentIndex(), 1);
    whenDialogShows([](AccomplishmentDialog& d) {
        EXPECT_EQ(d.txtTotal[0]->text(), "1000");
        EXPECT_EQ(d.txtTotal[2]->text(), "4000");
        EXPECT_EQ(d.dtpDate->date(), kToday);
        d.dtpDate->setDate(QDate(2025, 6, 10));
        d.txtTotal[0]->setText("980");
        d.txtWorkOrder->setText("WO-88");
        d.txtSignedBy->setText("J. Smith");
        d.txtCertificate->setText("A&P 1234567");
    });
    control<QPushButton>(*s, "cmdAccomplish")->click();
    EXPECT_TRUE(dialogs->messages.empty());
    const Register reg = readRegister(*db);
    ASSERT_EQ(reg.accomplishments.size(), 1u);
    const Accomplishment& a = reg.accomplishments[0];
    EXPECT_EQ(a.date, QDate(2025, 6, 10));
    EXPECT_EQ(a.totals.time, 980.0);
    EXPECT_EQ(a.workOrder, "WO-88");
    EXPECT_EQ(a.signedBy, "J. Smith");
    EXPECT_EQ(a.certificate, "A&P 1234567");
    EXPECT_EQ(statusColumn(*s, StatusTable::NextDueTime)[0], "1080.0 hours");
    EXPECT_EQ(statusColumn(*s, StatusTable::Status)[0], "Recurring");
    EXPECT_TRUE(statusColumn(*s, StatusTable::LastDone)[0].startsWith("2025-06-10"));
}

TEST_P(Directives_, BadInputIsSaidAndNothingIsWritten) {
    auto s = open();
    ASSERT_TRUE(s->showTask(hundred, "N1"));
    const QByteArray before = storedContent(location);
    // A date after today, and then hours above the aircraft's now: each refused with the
    // library's reason.
    whenDialogShows([](AccomplishmentDialog& d) { d.dtpDate->setDate(QDate(2025, 7, 1)); });
    control<QPushButton>(*s, "cmdAccomplish")->click();
    whenDialogShows([](AccomplishmentDialog& d) { d.txtTotal[0]->setText("1200"); });
    control<QPushButton>(*s, "cmdAccomplish")->click();
    whenDialogShows([](AccomplishmentDialog& d) { d.txtTotal[2]->setText("many"); });
    control<QPushButton>(*s, "cmdAccomplish")->click();
    ASSERT_EQ(dialogs->messages.size(), 3u);
    EXPECT_TRUE(dialogs->messages[0].text.contains("future"))
        << dialogs->messages[0].text.toStdString();
    EXPECT_TRUE(dialogs->messages[1].text.contains("1200"))
        << dialogs->messages[1].text.toStdString();
    EXPECT_EQ(dialogs->messages[2].text, "Landings: \"many\" is not a number.");
    EXPECT_EQ(storedContent(location), before);
    EXPECT_TRUE(readRegister(*db).accomplishments.empty());
}

TEST_P(Directives_, TheStatusReportHoldsWhatTheOwnersRecordsMust) {
    auto s = open();
    control<QComboBox>(*s, "cboAircraft")
        ->setCurrentIndex(control<QComboBox>(*s, "cboAircraft")->findText("N1"));
    exporting::TablePrintJob printed;
    s->setTablePreview([&](QWidget*, const exporting::TablePrintJob& job) { printed = job; });
    control<QPushButton>(*s, "cmdPrint")->click();
    EXPECT_EQ(printed.title, "AD Status - N1 - Skyline Rotor Services");
    QStringList captions;
    for (int c : printed.columns)
        captions << StatusTable::caption(c);
    for (const char* needed : {"Number", "Revision Date", "Status", "Method of Compliance",
                               "Next Due Time", "Next Due Date"})
        EXPECT_TRUE(captions.contains(needed)) << needed;

    const QString csv = store.folder().file("n1.csv");
    dialogs->saveResult(csv);
    control<QPushButton>(*s, "cmdExportCsv")->click();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(
        lines[1].startsWith("N1,AD,2025-01-01,,2024-12-01,Tail rotor inspection,Aircraft,Open,"))
        << lines[1].toStdString();
}

VELMORA_ON_BOTH_BACK_ENDS(Directives_);

}  // namespace
