#include "Chooser.h"

#include <QAbstractItemModel>
#include <QSignalBlocker>

namespace velmora::screens {

Chooser::Chooser(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::currentIndexChanged, this, &Chooser::onIndexChanged);
    connect(this, &QComboBox::activated, this, &Chooser::onActivated);
    QAbstractItemModel* m = model();
    auto stale = [this] { indexStale_ = true; };
    connect(m, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int) {
        if (!filling_ || first != count() - 1)
            indexStale_ = true;
    });
    connect(m, &QAbstractItemModel::rowsRemoved, this, stale);
    connect(m, &QAbstractItemModel::rowsMoved, this, stale);
    connect(m, &QAbstractItemModel::dataChanged, this, stale);
    connect(m, &QAbstractItemModel::modelReset, this, stale);
    connect(m, &QAbstractItemModel::layoutChanged, this, stale);
}

void Chooser::clearList() {
    filling_ = true;
    clear();
    filling_ = false;
    index_.clear();
    indexStale_ = false;
    changeSignalled_ = false;
}

void Chooser::addEntry(const QString& text) {
    const int before = currentIndex();
    filling_ = true;
    addItem(text);
    // A list that was empty selects its first entry by itself: undo that.
    if (before == -1 && currentIndex() != -1)
        setCurrentIndex(-1);
    filling_ = false;
    if (!indexStale_) {
        const QString key = text.toCaseFolded();
        if (!index_.contains(key))  // an earlier equal entry stays the one found
            index_.insert(key, count() - 1);
    }
}

bool Chooser::setListIndex(int index) {
    if (index < -1 || index >= count())
        return false;
    setCurrentIndex(index);
    changeSignalled_ = false;
    return true;
}

void Chooser::setListIndexQuietly(int index) {
    if (index < -1 || index >= count())
        return;
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
    changeSignalled_ = false;
}

int Chooser::findExact(const QString& text) const {
    if (indexStale_)
        rebuildIndex();
    return index_.value(text.toCaseFolded(), -1);
}

void Chooser::rebuildIndex() const {
    index_.clear();
    index_.reserve(count());
    for (int i = count() - 1; i >= 0; --i)
        index_.insert(itemText(i).toCaseFolded(), i);  // from the bottom: the first one wins
    indexStale_ = false;
}

void Chooser::onIndexChanged(int) {
    if (filling_)
        return;
    changeSignalled_ = true;
    emit clicked();
}

void Chooser::onActivated(int index) {
    // A pick that changed the selection was signalled already by the change itself.
    if (changeSignalled_ && index == currentIndex()) {
        changeSignalled_ = false;
        return;
    }
    changeSignalled_ = false;
    emit clicked();
}

void Chooser::showPopup() {
    changeSignalled_ = false;
    QComboBox::showPopup();
}

void Chooser::keyPressEvent(QKeyEvent* event) {
    changeSignalled_ = false;
    QComboBox::keyPressEvent(event);
}

void Chooser::wheelEvent(QWheelEvent* event) {
    changeSignalled_ = false;
    QComboBox::wheelEvent(event);
}

}  // namespace velmora::screens
