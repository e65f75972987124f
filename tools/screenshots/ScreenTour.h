#pragma once

#include "data/Failure.h"

#include <QString>
#include <QStringList>

class QPixmap;
class QWidget;

namespace velmora::aircraft {
class frmAircraft;
}

namespace velmora::screenshots {

// Opens the main screens on a data folder one after the other, as an operator goes through
// them (main menu, company set-up, aircraft set-up and a new aircraft from a template, time
// remaining with a meter entry, the report preview, oil analysis), and saves a PNG picture
// of each into a folder. The data folder is changed as the operator's steps change it: give
// it a copy.
class ScreenTour {
  public:
    ScreenTour(const QString& dataFolder, const QString& pictureFolder);

    // A failure with a message when a screen cannot be opened or a picture cannot be saved.
    [[nodiscard]] data::MaybeFailure run();
    // The pictures written, full paths, in the order taken.
    const QStringList& pictures() const { return pictures_; }

  private:
    void takeComponentToStores(aircraft::frmAircraft& screen);
    void save(QWidget* window, const QString& name);
    void save(const QPixmap& picture, const QString& name);

    QString dataFolder_;
    QString pictureFolder_;
    QStringList pictures_;
    QString failure_;
};

}  // namespace velmora::screenshots
