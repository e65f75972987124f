#pragma once

#include <QComboBox>
#include <QHash>
#include <QString>

namespace velmora::screens {

// A drop-down list the screens fill themselves; the text cannot be edited. A new list
// has nothing selected (entry -1), also after entries are added.
//
// clicked() is emitted once for every change of the selection, made by the program or by
// the user, and also when the user picks the entry that is selected already. Filling or
// clearing the list emits nothing.
class Chooser : public QComboBox {
    Q_OBJECT

  public:
    explicit Chooser(QWidget* parent = nullptr);

    void clearList();
    void addEntry(const QString& text);
    int entryCount() const { return count(); }

    // The selected entry, -1 when none.
    int listIndex() const { return currentIndex(); }
    // Selects an entry; -1 selects none. An index outside the list changes nothing and
    // gives false.
    bool setListIndex(int index);
    // Selects an entry without running the click handler: to show again the entry of the
    // row that stayed current when a move to another was refused.
    void setListIndexQuietly(int index);
    // The text shown: the selected entry's, empty when none is selected.
    QString text() const { return currentText(); }

    // The first entry from the top whose whole text equals this one, letter case ignored;
    // -1 when none does.
    int findExact(const QString& text) const;

    void showPopup() override;

  signals:
    void clicked();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void onIndexChanged(int index);
    void onActivated(int index);
    void rebuildIndex() const;

    bool filling_ = false;
    bool changeSignalled_ = false;  // clicked() went out for a change that activated() follows
    // Case-folded entry text to its first row, kept up to date as entries are appended and
    // rebuilt on the next search after any other change of the list.
    mutable QHash<QString, int> index_;
    mutable bool indexStale_ = false;
};

}  // namespace velmora::screens
