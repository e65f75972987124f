#include "frmServerPath.h"

#include "ServerCheck.h"
#include "screens/common/Dialogs.h"
#include "screens/common/MousePointer.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace velmora::app {

namespace {

const char kTitle[] = "Database Server";

}  // namespace

frmServerPath::frmServerPath(const QString& dataPath, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmServerPath"));
    setWindowTitle(QLatin1String(kTitle));
    txtHost = new QLineEdit(this);
    txtHost->setObjectName(QStringLiteral("txtHost"));
    txtHost->setToolTip(
        QStringLiteral("The server's name or address (or the folder of its "
                       "socket on this computer)"));
    spnPort = new QSpinBox(this);
    spnPort->setObjectName(QStringLiteral("spnPort"));
    spnPort->setRange(0, 65535);
    spnPort->setSpecialValueText(QStringLiteral("5432 (default)"));
    txtDatabase = new QLineEdit(this);
    txtDatabase->setObjectName(QStringLiteral("txtDatabase"));
    txtUser = new QLineEdit(this);
    txtUser->setObjectName(QStringLiteral("txtUser"));
    txtUser->setPlaceholderText(QStringLiteral("your login on this computer"));
    cboSslMode = new QComboBox(this);
    cboSslMode->setObjectName(QStringLiteral("cboSslMode"));
    cboSslMode->addItem(QStringLiteral("(default: prefer)"), QString());
    for (const QString& mode : sslModes())
        cboSslMode->addItem(mode, mode);
    lblPassword = new QLabel(
        QStringLiteral("The password comes from ~/.pgpass or PGPASSWORD; otherwise it is asked "
                       "once while Velmora runs, and never stored."),
        this);
    lblPassword->setObjectName(QStringLiteral("lblPassword"));
    lblPassword->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Host:"), txtHost);
    form->addRow(QStringLiteral("&Port:"), spnPort);
    form->addRow(QStringLiteral("&Database:"), txtDatabase);
    form->addRow(QStringLiteral("&User:"), txtUser);
    form->addRow(QStringLiteral("&SSL mode:"), cboSslMode);

    auto* buttons = new QDialogButtonBox(this);
    cmdTest = buttons->addButton(QStringLiteral("&Test connection"), QDialogButtonBox::ActionRole);
    cmdTest->setObjectName(QStringLiteral("cmdTest"));
    cmdOK = buttons->addButton(QDialogButtonBox::Ok);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = buttons->addButton(QDialogButtonBox::Cancel);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdTest, &QPushButton::clicked, this, &frmServerPath::cmdTest_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmServerPath::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblPassword);
    layout->addWidget(buttons);
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('n')) * 60);

    if (const auto a = ServerAddress::fromUri(dataPath)) {
        txtHost->setText(a->host);
        spnPort->setValue(a->port);
        txtDatabase->setText(a->database);
        txtUser->setText(a->user);
        cboSslMode->setCurrentIndex(std::max(0, cboSslMode->findData(a->sslMode)));
    }
}

ServerAddress frmServerPath::address() const {
    ServerAddress a;
    a.host = txtHost->text().trimmed();
    a.port = spnPort->value();
    a.database = txtDatabase->text().trimmed();
    a.user = txtUser->text().trimmed();
    a.sslMode = cboSslMode->currentData().toString();
    return a;
}

void frmServerPath::cmdTest_Click() {
    const ServerAddress a = address();
    if (const QString missing = a.missing(); !missing.isEmpty()) {
        screens::msgBox(this, QStringLiteral("Name %1 first.").arg(missing),
                        screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                        QLatin1String(kTitle));
        return;
    }
    if (!askServerPasswordIfNeeded(this, a.toUri()))
        return;
    ServerCheck check;
    {
        screens::BusyPointer busy;
        check = checkServerDataPath(a.toUri());
    }
    screens::msgBox(this, check.text, screens::MsgButtons::Ok,
                    check.ok ? screens::MsgIcon::Information : screens::MsgIcon::Exclamation,
                    QLatin1String(kTitle));
}

void frmServerPath::cmdOK_Click() {
    const ServerAddress a = address();
    QString refusal;
    if (const QString missing = a.missing(); !missing.isEmpty())
        refusal = QStringLiteral("Name %1 first.").arg(missing);
    else if (a.toUri().size() > kLongestPath)
        refusal = QStringLiteral(
                      "The server's address (%1) is longer than the %2 characters "
                      "the data path keeps. Use a shorter name for the server or "
                      "the database.")
                      .arg(a.toUri())
                      .arg(kLongestPath);
    if (!refusal.isEmpty()) {
        screens::msgBox(this, refusal, screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                        QLatin1String(kTitle));
        return;
    }
    accept();
}

}  // namespace velmora::app
