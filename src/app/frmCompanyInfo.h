#pragma once

#include "screens/common/BoundRecordSource.h"
#include "screens/common/ControlArray.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace velmora::app {

class frmMenuVelmora;

// Company set-up: the company name and telephone, the data folder every screen takes its
// files from, and the main menu's background picture. The row is written when the screen
// closes.
class frmCompanyInfo : public QWidget {
    Q_OBJECT
  public:
    // The boxes of txtFields by their index; index 2 is not used.
    enum class Field { Name = 0, Phone = 1, PathData = 3, PathLogo = 4 };

    explicit frmCompanyInfo(frmMenuVelmora& menu, QWidget* parent = nullptr);

    void Form_Load();
    void txtFields_Click(int index);
    void cmdClose_Click();
    screens::BoundRecordSource::ErrorResponse datPrimaryRS_Error(int number);
    screens::BoundRecordSource::Validation datPrimaryRS_Validate(
        screens::BoundRecordSource::Action action, bool save);
    void datPrimaryRS_Reposition();
    void Form_Unload();
    // Lists the backups of the data files and restores the one chosen (other screens must be
    // closed first: they hold rows of the files).
    void cmdRestore_Click();
    // Names a database server as the data path (host, port, database, user, SSL mode).
    void cmdServer_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    screens::ControlArray<QLineEdit> txtFields;  // by Field
    QLineEdit* field(Field f) const { return txtFields[static_cast<int>(f)]; }
    screens::ControlArray<QLabel> lblLabels;
    screens::BoundRecordSource* datPrimaryRS = nullptr;
    QWidget* picButtons = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdServer = nullptr;  // beside "Path to Data:", above it
    // How many daily backups are kept; stored when the screen closes.
    QLabel* lblDailyBackups = nullptr;
    QSpinBox* spnDailyBackups = nullptr;
    QLabel* lblAverageDays = nullptr;
    QSpinBox* spnAverageDays = nullptr;  // days the daily use is averaged over

    QString settingsFile() const;
    bool saveDailyBackups();
    bool saveAverageDays();

    frmMenuVelmora& menu_;
    bool recovering_ = false;
    bool closing_ = false;
    int loadedDailyBackups_ = 0;
    int loadedAverageDays_ = 0;
};

}  // namespace velmora::app
