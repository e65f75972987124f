#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace velmora::screens {

// Activation in the program's sense: a screen becomes the program's active screen when it is
// shown, or when the user comes to it from another of the program's windows (the main menu,
// another screen). Its own message boxes, file dialogs and print previews, its pop-up lists,
// and another program the user visited are no such windows: coming back from them does not
// activate the screen again, so that what a question decided, and where the focus went after
// it, stands.
//
// Watches one screen and calls onActivate (the screen's Form_Activate) each time it becomes
// the program's active screen, synchronously while the window system reports the activation.
class ScreenActivation : public QObject {
    Q_OBJECT

  public:
    ScreenActivation(QWidget* screen, std::function<void()> onActivate);
    ~ScreenActivation() override;

    // The program window that last became active: a screen or the main menu; null before
    // any did.
    static QWidget* activeProgramWindow();
    // Whether a window counts as one of the program's windows: a top-level window that is
    // neither a dialog nor a pop-up, tool window or tool tip.
    static bool isProgramWindow(const QWidget* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPointer<QWidget> screen_;
    std::function<void()> onActivate_;
};

}  // namespace velmora::screens
