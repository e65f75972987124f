#include "screens/common/DataGrid.h"
#include "screens/common/ScriptedDialogs.h"

#include "support/RealMessageBoxes.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QBrush>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using velmora::data::Database;
using velmora::data::Recordset;
using velmora::data::Value;
using velmora::screens::DataGrid;
using velmora::screens::GridColumn;
using velmora::screens::MsgAnswer;
using velmora::screens::MsgButtons;
namespace tf = velmora::testing;

namespace {

// The component list of the aircraft set-up screen: columns in the order the screen
// addresses them, bound by name to a query that selects them in another order.
std::vector<GridColumn> componentColumns() {
    auto col = [](const char* caption, const char* field, Value def = {}, const char* format = "",
                  bool visible = true) {
        return GridColumn{QString::fromUtf8(caption), QString::fromUtf8(field), def,
                          QString::fromUtf8(format), visible};
    };
    return {
        col("RegNum", "RegNum", {}, "", false),
        col("Item #", "ItemNumber"),
        col("Meter", "MeterNumber"),
        col("Installed", "Active", Value("Yes"), "Yes/No"),
        col("Assembly", "Assembly"),
        col("Component Name", "Description"),
        col("Part Number", "PartNumber"),
        col("Serial #", "Serial#"),
        col("Date Purchased", "DatePurchased", {}, "Short Date"),
        col("Manufacturer", "Manufacturer"),
        col("Inspection", "Inspection"),
        col("Cost to Replace", "ReplaceCost", Value("0"), "Currency"),
        col("Reserve Per Hour", "ReservePerHour", Value("0"), "Currency"),
        col("Service Life", "LifeNumber", Value("0")),
        col("Type", "LifeBasis", Value("RT")),
        col("Install Date", "InstallDate", {}, "Short Date"),
        col("Component at Install", "InstallTimeLeft", {}, "#####0.0;;\\ ;\\ "),
        col("A/C Total at Install", "InstallACHour"),
        col("Notes", "Notes"),
        col("Oil Analysis", "OilAnalysis", Value("No"), "Yes/No"),
    };
}

const char* kListQuery =
    "select [RegNum],[ItemNumber],[MeterNumber],[Assembly],[Active],[PartNumber],[Serial#],"
    "[Description],[DatePurchased],[Manufacturer],[Inspection],[ReplaceCost],[ReservePerHour],"
    "[LifeNumber],[LifeBasis],[InstallDate],[InstallTimeLeft],[InstallACHour],[Notes],"
    "[OilAnalysis] from [Parts] where [RegNum]='N101' Order by [ItemNumber]";

enum Col {
    kRegNum = 0,
    kItem = 1,
    kMeter = 2,
    kActive = 3,
    kAssembly = 4,
    kDescription = 5,
    kPartNumber = 6,
    kPurchased = 8,
    kManufacturer = 9,
    kCost = 11,
    kReserve = 12,
    kLife = 13,
    kBasis = 14,
    kInstallDate = 15,
    kAtInstall = 16,
    kOil = 19,
};

class DataGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        path_ = folder_.createMainFile();
        db_ = Database::open(path_);
        tf::addAircraft(*db_, "N101", 1200);
        tf::addPart(*db_, {"N101", 1, 1, true, "RT", 2000, 150, 1000, "2005-01-31", "Main rotor"});
        tf::addPart(*db_, {"N101", 2, 1, true, "OH", 1500, 0, 900, "", "Tail rotor"});
        tf::addPart(*db_, {"N101", 3, 1, false, "RT", 500, -12.25, 800, "", "Starter"});
        tf::addPart(*db_, {"N202", 1, 1, true, "RT", 800, 0, 0, "", "Other aircraft"});
        db_->execute(
            "UPDATE Parts SET ReplaceCost = 1000, Assembly = 'Rotor' WHERE ItemNumber = 1");
        rs_ = db_->openRecordset(kListQuery);

        grid_ = std::make_unique<DataGrid>();
        grid_->resize(900, 300);
        grid_->setColumns(componentColumns());
        grid_->setTwoLineHeaders(true);
        grid_->setAllowAddNew(true);
        grid_->setAllowDelete(true);
        grid_->setAllowUpdate(true);
        grid_->setRecordset(rs_.get());
        grid_->show();
        QObject::connect(grid_.get(), &DataGrid::writeFailed, grid_.get(),
                         [this](int number, const QString& text) {
                             failures_.push_back(number);
                             failureTexts_.push_back(text);
                         });
    }

    void TearDown() override {
        grid_.reset();
        QLocale::setDefault(saved_);
    }

    // A fresh read of one component row from the file.
    std::unique_ptr<Recordset> fileRow(const QString& where) {
        auto rs = db_->openRecordset("select * from Parts where " + where);
        return rs;
    }
    int fileCount(const QString& where) { return fileRow(where)->recordCount(); }

    // The open cell editor; editors closed before are deleted first.
    QLineEdit* editor() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return grid_->findChild<QLineEdit*>();
    }

    // Opens the current cell with F2, replaces its text and ends the edit with Enter.
    void editCurrentCell(const QString& text) {
        QTest::keyClick(grid_.get(), Qt::Key_F2);
        QLineEdit* e = editor();
        ASSERT_NE(e, nullptr);
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
        QApplication::processEvents();  // the delegate ends the edit through a queued call
    }

    // What the window system sends for a double click: press, release, double click, release.
    void doubleClick(int row, int col) {
        const QPoint at = grid_->visualRect(grid_->model()->index(row, col)).center();
        QTest::mousePress(grid_->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid_->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid_->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid_->viewport(), Qt::LeftButton, {}, at);
    }

    void goTo(int row, int col) {
        grid_->setCurrentRow(row);
        grid_->setCurrentColumn(col);
    }

    QLocale saved_;
    tf::TestFolder folder_;
    QString path_;
    std::shared_ptr<Database> db_;
    std::unique_ptr<Recordset> rs_;
    std::unique_ptr<DataGrid> grid_;
    std::vector<int> failures_;
    QStringList failureTexts_;
};

TEST_F(DataGridTest, ShowsCaptionsAndHidesColumns) {
    EXPECT_EQ(grid_->objectName(), "grdDataGrid");
    EXPECT_EQ(grid_->columnCount(), 20);
    auto* m = grid_->model();
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "Item #");
    EXPECT_EQ(m->headerData(19, Qt::Horizontal).toString(), "Oil Analysis");
    EXPECT_TRUE(grid_->isColumnHidden(kRegNum));
    EXPECT_FALSE(grid_->isColumnHidden(kAssembly));
    grid_->setColumnVisible(kAssembly, false);
    EXPECT_TRUE(grid_->isColumnHidden(kAssembly));
    EXPECT_FALSE(grid_->isColumnVisible(kAssembly));
    EXPECT_EQ(grid_->column(kBasis).field, "LifeBasis");
    // Only the aircraft's three components, the add line below them.
    EXPECT_EQ(grid_->rowCount(), 3);
    EXPECT_EQ(m->rowCount(), 4);
    EXPECT_EQ(m->headerData(3, Qt::Vertical).toString(), "*");
    // Two text lines in the header, captions wrapped.
    const QFontMetrics fm = grid_->horizontalHeader()->fontMetrics();
    EXPECT_GE(grid_->horizontalHeader()->height(), 2 * fm.lineSpacing());
    EXPECT_TRUE(grid_->horizontalHeader()->defaultAlignment().toInt() & Qt::TextWordWrap);
    // Hidden columns stay hidden when the rows are read again.
    grid_->setRecordset(rs_.get());
    EXPECT_TRUE(grid_->isColumnHidden(kRegNum));
    EXPECT_TRUE(grid_->isColumnHidden(kAssembly));
}

TEST_F(DataGridTest, EveryCaptionFitsItsTwoHeaderLines) {
    grid_->setColumns({{"Time Remaining to Retire", "ItemNumber", {}, {}, true},
                       {"Time Remaining to Inspection (2)", "RegNum", {}, {}, true},
                       {"Cycles Remaining to Retire", "Description", {}, {}, true},
                       {"Item #", "MeterNumber", {}, {}, true}});
    QHeaderView* header = grid_->horizontalHeader();
    const QFontMetrics fm = header->fontMetrics();
    const int margin = grid_->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int c = 0; c < grid_->columnCount(); ++c) {
        const QString caption = grid_->column(c).caption;
        const QRect needed = fm.boundingRect(QRect(0, 0, header->sectionSize(c) - 2 * margin, 1000),
                                             int(Qt::AlignCenter) | int(Qt::TextWordWrap), caption);
        EXPECT_LE(needed.height(), 2 * fm.lineSpacing()) << caption.toStdString();
        EXPECT_LE(needed.height() + 2 * margin, header->height()) << caption.toStdString();
    }
}

TEST_F(DataGridTest, DisplaysFormattedTexts) {
    EXPECT_EQ(grid_->textAt(0, kItem), "1");
    EXPECT_EQ(grid_->textAt(0, kDescription), "Main rotor");
    EXPECT_EQ(grid_->textAt(0, kActive), "Yes");
    EXPECT_EQ(grid_->textAt(2, kActive), "No");
    EXPECT_EQ(grid_->textAt(0, kCost), "$1,000.00");
    EXPECT_EQ(grid_->textAt(1, kCost), "");
    EXPECT_EQ(grid_->textAt(0, kInstallDate), "1/31/05");
    EXPECT_EQ(grid_->textAt(1, kInstallDate), "");
    EXPECT_EQ(grid_->textAt(0, kAtInstall), "150.0");
    EXPECT_EQ(grid_->textAt(1, kAtInstall), " ");
    EXPECT_EQ(grid_->textAt(2, kAtInstall), "-12.3");
    EXPECT_EQ(grid_->textAt(0, kLife), "2000");
    EXPECT_EQ(grid_->textAt(0, kOil), "No");
    // The model shows the same texts.
    EXPECT_EQ(grid_->model()->index(0, kCost).data().toString(), "$1,000.00");

    grid_->setCurrentRow(2);
    EXPECT_EQ(grid_->cellText(kDescription), "Starter");
    EXPECT_EQ(grid_->cellValue(kAtInstall), Value(-12.25));
    EXPECT_EQ(grid_->cellValue(kActive), Value(0));
}

TEST_F(DataGridTest, NegativeNumbersAreRedAndRightAligned) {
    auto* m = grid_->model();
    const QModelIndex overdue = m->index(2, kAtInstall);
    const QModelIndex fine = m->index(0, kAtInstall);
    EXPECT_EQ(overdue.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
    EXPECT_FALSE(fine.data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(overdue.data().toString(), "-12.3");
    // Yes is stored as -1, but nothing has run out.
    const QModelIndex installed = m->index(0, kActive);
    ASSERT_EQ(installed.data().toString(), "Yes");
    EXPECT_FALSE(installed.data(Qt::ForegroundRole).isValid());
    const auto align = m->index(0, kLife).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_TRUE(align & Qt::AlignRight);
    const auto textAlign =
        m->index(0, kDescription).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_FALSE(textAlign & Qt::AlignRight);
}

TEST_F(DataGridTest, EditedCellIsWrittenWhenTheRowIsLeft) {
    goTo(0, kAssembly);
    editCurrentCell("Main rotor head");
    // Typed and shown, not yet in the file.
    EXPECT_EQ(grid_->textAt(0, kAssembly), "Main rotor head");
    EXPECT_TRUE(grid_->hasPendingRow());
    EXPECT_EQ(fileRow("ItemNumber = 1 and RegNum = 'N101'")->value("Assembly"), Value("Rotor"));

    QTest::keyClick(grid_.get(), Qt::Key_Down);
    EXPECT_EQ(grid_->currentRow(), 1);
    EXPECT_FALSE(grid_->hasPendingRow());
    auto row = fileRow("ItemNumber = 1 and RegNum = 'N101'");
    EXPECT_EQ(row->value("Assembly"), Value("Main rotor head"));
    EXPECT_EQ(row->value("Description"), Value("Main rotor"));
    EXPECT_EQ(grid_->textAt(0, kAssembly), "Main rotor head");
    EXPECT_TRUE(failures_.empty());
}

TEST_F(DataGridTest, TypingIntoACellStartsAnEdit) {
    goTo(1, kLife);
    QTest::keyClicks(grid_.get(), "1");
    QLineEdit* e = editor();
    ASSERT_NE(e, nullptr);
    QTest::keyClicks(e, "750");
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(grid_->cellText(kLife), "1750");
    ASSERT_TRUE(grid_->commitPendingRow());
    EXPECT_EQ(fileRow("ItemNumber = 2 and RegNum = 'N101'")->value("LifeNumber"), Value(1750.0));
}

TEST_F(DataGridTest, DoubleClickOpensAnEditorAndRaisesDblClick) {
    int dblClicks = 0;
    QObject::connect(grid_.get(), &DataGrid::DblClick, [&] { ++dblClicks; });
    goTo(1, kDescription);
    doubleClick(1, kDescription);
    EXPECT_EQ(dblClicks, 1);
    QLineEdit* e = editor();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->text(), "Tail rotor");
    e->selectAll();
    QTest::keyClicks(e, "Tail rotor gearbox");
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
    grid_->setCurrentRow(0);
    EXPECT_EQ(fileRow("ItemNumber = 2 and RegNum = 'N101'")->value("Description"),
              Value("Tail rotor gearbox"));
}

TEST_F(DataGridTest, DoubleClickHandlerThatTogglesACellOpensNoEditor) {
    QObject::connect(grid_.get(), &DataGrid::DblClick, grid_.get(), [this] {
        if (grid_->currentColumn() == kOil)
            grid_->setCellValue(kOil, Value(grid_->cellValue(kOil) == Value(true) ? false : true));
    });
    goTo(0, kOil);
    doubleClick(0, kOil);
    EXPECT_EQ(grid_->textAt(0, kOil), "Yes");
    EXPECT_EQ(editor(), nullptr);
    doubleClick(0, kOil);
    EXPECT_EQ(grid_->textAt(0, kOil), "No");
    doubleClick(0, kOil);
    ASSERT_TRUE(grid_->commitPendingRow());
    EXPECT_EQ(fileRow("ItemNumber = 1 and RegNum = 'N101'")->value("OilAnalysis"), Value(-1));
}

TEST_F(DataGridTest, EventsOfOneEditComeInOrder) {
    QStringList events;
    QObject::connect(grid_.get(), &DataGrid::Change, [&] {
        if (events.isEmpty() || events.last() != "Change")
            events << "Change";
    });
    QObject::connect(grid_.get(), &DataGrid::AfterColEdit,
                     [&](int col) { events << QStringLiteral("AfterColEdit %1").arg(col); });
    QObject::connect(grid_.get(), &DataGrid::AfterColUpdate,
                     [&](int col) { events << QStringLiteral("AfterColUpdate %1").arg(col); });
    grid_->setBeforeUpdateHandler([&] {
        events << "BeforeUpdate";
        return false;
    });
    QObject::connect(grid_.get(), &DataGrid::RowColChange, [&](int row, int col) {
        events << QStringLiteral("RowColChange %1 %2").arg(row).arg(col);
    });
    goTo(0, kPartNumber);
    events.clear();
    editCurrentCell("PN-77");
    QTest::keyClick(grid_.get(), Qt::Key_Down);
    EXPECT_EQ(events, QStringList({"Change", "AfterColEdit 6", "AfterColUpdate 6", "BeforeUpdate",
                                   "RowColChange 0 6"}));
}

namespace {

// Qt's warnings about cell editors while a test runs.
QStringList* gWarnings = nullptr;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (gWarnings && type == QtWarningMsg && text.contains("editor"))
        gWarnings->push_back(text);
}

}  // namespace

TEST_F(DataGridTest, AQuestionAfterAnEditEndedByTabLeavesTheEditorClosedOnce) {
    // The component list's rule for a rejected Type: a real message box after the edit, then
    // the current cell goes back to the cell edited once.
    bool rejected = false;
    QObject::connect(grid_.get(), &DataGrid::AfterColEdit, grid_.get(), [&](int col) {
        if (col != kBasis || grid_->cellText(kBasis) == "RT")
            return;
        velmora::screens::msgBox(grid_.get(), "Press OK to continue", MsgButtons::Ok,
                                 velmora::screens::MsgIcon::None,
                                 "Type must be RT,OH,IN,MO,LD,CY or RN");
        rejected = true;
    });
    QObject::connect(grid_.get(), &DataGrid::RowColChange, grid_.get(), [&](int row, int col) {
        if (!rejected)
            return;
        rejected = false;
        grid_->setCurrentRow(row);
        grid_->setCurrentColumn(col);
        grid_->setFocus();
    });
    QApplication::setActiveWindow(grid_.get());
    goTo(1, kBasis);
    grid_->setFocus();

    QStringList warnings;
    gWarnings = &warnings;
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    auto boxes = tf::answerBoxesWithKeys({Qt::Key_Return});
    QTest::keyClick(grid_.get(), Qt::Key_Z);  // typing opens the cell
    ASSERT_NE(editor(), nullptr);
    QTest::keyClick(editor(), Qt::Key_Z);
    QTest::keyClick(editor(), Qt::Key_Tab);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    qInstallMessageHandler(previous);
    gWarnings = nullptr;

    ASSERT_EQ(boxes->boxes.size(), 1u);
    EXPECT_EQ(boxes->boxes[0].title, "Type must be RT,OH,IN,MO,LD,CY or RN");
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
    EXPECT_EQ(grid_->currentRow(), 1);
    EXPECT_EQ(grid_->currentColumn(), kBasis);
    EXPECT_EQ(grid_->cellText(kBasis), "zz");
    EXPECT_EQ(QApplication::focusWidget(), grid_.get());
    EXPECT_EQ(editor(), nullptr);
    // A second move away is not held back; the row keeps the text until it is written.
    QTest::keyClick(grid_.get(), Qt::Key_Right);
    EXPECT_EQ(grid_->currentColumn(), kInstallDate);
}

TEST_F(DataGridTest, AfterColEditSeesTheTypedTextAndMaySetTheCell) {
    // The screen's rule for Yes/No cells: "Yes" or "y" is Yes, anything else No.
    QObject::connect(grid_.get(), &DataGrid::AfterColEdit, grid_.get(), [this](int col) {
        if (col == kActive) {
            const QString t = grid_->cellText(kActive);
            grid_->setCellValue(kActive, Value(t == "Yes" || t.toUpper() == "Y"));
        }
    });
    goTo(2, kActive);
    editCurrentCell("y");
    EXPECT_EQ(grid_->cellText(kActive), "Yes");
    grid_->setCurrentRow(0);
    EXPECT_EQ(fileRow("ItemNumber = 3 and RegNum = 'N101'")->value("Active"), Value(-1));
}

TEST_F(DataGridTest, CancelledWriteKeepsTheTypedValueAndTheFile) {
    bool refuse = true;
    grid_->setBeforeUpdateHandler([&] { return refuse; });
    goTo(1, kManufacturer);
    editCurrentCell("Sikorsky");
    QTest::keyClick(grid_.get(), Qt::Key_Down);
    // Still on the row, the value still typed, the file as it was.
    EXPECT_EQ(grid_->currentRow(), 1);
    EXPECT_TRUE(grid_->hasPendingRow());
    EXPECT_EQ(grid_->textAt(1, kManufacturer), "Sikorsky");
    EXPECT_TRUE(fileRow("ItemNumber = 2 and RegNum = 'N101'")->value("Manufacturer").isNull());
    EXPECT_FALSE(grid_->commitPendingRow());
    EXPECT_TRUE(fileRow("ItemNumber = 2 and RegNum = 'N101'")->value("Manufacturer").isNull());

    refuse = false;
    EXPECT_TRUE(grid_->commitPendingRow());
    EXPECT_EQ(fileRow("ItemNumber = 2 and RegNum = 'N101'")->value("Manufacturer"),
              Value("Sikorsky"));
}

TEST_F(DataGridTest, FailedWriteKeepsTheTypedValuesAndReportsTheError) {
    goTo(0, kAssembly);
    editCurrentCell("Gearbox");
    grid_->setCurrentColumn(kPartNumber);
    const QString tooLong(60, QChar(u'X'));
    editCurrentCell(tooLong);
    QTest::keyClick(grid_.get(), Qt::Key_Down);

    ASSERT_EQ(failures_.size(), 1u);
    EXPECT_EQ(failures_[0], 3163);
    EXPECT_TRUE(failureTexts_[0].contains("PartNumber"));
    EXPECT_EQ(grid_->currentRow(), 0);
    EXPECT_TRUE(grid_->hasPendingRow());
    EXPECT_EQ(grid_->textAt(0, kAssembly), "Gearbox");
    EXPECT_EQ(grid_->textAt(0, kPartNumber), tooLong);
    auto row = fileRow("ItemNumber = 1 and RegNum = 'N101'");
    EXPECT_EQ(row->value("Assembly"), Value("Rotor"));
    EXPECT_TRUE(row->value("PartNumber").isNull());

    // Corrected, the row goes in with both values.
    editCurrentCell("PN-1");
    QTest::keyClick(grid_.get(), Qt::Key_Down);
    EXPECT_EQ(failures_.size(), 1u);
    row = fileRow("ItemNumber = 1 and RegNum = 'N101'");
    EXPECT_EQ(row->value("Assembly"), Value("Gearbox"));
    EXPECT_EQ(row->value("PartNumber"), Value("PN-1"));
}

TEST_F(DataGridTest, CommitTakesTheCellStillBeingEdited) {
    goTo(2, kAssembly);
    QTest::keyClick(grid_.get(), Qt::Key_F2);
    QLineEdit* e = editor();
    ASSERT_NE(e, nullptr);
    e->selectAll();
    QTest::keyClicks(e, "Engine");
    ASSERT_TRUE(grid_->commitPendingRow());
    EXPECT_FALSE(grid_->hasPendingRow());
    EXPECT_EQ(fileRow("ItemNumber = 3 and RegNum = 'N101'")->value("Assembly"), Value("Engine"));
}

TEST_F(DataGridTest, UnhandledFailureIsShownWithoutLosingTheRow) {
    DataGrid plain;
    plain.setColumns(componentColumns());
    plain.setAllowUpdate(true);
    plain.setRecordset(rs_.get());
    plain.show();
    plain.setCurrentRow(0);
    plain.setCurrentColumn(kPartNumber);
    ASSERT_TRUE(plain.setCellValue(kPartNumber, Value(QString(51, QChar(u'7')))));
    EXPECT_FALSE(plain.commitPendingRow());
    auto* box = plain.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->text().contains("PartNumber"));
    EXPECT_TRUE(plain.hasPendingRow());
    EXPECT_EQ(plain.textAt(0, kPartNumber), QString(51, QChar(u'7')));
    EXPECT_TRUE(fileRow("ItemNumber = 1 and RegNum = 'N101'")->value("PartNumber").isNull());
    box->close();
}

TEST_F(DataGridTest, NewRowGetsRowDefaultsThenColumnDefaultsAndIsWrittenOnLeaving) {
    int addNews = 0;
    QObject::connect(grid_.get(), &DataGrid::OnAddNew, grid_.get(), [&] {
        ++addNews;
        grid_->setPendingValue(kRegNum, Value("N101"));
        grid_->setPendingValue(kMeter, Value(1));
        grid_->setPendingValue(kActive, Value(false));  // over the column default "Yes"
        grid_->setPendingValue(kPurchased, Value(" "));
        grid_->setPendingValue(kManufacturer, Value(" "));
    });
    goTo(3, kDescription);
    QTest::keyClicks(grid_.get(), "N");
    QLineEdit* e = editor();
    ASSERT_NE(e, nullptr);
    QTest::keyClicks(e, "ew pump");
    EXPECT_EQ(addNews, 1);
    // The begun row sits above a fresh add line.
    EXPECT_EQ(grid_->rowCount(), 4);
    EXPECT_EQ(grid_->model()->rowCount(), 5);
    QTest::keyClick(e, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(addNews, 1);
    EXPECT_EQ(grid_->textAt(3, kDescription), "New pump");
    EXPECT_EQ(grid_->textAt(3, kActive), "No");
    EXPECT_EQ(grid_->textAt(3, kCost), "$0.00");
    EXPECT_EQ(grid_->textAt(3, kBasis), "RT");
    EXPECT_EQ(grid_->textAt(3, kPurchased), " ");
    EXPECT_EQ(fileCount("Description = 'New pump'"), 0);

    QTest::keyClick(grid_.get(), Qt::Key_Up);
    EXPECT_TRUE(failures_.empty()) << failureTexts_.join("; ").toStdString();
    auto row = fileRow("Description = 'New pump'");
    ASSERT_EQ(row->recordCount(), 1);
    EXPECT_EQ(row->value("RegNum"), Value("N101"));
    EXPECT_EQ(row->value("MeterNumber"), Value(1));
    EXPECT_EQ(row->value("Active"), Value(0));
    EXPECT_EQ(row->value("OilAnalysis"), Value(0));
    EXPECT_EQ(row->value("LifeBasis"), Value("RT"));
    EXPECT_EQ(row->value("ReplaceCost").toDouble(), 0.0);
    EXPECT_EQ(row->value("ReservePerHour").toDouble(), 0.0);
    EXPECT_EQ(row->value("LifeNumber").toDouble(), 0.0);
    EXPECT_TRUE(row->value("DatePurchased").isNull());  // the one-blank date
    EXPECT_EQ(row->value("Manufacturer"), Value(" "));
    EXPECT_EQ(grid_->rowCount(), 4);
    EXPECT_EQ(grid_->textAt(3, kDescription), "New pump");
    EXPECT_EQ(grid_->textAt(3, kPurchased), "");
}

TEST_F(DataGridTest, EscapeOnANewRowTakesItBack) {
    goTo(3, kDescription);
    QTest::keyClicks(grid_.get(), "X");
    QLineEdit* e = editor();
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(grid_->hasPendingRow());
    EXPECT_EQ(grid_->rowCount(), 3);
    grid_->setCurrentRow(0);
    EXPECT_EQ(fileCount("RegNum = 'N101'"), 3);
    EXPECT_EQ(fileCount("1 = 1"), 4);
}

TEST_F(DataGridTest, EscapeOutsideAnEditorDropsTheRowsChanges) {
    goTo(0, kAssembly);
    editCurrentCell("Changed");
    QTest::keyClick(grid_.get(), Qt::Key_Escape);
    EXPECT_FALSE(grid_->hasPendingRow());
    EXPECT_EQ(grid_->textAt(0, kAssembly), "Rotor");
    grid_->setCurrentRow(1);
    EXPECT_EQ(fileRow("ItemNumber = 1 and RegNum = 'N101'")->value("Assembly"), Value("Rotor"));
}

TEST_F(DataGridTest, DatesAreTypedInTheLocalesForm) {
    goTo(1, kInstallDate);
    editCurrentCell("2/3/2006");
    EXPECT_EQ(grid_->cellText(kInstallDate), "2/3/06");
    grid_->setCurrentRow(0);
    EXPECT_EQ(fileRow("ItemNumber = 2 and RegNum = 'N101'")->value("InstallDate"),
              Value("2006-02-03"));
    // Editing starts from the full year, so a changed day keeps its century.
    goTo(1, kInstallDate);
    QTest::keyClick(grid_.get(), Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), "2/3/2006");
    QTest::keyClick(editor(), Qt::Key_Escape);
    // A one-blank date is accepted and shown empty once written.
    editCurrentCell(" ");
    grid_->setCurrentRow(0);
    EXPECT_TRUE(fileRow("ItemNumber = 2 and RegNum = 'N101'")->value("InstallDate").isNull());
    EXPECT_EQ(grid_->textAt(1, kInstallDate), "");
}

TEST_F(DataGridTest, DayFirstLocaleDatesAreNotReadMonthFirst) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    goTo(1, kInstallDate);
    editCurrentCell("5/1/2005");
    grid_->setCurrentRow(0);
    EXPECT_EQ(fileRow("ItemNumber = 2 and RegNum = 'N101'")->value("InstallDate"),
              Value("2005-01-05"));
    EXPECT_EQ(grid_->textAt(1, kInstallDate), "05/01/2005");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    goTo(2, kInstallDate);
    editCurrentCell("7.3.06");
    grid_->setCurrentRow(0);
    EXPECT_EQ(fileRow("ItemNumber = 3 and RegNum = 'N101'")->value("InstallDate"),
              Value("2006-03-07"));
}

TEST_F(DataGridTest, DeleteKeyAsksFirstAndRemovesTheRowOnYes) {
    velmora::screens::ScopedDialogs dialogs;
    goTo(1, kDescription);
    dialogs->answer(MsgAnswer::No);
    QTest::keyClick(grid_.get(), Qt::Key_Delete);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "Delete this record?");
    EXPECT_EQ(dialogs->messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs->messages[0].defaultButton, MsgAnswer::No);
    EXPECT_EQ(fileCount("RegNum = 'N101'"), 3);
    EXPECT_EQ(grid_->rowCount(), 3);

    dialogs->answer(MsgAnswer::Yes);
    QTest::keyClick(grid_.get(), Qt::Key_Delete);
    EXPECT_EQ(fileCount("RegNum = 'N101'"), 2);
    EXPECT_EQ(fileCount("Description = 'Tail rotor'"), 0);
    EXPECT_EQ(grid_->rowCount(), 2);
    EXPECT_EQ(grid_->textAt(1, kDescription), "Starter");
    EXPECT_EQ(fileCount("RegNum = 'N202'"), 1);

    // The add line holds no record: nothing is asked.
    grid_->setCurrentIndex(grid_->model()->index(2, kDescription));
    QTest::keyClick(grid_.get(), Qt::Key_Delete);
    EXPECT_EQ(dialogs->messages.size(), 2u);
}

TEST_F(DataGridTest, DeleteKeyDoesNothingWhenNotAllowed) {
    grid_->setAllowDelete(false);
    goTo(1, kDescription);
    QTest::keyClick(grid_.get(), Qt::Key_Delete);
    EXPECT_EQ(fileCount("RegNum = 'N101'"), 3);
    EXPECT_EQ(grid_->rowCount(), 3);
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(DataGridTest, ReadOnlyGridOpensNoEditorAndHasNoAddLine) {
    grid_->setAllowUpdate(false);
    grid_->setAllowAddNew(false);
    EXPECT_EQ(grid_->model()->rowCount(), 3);
    goTo(0, kDescription);
    QTest::keyClick(grid_.get(), Qt::Key_F2);
    QTest::keyClicks(grid_.get(), "abc");
    EXPECT_EQ(editor(), nullptr);
    EXPECT_FALSE(grid_->hasPendingRow());
    EXPECT_EQ(grid_->textAt(0, kDescription), "Main rotor");
}

TEST_F(DataGridTest, RowColChangeReportsTheCellLeft) {
    std::vector<std::pair<int, int>> moves;
    QObject::connect(grid_.get(), &DataGrid::RowColChange,
                     [&](int row, int col) { moves.emplace_back(row, col); });
    goTo(0, kDescription);
    moves.clear();
    QTest::keyClick(grid_.get(), Qt::Key_Down);
    QTest::keyClick(grid_.get(), Qt::Key_Right);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0], std::make_pair(0, int{kDescription}));
    EXPECT_EQ(moves[1], std::make_pair(1, int{kDescription}));
    EXPECT_EQ(grid_->currentRow(), 1);
    EXPECT_EQ(grid_->currentColumn(), kPartNumber);
}

TEST_F(DataGridTest, EmptiedWithoutARecordset) {
    grid_->setRecordset(nullptr);
    EXPECT_EQ(grid_->rowCount(), 0);
    EXPECT_EQ(grid_->model()->rowCount(), 0);
    EXPECT_EQ(grid_->currentRow(), -1);
    EXPECT_FALSE(grid_->setCellValue(kDescription, Value("x")));
    EXPECT_EQ(grid_->displayedRowCount(), 0);
}

TEST_F(DataGridTest, DisplayedRowsAreThoseThatFit) {
    {
        velmora::data::Transaction tx(*db_);
        for (int i = 10; i < 300; ++i)
            tf::addPart(*db_, {"N101", i, 1, true, "RT", 100, -1.0 * i, 0, "", "Bulk"});
        tx.commit();
    }
    rs_ = db_->openRecordset(kListQuery);
    grid_->setRecordset(rs_.get());
    EXPECT_EQ(grid_->rowCount(), 293);
    const int shown = grid_->displayedRowCount();
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, 293);
    const int rowHeight = grid_->rowHeight(0);
    EXPECT_LE(shown * rowHeight, grid_->viewport()->height());
    EXPECT_GT((shown + 1) * rowHeight, grid_->viewport()->height());
    EXPECT_EQ(grid_->displayedRowPosition(0), 0);
    grid_->scrollTo(grid_->model()->index(100, kDescription), QAbstractItemView::PositionAtTop);
    EXPECT_EQ(grid_->displayedRowPosition(0), 100);
    EXPECT_EQ(grid_->textAt(grid_->displayedRowPosition(1), kItem), "108");
    EXPECT_EQ(grid_->displayedRowPosition(shown), -1);
}

TEST_F(DataGridTest, ColumnsFitWhatTheirRowsShowAndKeepWhatTheUserGave) {
    const QFontMetrics fm = grid_->fontMetrics();
    EXPECT_GE(grid_->columnWidth(kDescription), fm.horizontalAdvance("Main rotor"));
    EXPECT_FALSE(grid_->isTextCut(0, kDescription));
    // A long note widens its column only so far; its tool tip shows the rest.
    db_->execute(
        "UPDATE Parts SET Notes = 'Replaced after the bird strike of March; the old blade went "
        "back to the maker for examination and was not returned' WHERE ItemNumber = 1");
    rs_ = db_->openRecordset(kListQuery);
    grid_->setRecordset(rs_.get());
    const int notes = 18;
    EXPECT_LE(grid_->columnWidth(notes), 40 * fm.averageCharWidth());
    EXPECT_TRUE(grid_->isTextCut(0, notes));
    EXPECT_FALSE(grid_->isTextCut(1, notes));  // no note

    // A width the user gives stays when the rows are read again, and can be handed back.
    grid_->horizontalHeader()->resizeSection(kDescription, 31);
    grid_->setRecordset(rs_.get());
    EXPECT_EQ(grid_->columnWidth(kDescription), 31);
    std::vector<int> widths = grid_->columnWidths();
    EXPECT_EQ(widths[kRegNum], 0);  // hidden
    EXPECT_EQ(widths[kDescription], 31);
    EXPECT_EQ(widths[kPartNumber], 0);  // the grid's own choice

    DataGrid other;
    other.setColumns(componentColumns());
    other.setColumnWidths(widths);
    other.setRecordset(rs_.get());
    EXPECT_EQ(other.columnWidth(kDescription), 31);
    EXPECT_TRUE(other.isColumnHidden(kRegNum));
}

TEST_F(DataGridTest, ColumnsDefaultToTheRecordsetsFields) {
    DataGrid plain;
    auto rs = db_->openRecordset("select RegNum, ItemNumber from Parts where RegNum = 'N202'");
    plain.setRecordset(rs.get());
    EXPECT_EQ(plain.columnCount(), 2);
    EXPECT_EQ(plain.column(1).caption, "ItemNumber");
    EXPECT_EQ(plain.textAt(0, 0), "N202");
}

}  // namespace
