#include "screens/common/FieldEvents.h"
#include "screens/common/ScreenConventions.h"
#include "screens/common/ScriptedDialogs.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace velmora::screens;

TEST(FieldEvents, OnlyTheUserLeavesAFieldAndBothEnterKeysCount) {
    QFocusEvent in(QEvent::FocusIn);
    EXPECT_EQ(fieldEventOf(&in), FieldEvent::GotFocus);
    QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
    QFocusEvent click(QEvent::FocusOut, Qt::MouseFocusReason);
    QFocusEvent dialog(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    EXPECT_EQ(fieldEventOf(&tab), FieldEvent::LeftByUser);
    EXPECT_EQ(fieldEventOf(&click), FieldEvent::LeftByUser);
    EXPECT_EQ(fieldEventOf(&dialog), FieldEvent::None);
    EXPECT_EQ(fieldEventOf(&popup), FieldEvent::None);
    QKeyEvent ret(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent keypad(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
    QKeyEvent shifted(QEvent::KeyPress, Qt::Key_Return, Qt::ShiftModifier);
    QKeyEvent digit(QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(fieldEventOf(&ret), FieldEvent::Enter);
    EXPECT_EQ(fieldEventOf(&keypad), FieldEvent::Enter);
    EXPECT_EQ(fieldEventOf(&shifted), FieldEvent::None);
    EXPECT_EQ(fieldEventOf(&digit), FieldEvent::None);
}

TEST(ClosingQuestion, AsksOnlyWithUnsavedChangesAndMapsEachAnswer) {
    ScopedDialogs dialogs;
    QWidget screen;
    EXPECT_EQ(askToSaveOnClose(&screen, false), CloseDecision::Close);
    EXPECT_TRUE(dialogs->messages.empty());

    dialogs->answer(MsgAnswer::Yes);
    dialogs->answer(MsgAnswer::No);
    dialogs->answer(MsgAnswer::Cancel);
    EXPECT_EQ(askToSaveOnClose(&screen, true), CloseDecision::SaveThenClose);
    EXPECT_EQ(askToSaveOnClose(&screen, true), CloseDecision::Close);
    EXPECT_EQ(askToSaveOnClose(&screen, true), CloseDecision::Stay);
    ASSERT_EQ(dialogs->messages.size(), 3u);
    const MessageRequest expected{"Data has changed. Save data?", "Data not saved",
                                  MsgButtons::YesNoCancel, MsgIcon::Information, MsgAnswer::No};
    EXPECT_EQ(dialogs->messages[0], expected);
}

TEST(DataErrorMessage, IsTheEngineTextAfterTheFixedWordsWithTheProgramTitle) {
    ScopedDialogs dialogs;
    QApplication::setApplicationDisplayName("Velmora");
    showDataError(nullptr, "Could not find the database file /x/Timemgr.mdb.");
    ASSERT_EQ(dialogs->messages.size(), 1u);
    const MessageRequest expected{
        "Data error event hit err:Could not find the database file "
        "/x/Timemgr.mdb.",
        "Velmora", MsgButtons::Ok, MsgIcon::None, MsgAnswer::Ok};
    EXPECT_EQ(dialogs->messages[0], expected);
}

TEST(ButtonStates, EditedAndCleanAreOpposites) {
    QPushButton save, add, close;
    setEditedButtons(true, {&save}, {&add, &close});
    EXPECT_TRUE(save.isEnabled());
    EXPECT_FALSE(add.isEnabled());
    EXPECT_FALSE(close.isEnabled());
    setEditedButtons(false, {&save}, {&add, &close});
    EXPECT_FALSE(save.isEnabled());
    EXPECT_TRUE(add.isEnabled());
    EXPECT_TRUE(close.isEnabled());
}

TEST(GridLayoutA, GridTakesTheWidthAndWhatHeightIsLeft) {
    QWidget window;
    window.resize(600, 400);
    QWidget grid(&window), nav(&window), buttons(&window);
    grid.setGeometry(0, 100, 50, 50);
    nav.resize(600, 25);
    buttons.resize(600, 30);
    EXPECT_TRUE(applyGridLayoutA(&window, &grid, &nav, &buttons));
    EXPECT_EQ(grid.geometry(), QRect(0, 100, 600, 400 - 100 - 25 - 30 - 2));

    // A window too small keeps the grid's height.
    window.resize(300, 120);
    EXPECT_FALSE(applyGridLayoutA(&window, &grid, &nav, &buttons));
    EXPECT_EQ(grid.height(), 243);
    EXPECT_EQ(grid.width(), 300);
}
