#pragma once

#include "screens/common/ScriptedDialogs.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace velmora::screenshots {

// The dialogs service of the tour. Message boxes are answered at once with their default
// button, except the next one after capture(): that one is shown for real, pictured over
// the window it belongs to, and then answered with Yes (or OK).
class BoxCapture : public screens::ScriptedDialogs {
  public:
    using Picture = std::function<void(const QPixmap&)>;

    // The next message box is shown; its picture over `window` goes to `picture`.
    void capture(QWidget* window, Picture picture);
    bool captured() const { return captured_; }

    screens::MsgAnswer message(QWidget* parent, const screens::MessageRequest& request) override;

  private:
    void pictureOpenBox();

    QPointer<QWidget> window_;
    Picture picture_;
    bool captured_ = false;
};

}  // namespace velmora::screenshots
