#pragma once

#include <QObject>
#include <QString>

namespace velmora::screens {

// A word passed through the whole program that data changed behind the open screens' backs
// (an entry undone on the Journal screen): a screen that shows rows of that file and has
// no changes of its own reads them again, so that it never shows, or saves over, what is
// no longer there.
class DataChangeNotice final : public QObject {
    Q_OBJECT
  public:
    static DataChangeNotice& instance();

    // Tells every screen that follows the notice that a data file (or server data set)
    // changed.
    static void announce(const QString& dataFile);

    // Whether two names of data files name the same file (letter case and the way to it
    // aside).
    static bool sameFile(const QString& a, const QString& b);

  signals:
    void dataChanged(const QString& dataFile);

  private:
    DataChangeNotice() = default;
};

}  // namespace velmora::screens
