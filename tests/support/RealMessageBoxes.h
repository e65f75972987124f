#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <memory>
#include <vector>

namespace velmora::testing {

// The message boxes a test answered with keys, as the user saw them.
struct AnsweredBoxes {
    struct Box {
        QString title, text;
    };
    std::vector<Box> boxes;
    int pending = 0;  // keys not used yet
};

// Answers the next real message boxes (the program's own QMessageBox, modal, as the user
// sees it) by pressing a key on each once it is open: Qt::Key_Return presses the default
// button, Qt::Key_Escape cancels, 'Y' and 'N' press Yes and No. A box that does not come
// within a few seconds is given up on (the test's expectations then fail).
inline std::shared_ptr<AnsweredBoxes> answerBoxesWithKeys(std::vector<int> keys) {
    auto answered = std::make_shared<AnsweredBoxes>();
    answered->pending = static_cast<int>(keys.size());
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    auto remaining = std::make_shared<std::vector<int>>(std::move(keys));
    auto waited = std::make_shared<int>(0);
    auto lastBox = std::make_shared<QPointer<QMessageBox>>();
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == lastBox->data() || !box->isVisible()) {
            if (++*waited > 1000) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        *waited = 0;
        *lastBox = box;
        answered->boxes.push_back({box->windowTitle(), box->text()});
        const int key = remaining->front();
        remaining->erase(remaining->begin());
        --answered->pending;
        if (key == 'Y' || key == 'N') {
            if (QAbstractButton* b = box->button(key == 'Y' ? QMessageBox::Yes : QMessageBox::No))
                QTest::mouseClick(b, Qt::LeftButton);
        } else {
            QTest::keyClick(box, static_cast<Qt::Key>(key));
        }
        if (remaining->empty()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
    return answered;
}

}  // namespace velmora::testing
