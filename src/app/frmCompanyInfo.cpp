#include "frmCompanyInfo.h"

#include "CompanyPaths.h"
#include "RestoreFromBackup.h"
#include "backup/BackupSettings.h"
#include "data/Database.h"
#include "data/pg/PgDatabase.h"
#include "frmMenuVelmora.h"
#include "frmServerPath.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Dialogs.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScreenConventions.h"
#include "screens/common/Twips.h"
#include "screens/common/WindowFit.h"
#include "utilisation/UtilisationSettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>

namespace velmora::app {

namespace {

using Field = frmCompanyInfo::Field;

struct Box {
    Field field;
    const char* column;
    const char* label;
    int left, top, width;  // twips
    int limit;
};

const Box kBoxes[] = {
    {Field::Name, "Name", "Company Name:", 1995, 60, 3375, 50},
    {Field::Phone, "Phone", "Phone:", 1995, 380, 2355, 16},
    {Field::PathData, "PathData", "Path to Data:", 1995, 1395, 3375, 100},
    {Field::PathLogo, "PathLogo", "Back Drop Picture:", 1995, 1710, 3375, 100},
};

}  // namespace

frmCompanyInfo::frmCompanyInfo(frmMenuVelmora& menu, QWidget* parent)
    : QWidget(parent), menu_(menu) {
    setObjectName(QStringLiteral("frmCompanyInfo"));
    setWindowTitle(QStringLiteral("Company Information and Setup"));
    // Positions are kept in twips, scaled so that a box holds a line of the user's font.
    const double scale = screens::layoutScale(this, 285);
    auto tw = [scale](int t) { return screens::twips(t, scale); };

    for (const Box& b : kBoxes) {
        auto* label = new QLabel(QString::fromLatin1(b.label), this);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(static_cast<int>(b.field)));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(tw(60), tw(b.top), tw(b.left - 120), tw(285));
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtFields_%1").arg(static_cast<int>(b.field)));
        box->setMaxLength(b.limit);
        box->setGeometry(tw(b.left), tw(b.top), tw(b.width), tw(285));
        label->setBuddy(box);
        txtFields.add(static_cast<int>(b.field), box);
        lblLabels.add(static_cast<int>(b.field), label);
    }
    for (const Field f : {Field::PathData, Field::PathLogo}) {
        QLineEdit* box = field(f);
        box->installEventFilter(this);
        box->setToolTip(f == Field::PathData
                            ? QStringLiteral("Click (or press F4) to choose the data folder by "
                                             "choosing a database file in it")
                            : QStringLiteral("Click (or press F4) to choose the picture shown "
                                             "behind the main menu"));
    }

    // Above the data path: a database server named instead of a folder.
    cmdServer = new QPushButton(QStringLiteral("Database &Server\u2026"), this);
    cmdServer->setObjectName(QStringLiteral("cmdServer"));
    cmdServer->setToolTip(
        QStringLiteral("Name a database server shared by several "
                       "workstations as the data path"));
    cmdServer->setGeometry(tw(1995), tw(1020), std::max(tw(1900), cmdServer->sizeHint().width()),
                           std::min(tw(360), std::max(tw(285), cmdServer->sizeHint().height())));
    connect(cmdServer, &QPushButton::clicked, this, &frmCompanyInfo::cmdServer_Click);

    // Below the boxes: how many daily backups are kept.
    lblDailyBackups = new QLabel(QStringLiteral("Daily backups kept:"), this);
    lblDailyBackups->setObjectName(QStringLiteral("lblDailyBackups"));
    lblDailyBackups->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblDailyBackups->setGeometry(tw(60), tw(2070), tw(1875), tw(285));
    spnDailyBackups = new QSpinBox(this);
    spnDailyBackups->setObjectName(QStringLiteral("spnDailyBackups"));
    spnDailyBackups->setRange(1, backup::kMostDailyBackups);
    spnDailyBackups->setGeometry(tw(1995), tw(2070),
                                 std::max(tw(900), spnDailyBackups->sizeHint().width()), tw(285));
    spnDailyBackups->setToolTip(QStringLiteral(
        "Velmora backs up the data files on the first start of each day into the Backups "
        "folder beside them, and keeps this many daily backups"));
    lblDailyBackups->setBuddy(spnDailyBackups);
    // Beside it: over how many days the aircraft's daily use is averaged from the journal.
    lblAverageDays = new QLabel(QStringLiteral("Use over:"), this);
    lblAverageDays->setObjectName(QStringLiteral("lblAverageDays"));
    lblAverageDays->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblAverageDays->setGeometry(tw(3000), tw(2070), tw(1020), tw(285));
    spnAverageDays = new QSpinBox(this);
    spnAverageDays->setObjectName(QStringLiteral("spnAverageDays"));
    spnAverageDays->setRange(utilisation::kLeastAverageDays, utilisation::kMostAverageDays);
    spnAverageDays->setSuffix(QStringLiteral(" days"));
    spnAverageDays->setGeometry(tw(4080), tw(2070), tw(1360), tw(285));
    spnAverageDays->setToolTip(QStringLiteral(
        "The daily use of each aircraft (hours, landings, cycles, RIN) is averaged over this "
        "many days of its journal, for the due list and the reports"));
    lblAverageDays->setBuddy(spnAverageDays);

    picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    cmdClose = new QPushButton(QStringLiteral("&Save and Close"), picButtons);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdClose, &QPushButton::clicked, this, &frmCompanyInfo::cmdClose_Click);
    cmdRestore = new QPushButton(QStringLiteral("&Restore from backup\u2026"), picButtons);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdRestore->setToolTip(QStringLiteral("Put back the data files as a backup holds them"));
    connect(cmdRestore, &QPushButton::clicked, this, &frmCompanyInfo::cmdRestore_Click);

    datPrimaryRS = new screens::BoundRecordSource(this);
    datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));
    datPrimaryRS->setErrorHandler(
        [this](data::ErrorNumber number) { return datPrimaryRS_Error(static_cast<int>(number)); });
    datPrimaryRS->setValidateHandler([this](screens::BoundRecordSource::Action action, bool save) {
        return datPrimaryRS_Validate(action, save);
    });
    connect(datPrimaryRS, &screens::BoundRecordSource::reposition, this,
            &frmCompanyInfo::datPrimaryRS_Reposition);
    for (const Box& b : kBoxes)
        datPrimaryRS->bind(field(b.field), QString::fromLatin1(b.column));

    const int width = tw(5500);
    const int barTop = tw(2460);
    const int buttonHeight = std::max(tw(375), cmdClose->sizeHint().height());
    picButtons->setGeometry(0, barTop, width, buttonHeight + tw(60));
    cmdClose->setGeometry(tw(60), tw(30), std::max(tw(1500), cmdClose->sizeHint().width()),
                          buttonHeight);
    const int restoreWidth = std::max(tw(1800), cmdRestore->sizeHint().width());
    cmdRestore->setGeometry(width - tw(60) - restoreWidth, tw(30), restoreWidth, buttonHeight);
    const int navTop = picButtons->geometry().bottom() + 1;
    const int navHeight = std::max(tw(345), datPrimaryRS->sizeHint().height());
    datPrimaryRS->setGeometry(0, navTop, width, navHeight);
    setFixedSize(width, navTop + navHeight);
    screens::fitToScreenWhenShown(this);

    Form_Load();
}

QString frmCompanyInfo::settingsFile() const {
    return QDir(menu_.programFolder()).filePath(QStringLiteral("SetupPP.mdb"));
}

void frmCompanyInfo::Form_Load() {
    datPrimaryRS->setDatabaseName(settingsFile());
    datPrimaryRS->setRecordSource(QStringLiteral("select * from [CompanyInfo]"));
    datPrimaryRS->refresh();
    loadedDailyBackups_ = backup::dailyBackupsKept(settingsFile());
    spnDailyBackups->setValue(loadedDailyBackups_);
    loadedAverageDays_ = utilisation::averageDaysOf(settingsFile());
    spnAverageDays->setValue(loadedAverageDays_);
}

void frmCompanyInfo::cmdRestore_Click() {
    QStringList open;
    for (int i : {frmMenuVelmora::AircraftSetup, frmMenuVelmora::TimeRemaining,
                  frmMenuVelmora::OilAnalysis}) {
        if (QWidget* screen = menu_.openScreen(i))
            open << screen->windowTitle();
    }
    if (!open.isEmpty()) {
        screens::msgBox(this,
                        QStringLiteral("Close these screens before restoring a backup: %1. "
                                       "They hold rows of the files the backup replaces.")
                            .arg(open.join(QStringLiteral(", "))),
                        screens::MsgButtons::Ok, screens::MsgIcon::Information,
                        QStringLiteral("Restore from backup"));
        screens::reactivateWindow(this);
        return;
    }
    // What this screen holds goes into the files first, so that the files kept before the
    // restore have it.
    if (!datPrimaryRS->updateRecord() || !saveDailyBackups() || !saveAverageDays())
        return;
    if (restoreFromBackup(this, menu_.programFolder()))
        Form_Load();  // the restored settings
    screens::reactivateWindow(this);
}

void frmCompanyInfo::cmdServer_Click() {
    frmServerPath dialog(field(Field::PathData)->text(), this);
    const int answer = dialog.exec();
    screens::reactivateWindow(this);
    if (answer != QDialog::Accepted)
        return;
    // Written with the row when the screen closes, as a chosen folder is.
    field(Field::PathData)->setText(dialog.dataPath());
    field(Field::PathData)->setFocus();
}

bool frmCompanyInfo::saveDailyBackups() {
    const int wanted = spnDailyBackups->value();
    if (wanted == loadedDailyBackups_)
        return true;
    try {
        backup::setDailyBackupsKept(settingsFile(), wanted);
        loadedDailyBackups_ = wanted;
        return true;
    } catch (const data::DbError& e) {
        screens::msgBox(
            this,
            QStringLiteral("The number of daily backups kept could not be saved: %1").arg(e.text()),
            screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
            QApplication::applicationDisplayName());
        screens::reactivateWindow(this);
        return false;
    }
}

bool frmCompanyInfo::saveAverageDays() {
    const int wanted = spnAverageDays->value();
    if (wanted == loadedAverageDays_)
        return true;
    try {
        utilisation::setAverageDays(*data::Database::open(settingsFile()), wanted);
        loadedAverageDays_ = wanted;
        return true;
    } catch (const data::DbError& e) {
        screens::msgBox(
            this,
            QStringLiteral("The days the daily use is averaged over could not be saved: %1")
                .arg(e.text()),
            screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
            QApplication::applicationDisplayName());
        screens::reactivateWindow(this);
        return false;
    }
}

bool frmCompanyInfo::eventFilter(QObject* watched, QEvent* event) {
    for (const Field f : {Field::PathData, Field::PathLogo}) {
        const int i = static_cast<int>(f);
        if (watched != field(f))
            continue;
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            txtFields_Click(i);
            return true;
        }
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_F4) {
            txtFields_Click(i);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmCompanyInfo::txtFields_Click(int index) {
    const bool dataPath = index == static_cast<int>(Field::PathData);
    if (!dataPath && index != static_cast<int>(Field::PathLogo))
        return;
    QLineEdit* box = txtFields[index];
    screens::FileOpenRequest request;
    if (dataPath) {
        request.filter = QStringLiteral("Databases|*.mdb|All|*.*");
        request.initialFolder = box->text();
    } else {
        request.filter = QStringLiteral("Pictures|*.bmp;*.jpg|All|*.*");
        request.initialFile = box->text();
    }
    const std::optional<QString> chosen = screens::Dialogs::current().openFile(this, request);
    screens::reactivateWindow(this);
    // A cancelled dialog keeps the box as it was.
    if (!chosen || chosen->isEmpty())
        return;
    box->setText(dataPath ? folderOfChosenFile(*chosen) : *chosen);
    box->setFocus();
}

void frmCompanyInfo::cmdClose_Click() {
    screens::MousePointer::setDefault();
    const QString picture = field(Field::PathLogo)->text();
    if (!picture.isEmpty())
        menu_.loadPicture(picture);  // a picture that cannot be loaded is skipped
    close();
}

screens::BoundRecordSource::ErrorResponse frmCompanyInfo::datPrimaryRS_Error(int number) {
    Q_UNUSED(number);
    screens::showDataError(this, datPrimaryRS->lastErrorText());
    if (recovering_ || closing_)
        return screens::BoundRecordSource::ErrorResponse::Handled;
    // Start again from the settings file in the program folder.
    recovering_ = true;
    datPrimaryRS->setDatabaseName(settingsFile());
    datPrimaryRS->refresh();
    recovering_ = false;
    return screens::BoundRecordSource::ErrorResponse::Handled;
}

screens::BoundRecordSource::Validation frmCompanyInfo::datPrimaryRS_Validate(
    screens::BoundRecordSource::Action action, bool save) {
    if (action == screens::BoundRecordSource::ActionClose)
        screens::MousePointer::setDefault();
    // A data path on a database server is kept without its password, which libpq finds in
    // ~/.pgpass or PGPASSWORD: one typed into the path is refused, and nothing is written.
    if (save && datPrimaryRS->isChanged() &&
        data::pg::holdsPassword(field(Field::PathData)->text())) {
        screens::MousePointer::setDefault();
        screens::msgBox(this,
                        QStringLiteral("The data path holds a password. Passwords are not kept "
                                       "in the company settings: remove it from the path and "
                                       "give it in ~/.pgpass or PGPASSWORD."),
                        screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                        QApplication::applicationDisplayName());
        screens::reactivateWindow(this);
        field(Field::PathData)->setFocus();
        return {screens::BoundRecordSource::ActionCancel, false};
    }
    screens::MousePointer::setBusy();
    return {action, save};
}

void frmCompanyInfo::datPrimaryRS_Reposition() {
    screens::MousePointer::setDefault();
}

void frmCompanyInfo::Form_Unload() {
    screens::MousePointer::setDefault();
}

void frmCompanyInfo::closeEvent(QCloseEvent* event) {
    closing_ = true;
    const bool written = datPrimaryRS->closeSource() && saveDailyBackups() && saveAverageDays();
    closing_ = false;
    Form_Unload();
    if (!written) {
        // The row could not be written (the message said why). Nothing typed is let go
        // without the user's word.
        const auto answer = screens::msgBox(
            this,
            QStringLiteral("The company settings could not be saved. Close without saving "
                           "the changes?"),
            screens::MsgButtons::YesNo, screens::MsgIcon::Question,
            QApplication::applicationDisplayName(), screens::MsgAnswer::No);
        if (answer != screens::MsgAnswer::Yes) {
            screens::reactivateWindow(this);
            event->ignore();
            return;
        }
        datPrimaryRS->clearChanged();
        closing_ = true;
        datPrimaryRS->closeSource();
        closing_ = false;
    }
    event->accept();
}

}  // namespace velmora::app
