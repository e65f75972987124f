#pragma once

#include <QDialog>
#include <QStringList>

class QPushButton;
class QTableWidget;

namespace velmora::due {

// The planned daily use of each aircraft (flight hours on each meter, landings, cycles and
// RIN), from which the due list projects its dates. A blank figure is unknown. Saved into
// the main data file in one transaction.
class PlannedUseDialog : public QDialog {
    Q_OBJECT
  public:
    PlannedUseDialog(const QString& dataPath, const QStringList& regNums,
                     QWidget* parent = nullptr);

    void cmdSave_Click();

    QTableWidget* grdPlannedUse = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    QString mainFile_;
};

}  // namespace velmora::due
