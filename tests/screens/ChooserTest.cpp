#include "screens/common/Chooser.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

using velmora::screens::Chooser;

namespace {

void fill(Chooser& c, const QStringList& entries) {
    for (const QString& e : entries)
        c.addEntry(e);
}

// Opens the drop-down list as a click on the chooser does.
QAbstractItemView* openList(Chooser& c) {
    c.showPopup();
    QAbstractItemView* view = c.view();
    EXPECT_TRUE(view->isVisible());
    return view;
}

}  // namespace

TEST(ChooserTest, FindsWholeEntryIgnoringCase) {
    Chooser c;
    fill(c, {"N123AB", "n456cd", "N12", "Bell 206"});
    EXPECT_EQ(c.findExact("n123ab"), 0);
    EXPECT_EQ(c.findExact("N456CD"), 1);
    EXPECT_EQ(c.findExact("N12"), 2);
    EXPECT_EQ(c.findExact("bell 206"), 3);
}

TEST(ChooserTest, FindDoesNotMatchPartsOrSpaces) {
    Chooser c;
    fill(c, {"N123AB", "N12"});
    EXPECT_EQ(c.findExact("N1"), -1);
    EXPECT_EQ(c.findExact("N123"), -1);
    EXPECT_EQ(c.findExact("N123AB "), -1);
    EXPECT_EQ(c.findExact(" N12"), -1);
    EXPECT_EQ(c.findExact(""), -1);
    EXPECT_EQ(c.findExact("N123ABC"), -1);
}

TEST(ChooserTest, FindGivesTheFirstOfEqualEntries) {
    Chooser c;
    fill(c, {"A", "n100", "B", "N100", "n100"});
    EXPECT_EQ(c.findExact("N100"), 1);
    EXPECT_EQ(c.findExact("n100"), 1);
}

TEST(ChooserTest, FindOnEmptyAndClearedList) {
    Chooser c;
    EXPECT_EQ(c.findExact("x"), -1);
    fill(c, {"x", "y"});
    c.clearList();
    EXPECT_EQ(c.entryCount(), 0);
    EXPECT_EQ(c.findExact("x"), -1);
    fill(c, {"y", "x"});
    EXPECT_EQ(c.findExact("X"), 1);
}

TEST(ChooserTest, FindFollowsEntriesChangedThroughTheComboBox) {
    Chooser c;
    fill(c, {"B", "C"});
    EXPECT_EQ(c.findExact("c"), 1);
    c.insertItem(0, "C");
    EXPECT_EQ(c.findExact("c"), 0);
    c.removeItem(0);
    c.setItemText(1, "D");
    EXPECT_EQ(c.findExact("c"), -1);
    EXPECT_EQ(c.findExact("d"), 1);
    c.addEntry("c");
    EXPECT_EQ(c.findExact("C"), 2);
}

TEST(ChooserTest, ThousandsOfEntriesAreFilledAndEachFound) {
    Chooser c;
    const int n = 5000;
    for (int i = 0; i < n; ++i)
        c.addEntry(QStringLiteral("Reg%1").arg(i, 5, 10, QLatin1Char('0')));
    ASSERT_EQ(c.entryCount(), n);
    EXPECT_EQ(c.listIndex(), -1);
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(c.findExact(QStringLiteral("REG%1").arg(i, 5, 10, QLatin1Char('0'))), i);
    EXPECT_EQ(c.findExact("REG99999"), -1);
}

TEST(ChooserTest, FillingSelectsNothingAndSignalsNothing) {
    Chooser c;
    QSignalSpy clicks(&c, &Chooser::clicked);
    fill(c, {"one", "two", "three"});
    EXPECT_EQ(c.entryCount(), 3);
    EXPECT_EQ(c.listIndex(), -1);
    EXPECT_EQ(c.text(), QString());
    EXPECT_FALSE(c.isEditable());
    EXPECT_EQ(clicks.count(), 0);
}

TEST(ChooserTest, ProgramSelectionSignalsOncePerChange) {
    Chooser c;
    fill(c, {"one", "two", "three"});
    QSignalSpy clicks(&c, &Chooser::clicked);
    QStringList seen;
    QObject::connect(&c, &Chooser::clicked, [&] { seen << c.text(); });

    EXPECT_TRUE(c.setListIndex(1));
    EXPECT_EQ(c.listIndex(), 1);
    EXPECT_EQ(c.text(), "two");
    EXPECT_EQ(clicks.count(), 1);

    EXPECT_TRUE(c.setListIndex(1));  // the same entry: no change
    EXPECT_EQ(clicks.count(), 1);

    EXPECT_TRUE(c.setListIndex(2));
    EXPECT_EQ(clicks.count(), 2);

    EXPECT_TRUE(c.setListIndex(-1));
    EXPECT_EQ(c.listIndex(), -1);
    EXPECT_EQ(c.text(), QString());
    EXPECT_EQ(clicks.count(), 3);

    EXPECT_TRUE(c.setListIndex(-1));
    EXPECT_EQ(clicks.count(), 3);
    // The handler sees the new selection.
    EXPECT_EQ(seen, QStringList({"two", "three", ""}));
}

TEST(ChooserTest, SelectionOutsideTheListChangesNothing) {
    Chooser c;
    fill(c, {"one", "two"});
    c.setListIndex(0);
    QSignalSpy clicks(&c, &Chooser::clicked);
    EXPECT_FALSE(c.setListIndex(2));
    EXPECT_FALSE(c.setListIndex(-2));
    EXPECT_EQ(c.listIndex(), 0);
    EXPECT_EQ(clicks.count(), 0);
}

TEST(ChooserTest, ClearingAndRefillingSignalsNothing) {
    Chooser c;
    fill(c, {"one", "two"});
    c.setListIndex(1);
    QSignalSpy clicks(&c, &Chooser::clicked);
    c.clearList();
    EXPECT_EQ(c.listIndex(), -1);
    fill(c, {"three"});
    EXPECT_EQ(c.listIndex(), -1);
    EXPECT_EQ(clicks.count(), 0);
}

TEST(ChooserTest, KeyboardChangeSignalsOnce) {
    Chooser c;
    fill(c, {"one", "two", "three"});
    c.setListIndex(0);
    c.show();
    QSignalSpy clicks(&c, &Chooser::clicked);
    QTest::keyClick(&c, Qt::Key_Down);
    EXPECT_EQ(c.listIndex(), 1);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(&c, Qt::Key_End);
    EXPECT_EQ(c.listIndex(), 2);
    EXPECT_EQ(clicks.count(), 2);
    QTest::keyClick(&c, Qt::Key_Down);  // at the end already: nothing changes
    EXPECT_EQ(c.listIndex(), 2);
    EXPECT_EQ(clicks.count(), 2);
    QTest::keyClicks(&c, "o");  // typing selects the entry starting with it
    EXPECT_EQ(c.listIndex(), 0);
    EXPECT_EQ(clicks.count(), 3);
}

TEST(ChooserTest, PickFromListWithKeyboardSignalsOnce) {
    Chooser c;
    fill(c, {"one", "two", "three"});
    c.show();
    QSignalSpy clicks(&c, &Chooser::clicked);
    QAbstractItemView* view = openList(c);
    view->setCurrentIndex(c.model()->index(2, 0));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(c.listIndex(), 2);
    EXPECT_EQ(c.text(), "three");
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ChooserTest, PickingTheSelectedEntryAgainSignals) {
    Chooser c;
    fill(c, {"one", "two", "three"});
    c.setListIndex(1);
    c.show();
    QSignalSpy clicks(&c, &Chooser::clicked);
    QAbstractItemView* view = openList(c);
    view->setCurrentIndex(c.model()->index(1, 0));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(c.listIndex(), 1);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ChooserTest, ListOpenedWithMouseSignalsOnlyWhenAnEntryIsPicked) {
    Chooser c;
    fill(c, {"one", "two", "three"});
    c.show();
    QSignalSpy clicks(&c, &Chooser::clicked);
    QTest::mouseClick(&c, Qt::LeftButton);
    QAbstractItemView* view = c.view();
    ASSERT_TRUE(view->isVisible());
    EXPECT_EQ(clicks.count(), 0);
    view->setCurrentIndex(c.model()->index(1, 0));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(c.listIndex(), 1);
    EXPECT_EQ(clicks.count(), 1);

    // Closed again without a pick: no signal.
    QTest::mouseClick(&c, Qt::LeftButton);
    ASSERT_TRUE(view->isVisible());
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(c.listIndex(), 1);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ChooserTest, MouseWheelChangeSignalsOnce) {
    Chooser c;
    fill(c, {"one", "two", "three"});
    c.setListIndex(0);
    c.show();
    QSignalSpy clicks(&c, &Chooser::clicked);
    const QPointF at(c.width() / 2.0, c.height() / 2.0);
    QWheelEvent down(at, c.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(&c, &down);
    EXPECT_EQ(c.listIndex(), 1);
    EXPECT_EQ(clicks.count(), 1);
}
