#include "BoxCapture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>

namespace velmora::screenshots {

void BoxCapture::capture(QWidget* window, Picture picture) {
    window_ = window;
    picture_ = std::move(picture);
    captured_ = false;
}

screens::MsgAnswer BoxCapture::message(QWidget* parent, const screens::MessageRequest& request) {
    if (!picture_)
        return ScriptedDialogs::message(parent, request);
    messages.push_back(request);
    // The box runs its own event loop; the picture is taken from inside it, once the box
    // has been laid out and painted.
    QTimer::singleShot(400, [this] { pictureOpenBox(); });
    return Dialogs::message(parent, request);
}

void BoxCapture::pictureOpenBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return;
    if (window_) {
        QPixmap shot = window_->grab();
        const QPixmap boxShot = box->grab();
        QPoint at = box->mapToGlobal(QPoint()) - window_->mapToGlobal(QPoint());
        // Without a window manager the box may sit anywhere: keep it inside the picture.
        at.setX(std::clamp(at.x(), 8, std::max(8, shot.width() - boxShot.width() - 8)));
        at.setY(std::clamp(at.y(), 8, std::max(8, shot.height() - boxShot.height() - 8)));
        // Without a window manager the box has no title bar: one is drawn, with its title.
        const int titleHeight = box->fontMetrics().height() + 8;
        at.setY(std::max(at.y(), titleHeight + 8));
        const QRect title(at.x(), at.y() - titleHeight, boxShot.width(), titleHeight);
        const QRect whole = title.united(QRect(at, boxShot.size()));
        QPainter painter(&shot);
        painter.fillRect(whole.translated(5, 5), QColor(0, 0, 0, 70));
        painter.fillRect(title, QColor(60, 74, 90));
        painter.setPen(Qt::white);
        QFont bold = box->font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.drawText(title.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         box->windowTitle());
        painter.drawPixmap(at, boxShot);
        painter.setPen(QColor(40, 48, 58));
        painter.drawRect(whole.adjusted(-1, -1, 0, 0));
        painter.end();
        picture_(shot);
        captured_ = true;
    }
    picture_ = nullptr;
    QAbstractButton* answer = box->button(QMessageBox::Yes);
    if (!answer)
        answer = box->button(QMessageBox::Ok);
    if (answer)
        answer->click();
    else
        box->reject();
}

}  // namespace velmora::screenshots
