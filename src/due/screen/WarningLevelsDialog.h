#pragma once

#include "due/WarningLevel.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace velmora::due {

// The company's warning thresholds, one line per life basis: due soon within an amount (or,
// when it is blank, a share of the service life) or a number of days before the due date.
// Saved into the company settings file; refused with a message when a figure is not a
// number of zero or more, or the file cannot take them.
class WarningLevelsDialog : public QDialog {
    Q_OBJECT
  public:
    WarningLevelsDialog(const QString& companyFile, QWidget* parent = nullptr);

    void show(const WarningSettings& settings);
    // The thresholds as typed; false (with a message) when one cannot be read.
    bool read(WarningSettings* out);
    void cmdSave_Click();
    void cmdDefaults_Click();

    QTableWidget* grdLevels = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdDefaults = nullptr;

    enum Column { Type, Amount, Percent, Days };

  private:
    QString companyFile_;
};

}  // namespace velmora::due
