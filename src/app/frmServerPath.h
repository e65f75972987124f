#pragma once

#include "ServerAddress.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace velmora::app {

// Names a database server as the data path, from Company Set-up: host, port, database, user
// and SSL mode, with "Test connection". The password is never asked here for keeps: it comes
// from ~/.pgpass or PGPASSWORD, or is asked once for the session (see ServerCheck.h).
class frmServerPath : public QDialog {
    Q_OBJECT
  public:
    // Shows the server of the data path given, when it names one.
    explicit frmServerPath(const QString& dataPath, QWidget* parent = nullptr);

    ServerAddress address() const;
    // The data path the form gives: the server's connection URI.
    QString dataPath() const { return address().toUri(); }

    // Tries the server: asks the password when it is needed, opens both data sets and says
    // what it found.
    void cmdTest_Click();
    // Takes the server as the data path, after checking that one is named fully and that
    // the URI fits the data path's box.
    void cmdOK_Click();

    // The longest data path the company settings keep.
    static constexpr int kLongestPath = 100;

  private:
    QLineEdit* txtHost = nullptr;
    QSpinBox* spnPort = nullptr;
    QLineEdit* txtDatabase = nullptr;
    QLineEdit* txtUser = nullptr;
    QComboBox* cboSslMode = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* lblPassword = nullptr;
};

}  // namespace velmora::app
