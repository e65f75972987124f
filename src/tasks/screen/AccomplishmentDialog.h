#pragma once

#include "tasks/ComplianceStatus.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace velmora::tasks {

// Record Accomplishment: the date, the aircraft's totals at that time (the totals now to
// begin with; a total left empty is not known), the work order or release, who signed it
// and their certificate number, and whether it was a terminating action. OK keeps it
// through the saver given; a refusal is said in a message box and the dialog stays open.
class AccomplishmentDialog : public QDialog {
    Q_OBJECT
  public:
    // Keeps the accomplishment; the reason it was refused, empty when it was kept.
    using Saver = std::function<QString(const Accomplishment&)>;

    AccomplishmentDialog(const StatusLine& line, const FleetAircraft& aircraft, const QDate& today,
                         Saver saver, QWidget* parent = nullptr);

    // The accomplishment as entered; the problems with what was typed (a total that is not
    // a number), one sentence each.
    Accomplishment entered(QStringList* problems) const;
    void cmdOK_Click();

    QLabel* lblTask = nullptr;
    QDateEdit* dtpDate = nullptr;
    std::array<QLineEdit*, 5> txtTotal{};  // meter 1 hours, meter 2 hours, landings, cycles, RIN
    QLineEdit* txtWorkOrder = nullptr;
    QLineEdit* txtSignedBy = nullptr;
    QLineEdit* txtCertificate = nullptr;
    QCheckBox* chkTerminating = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

  private:
    QString regNum_;
    Saver saver_;
};

}  // namespace velmora::tasks
