#include "AccomplishmentDialog.h"

#include "screens/common/Dialogs.h"
#include "tasks/TaskText.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::tasks {

namespace {

struct TotalField {
    const char* caption;
    const char* name;
};
const std::array<TotalField, 5> kTotals = {{{"Meter &1 hours", "txtTime"},
                                            {"Meter &2 hours", "txtTime2"},
                                            {"&Landings", "txtLandings"},
                                            {"C&ycles", "txtCycles"},
                                            {"&RIN", "txtRin"}}};

std::optional<double>* totalSlot(Totals& t, size_t i) {
    std::array<std::optional<double>*, 5> fields = {&t.time, &t.time2, &t.landings, &t.cycles,
                                                    &t.rin};
    return fields[i];
}

// A total as it is typed: in the locale's digits, without group separators.
QString numberText(std::optional<double> v) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return v ? locale.toString(*v, 'f', QLocale::FloatingPointShortest) : QString();
}

}  // namespace

AccomplishmentDialog::AccomplishmentDialog(const StatusLine& line, const FleetAircraft& aircraft,
                                           const QDate& today, Saver saver, QWidget* parent)
    : QDialog(parent), regNum_(aircraft.regNum), saver_(std::move(saver)) {
    setObjectName(QStringLiteral("dlgAccomplishment"));
    setWindowTitle(QStringLiteral("Record Accomplishment"));
    auto* layout = new QVBoxLayout(this);
    lblTask = new QLabel(QStringLiteral("%1 %2 on %3 (%4)")
                             .arg(line.task.label(), line.task.title.trimmed(), aircraft.regNum,
                                  targetText(line.compliance)),
                         this);
    lblTask->setWordWrap(true);
    layout->addWidget(lblTask);
    auto* form = new QFormLayout;
    dtpDate = new QDateEdit(today, this);
    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    dtpDate->setCalendarPopup(true);
    dtpDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    form->addRow(QStringLiteral("&Date"), dtpDate);
    Totals now = aircraft.totals;
    for (size_t i = 0; i < kTotals.size(); ++i) {
        txtTotal[i] = new QLineEdit(numberText(*totalSlot(now, i)), this);
        txtTotal[i]->setObjectName(QString::fromLatin1(kTotals[i].name));
        form->addRow(QString::fromLatin1(kTotals[i].caption), txtTotal[i]);
    }
    txtWorkOrder = new QLineEdit(this);
    txtWorkOrder->setObjectName(QStringLiteral("txtWorkOrder"));
    form->addRow(QStringLiteral("&Work order / release"), txtWorkOrder);
    txtSignedBy = new QLineEdit(this);
    txtSignedBy->setObjectName(QStringLiteral("txtSignedBy"));
    form->addRow(QStringLiteral("&Signed by"), txtSignedBy);
    txtCertificate = new QLineEdit(this);
    txtCertificate->setObjectName(QStringLiteral("txtCertificate"));
    form->addRow(QStringLiteral("Certificate &number"), txtCertificate);
    chkTerminating =
        new QCheckBox(QStringLiteral("&Terminating action (nothing more is due)"), this);
    chkTerminating->setObjectName(QStringLiteral("chkTerminating"));
    form->addRow(QString(), chkTerminating);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &AccomplishmentDialog::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

Accomplishment AccomplishmentDialog::entered(QStringList* problems) const {
    Accomplishment a;
    a.regNum = regNum_;
    a.date = dtpDate->date();
    for (size_t i = 0; i < kTotals.size(); ++i) {
        const QString text = txtTotal[i]->text().trimmed();
        if (text.isEmpty())
            continue;
        bool ok = false;
        double v = QLocale().toDouble(text, &ok);
        if (!ok)
            v = text.toDouble(&ok);
        if (ok)
            *totalSlot(a.totals, i) = v;
        else
            *problems << QStringLiteral("%1: \"%2\" is not a number.")
                             .arg(QString::fromLatin1(kTotals[i].caption).remove(u'&'), text);
    }
    a.workOrder = txtWorkOrder->text().trimmed();
    a.signedBy = txtSignedBy->text().trimmed();
    a.certificate = txtCertificate->text().trimmed();
    a.terminating = chkTerminating->isChecked();
    return a;
}

void AccomplishmentDialog::cmdOK_Click() {
    QStringList problems;
    const Accomplishment a = entered(&problems);
    QString refused = problems.join(u' ');
    if (refused.isEmpty())
        refused = saver_(a);
    if (refused.isEmpty()) {
        accept();
        return;
    }
    screens::msgBox(this, refused, screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                    windowTitle());
    screens::reactivateWindow(this);
}

}  // namespace velmora::tasks
