#include "screens/common/Dialogs.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

using namespace velmora::screens;

// --- filters -------------------------------------------------------------------------------

TEST(DialogsFilterTest, PipeFormBecomesQtForm) {
    EXPECT_EQ(toQtFilter("Databases|*.mdb|All|*.*"), "Databases (*.mdb);;All (*.*)");
    EXPECT_EQ(toQtFilter("Pictures|*.bmp;*.jpg|All|*.*"), "Pictures (*.bmp *.jpg);;All (*.*)");
    EXPECT_EQ(toQtFilter("Pictures|*.bmp; *.jpg;"), "Pictures (*.bmp *.jpg)");
}

TEST(DialogsFilterTest, UnusualFilters) {
    EXPECT_EQ(toQtFilter(""), QString());
    EXPECT_EQ(toQtFilter("Everything"), "Everything (*)");
    EXPECT_EQ(toQtFilter("Databases|"), "Databases (*)");
    EXPECT_EQ(toQtFilter("|*.mdb"), "(*.mdb)");
    // A description that names its patterns already is kept as it stands.
    EXPECT_EQ(toQtFilter("Databases (*.mdb)|*.mdb"), "Databases (*.mdb)");
}

// --- default buttons -----------------------------------------------------------------------

TEST(DialogsDefaultTest, DefaultMustBeOneOfTheButtons) {
    MessageRequest r{"t", "c", MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No};
    EXPECT_EQ(effectiveDefault(r), MsgAnswer::No);
    r.defaultButton = MsgAnswer::Ok;
    EXPECT_EQ(effectiveDefault(r), MsgAnswer::Yes);
    r.buttons = MsgButtons::YesNoCancel;
    r.defaultButton = MsgAnswer::Cancel;
    EXPECT_EQ(effectiveDefault(r), MsgAnswer::Cancel);
    r.buttons = MsgButtons::Ok;
    EXPECT_EQ(effectiveDefault(r), MsgAnswer::Ok);
}

// --- scripted service ----------------------------------------------------------------------

TEST(ScriptedDialogsTest, RecordsExactRequestsAndGivesQueuedAnswers) {
    ScopedDialogs dialogs;
    QApplication::setApplicationDisplayName("Velmora");
    QWidget screen;
    dialogs->answer(MsgAnswer::No);
    dialogs->answer(MsgAnswer::Cancel);

    EXPECT_EQ(msgBox(&screen, "Delete aircraft N123AB?", MsgButtons::YesNo, MsgIcon::Question, {},
                     MsgAnswer::No),
              MsgAnswer::No);
    EXPECT_EQ(
        msgBox(&screen, "Save changes?", MsgButtons::YesNoCancel, MsgIcon::Exclamation, "Aircraft"),
        MsgAnswer::Cancel);

    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[0],
              (MessageRequest{"Delete aircraft N123AB?", "Velmora", MsgButtons::YesNo,
                              MsgIcon::Question, MsgAnswer::No}));
    EXPECT_EQ(dialogs->messages[1],
              (MessageRequest{"Save changes?", "Aircraft", MsgButtons::YesNoCancel,
                              MsgIcon::Exclamation, MsgAnswer::Yes}));
    EXPECT_EQ(dialogs->messageParents[0], &screen);
    EXPECT_EQ(dialogs->pendingAnswers(), 0);
}

TEST(ScriptedDialogsTest, WithoutScriptedAnswerTheDefaultButtonIsGiven) {
    ScopedDialogs dialogs;
    MessageRequest r{"Overwrite?", "Velmora", MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No};
    EXPECT_EQ(Dialogs::current().message(nullptr, r), MsgAnswer::No);
    EXPECT_EQ(msgBox(nullptr, "Done.", MsgButtons::Ok, MsgIcon::Information), MsgAnswer::Ok);
    ASSERT_EQ(dialogs->givenAnswers.size(), 2u);
    EXPECT_EQ(dialogs->givenAnswers[0], MsgAnswer::No);
    EXPECT_EQ(dialogs->givenAnswers[1], MsgAnswer::Ok);
    EXPECT_EQ(dialogs->messages.size(), 2u);
}

TEST(ScriptedDialogsTest, CallbackRunsWhileTheBoxIsOpen) {
    ScopedDialogs dialogs;
    QStringList seen;
    int shownBefore = -1;
    dialogs->onMessage = [&](const MessageRequest& r) {
        seen << r.text;
        shownBefore = static_cast<int>(dialogs->messages.size());
        dialogs->answer(MsgAnswer::Yes);  // decided while the box is open
    };
    EXPECT_EQ(msgBox(nullptr, "Continue?", MsgButtons::YesNo), MsgAnswer::Yes);
    EXPECT_EQ(seen, QStringList{"Continue?"});
    EXPECT_EQ(shownBefore, 1);  // recorded before the callback
}

TEST(ScriptedDialogsTest, FileRequestsAreRecordedAndAnswered) {
    ScopedDialogs dialogs;
    dialogs->fileResult(QString("/data/logo.bmp"));
    dialogs->fileResult(std::nullopt);
    const FileOpenRequest logo{"Pictures|*.bmp;*.jpg|All|*.*", "/data", "logo.bmp"};
    EXPECT_EQ(Dialogs::current().openFile(nullptr, logo), QString("/data/logo.bmp"));
    EXPECT_EQ(Dialogs::current().openFile(nullptr, {"Databases|*.mdb|All|*.*", "/data", ""}),
              std::nullopt);
    EXPECT_EQ(Dialogs::current().openFile(nullptr, {}), std::nullopt);  // nothing queued
    ASSERT_EQ(dialogs->fileRequests.size(), 3u);
    EXPECT_EQ(dialogs->fileRequests[0], logo);
    EXPECT_EQ(dialogs->fileRequests[1].filter, "Databases|*.mdb|All|*.*");
    EXPECT_EQ(toQtFilter(dialogs->fileRequests[0].filter), "Pictures (*.bmp *.jpg);;All (*.*)");
}

TEST(ScriptedDialogsTest, ScopesRestoreThePreviousService) {
    Dialogs* standard = &Dialogs::current();
    {
        ScopedDialogs outer;
        EXPECT_EQ(&Dialogs::current(), &outer.get());
        {
            ScopedDialogs inner;
            EXPECT_EQ(&Dialogs::current(), &inner.get());
            msgBox(nullptr, "inner");
        }
        EXPECT_EQ(&Dialogs::current(), &outer.get());
        EXPECT_TRUE(outer->messages.empty());
    }
    EXPECT_EQ(&Dialogs::current(), standard);
    Dialogs::install(nullptr);
    EXPECT_EQ(&Dialogs::current(), standard);
}

// --- the standard service, with the real message box ---------------------------------------

namespace {

// Runs check on the message box once it is open, then presses the button.
void onOpenBox(std::function<void(QMessageBox&)> check, QMessageBox::StandardButton press) {
    QTimer::singleShot(0, [check, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            ADD_FAILURE() << "no message box is open";
            return;
        }
        check(*box);
        box->button(press)->click();
    });
}

}  // namespace

TEST(StandardDialogsTest, MessageBoxShowsTheRequest) {
    QWidget screen;
    screen.show();
    onOpenBox(
        [](QMessageBox& box) {
            EXPECT_EQ(box.text(), "Delete <N1>?");
            EXPECT_EQ(box.textFormat(), Qt::PlainText);
            EXPECT_EQ(box.windowTitle(), "Aircraft");
            EXPECT_EQ(box.icon(), QMessageBox::Warning);
            EXPECT_EQ(box.standardButtons(),
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::No));
        },
        QMessageBox::No);
    const MsgAnswer a = Dialogs::current().message(
        &screen,
        {"Delete <N1>?", "Aircraft", MsgButtons::YesNoCancel, MsgIcon::Exclamation, MsgAnswer::No});
    EXPECT_EQ(a, MsgAnswer::No);
    // The screen's window is active again, ready for focus.
    EXPECT_EQ(QApplication::activeWindow(), &screen);
}

TEST(StandardDialogsTest, OkBoxAndIcons) {
    onOpenBox(
        [](QMessageBox& box) {
            EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
            EXPECT_EQ(box.icon(), QMessageBox::Critical);
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Ok));
        },
        QMessageBox::Ok);
    EXPECT_EQ(Dialogs::current().message(
                  nullptr, {"Bad", "T", MsgButtons::Ok, MsgIcon::Critical, MsgAnswer::Ok}),
              MsgAnswer::Ok);
    onOpenBox(
        [](QMessageBox& box) {
            EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
            EXPECT_EQ(box.icon(), QMessageBox::Information);
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Cancel));
        },
        QMessageBox::Cancel);
    EXPECT_EQ(Dialogs::current().message(nullptr, {"Go?", "T", MsgButtons::OkCancel,
                                                   MsgIcon::Information, MsgAnswer::Cancel}),
              MsgAnswer::Cancel);
    onOpenBox(
        [](QMessageBox& box) {
            EXPECT_EQ(box.icon(), QMessageBox::Question);
            // A default that is not on the box falls to its first button.
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Yes));
        },
        QMessageBox::Yes);
    EXPECT_EQ(Dialogs::current().message(
                  nullptr, {"Go?", "T", MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::Ok}),
              MsgAnswer::Yes);
    onOpenBox([](QMessageBox& box) { EXPECT_EQ(box.icon(), QMessageBox::NoIcon); },
              QMessageBox::Ok);
    Dialogs::current().message(nullptr,
                               {"Plain", "T", MsgButtons::Ok, MsgIcon::None, MsgAnswer::Ok});
}

TEST(StandardDialogsTest, ReactivateMakesTheWindowActive) {
    QWidget a, b;
    a.show();
    b.show();
    QApplication::setActiveWindow(&b);
    ASSERT_EQ(QApplication::activeWindow(), &b);
    QWidget* child = new QWidget(&a);
    reactivateWindow(child);
    EXPECT_EQ(QApplication::activeWindow(), &a);
    reactivateWindow(nullptr);  // nothing to do
}

// --- mouse pointer -------------------------------------------------------------------------

TEST(MousePointerTest, BusyIsNeverStacked) {
    ASSERT_FALSE(MousePointer::isBusy());
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    MousePointer::setBusy();
    MousePointer::setBusy();
    EXPECT_TRUE(MousePointer::isBusy());
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    MousePointer::setDefault();
    EXPECT_FALSE(MousePointer::isBusy());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    MousePointer::setDefault();  // already the arrow
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(MousePointerTest, BusyPointerGuardRestoresWhatWasShown) {
    {
        BusyPointer busy;
        EXPECT_TRUE(MousePointer::isBusy());
        {
            BusyPointer inner;
            EXPECT_TRUE(MousePointer::isBusy());
        }
        EXPECT_TRUE(MousePointer::isBusy());
    }
    EXPECT_FALSE(MousePointer::isBusy());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
