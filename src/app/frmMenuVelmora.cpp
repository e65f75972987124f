#include "frmMenuVelmora.h"

#include "DamagedFileOffer.h"
#include "JournalOnOpen.h"
#include "ServerCheck.h"
#include "backup/ProgramFiles.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "screens/common/Dialogs.h"
#include "screens/common/ScreenConventions.h"
#include "screens/common/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>

// Resources live in a static library and must be pulled in by name.
static void initResources() {
    Q_INIT_RESOURCE(app);
}

namespace velmora::app {

using screens::twips;

namespace {

struct MenuEntry {
    const char* caption;
    int panelTop;  // twips
};

const MenuEntry kEntries[5] = {
    {"&Aircraft  Set-up", 120}, {"&Time Remaining", 1785}, {"&Oil Analysis", 3450},
    {"&Company Set-up", 5130},  {"&Exit", 6945},
};

// The data files a screen opens, as it will name them.
QStringList dataFilesOf(const QString& dataPath) {
    return {
        data::resolvePathCaseInsensitive(data::dataFileName(dataPath, data::files::kMain)),
        data::resolvePathCaseInsensitive(data::dataFileName(dataPath, data::files::kTemplates))};
}

// The screens close in this order when the menu closes.
const int kCloseOrder[4] = {frmMenuVelmora::AircraftSetup, frmMenuVelmora::CompanySetup,
                            frmMenuVelmora::OilAnalysis, frmMenuVelmora::TimeRemaining};

}  // namespace

frmMenuVelmora::frmMenuVelmora(const QString& programFolder, QWidget* parent)
    : QWidget(parent), programFolder_(programFolder) {
    initResources();
    setObjectName(QStringLiteral("frmMenuVelmora"));
    setWindowTitle(QStringLiteral("Velmora"));
    resize(twips(11700), twips(8610));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setPixmap(QPixmap(QStringLiteral(":/velmora/backdrop.jpg")));
    pictureSource_ = QStringLiteral(":/velmora/backdrop.jpg");

    QFont buttonFont = font();
    buttonFont.setBold(true);
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QFrame(this);
        panel->setObjectName(QStringLiteral("SSPanel1_%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(2);
        panel->setAutoFillBackground(true);
        panel->setGeometry(twips(210), twips(kEntries[i].panelTop), twips(2025), twips(1545));
        auto* button = new QPushButton(QString::fromLatin1(kEntries[i].caption), panel);
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        button->setFont(buttonFont);
        button->setGeometry(twips(45), twips(45), twips(2025 - 90), twips(1545 - 90));
        connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
        button->setEnabled(i == Exit);
        SSPanel1[static_cast<size_t>(i)] = panel;
        Command1[static_cast<size_t>(i)] = button;
    }
    // The due list stands apart to the right of the menu column, beside Time Remaining:
    // the same kind of panel, narrower and lower, so that the five buttons keep their place.
    pnlDueList = new QFrame(this);
    pnlDueList->setObjectName(QStringLiteral("pnlDueList"));
    pnlDueList->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlDueList->setLineWidth(2);
    pnlDueList->setAutoFillBackground(true);
    pnlDueList->setGeometry(twips(2520), twips(1785), twips(1800), twips(900));
    cmdDueList = new QPushButton(QStringLiteral("&Due List"), pnlDueList);
    cmdDueList->setObjectName(QStringLiteral("cmdDueList"));
    cmdDueList->setFont(buttonFont);
    cmdDueList->setToolTip(QStringLiteral("What comes due next across the fleet"));
    cmdDueList->setGeometry(twips(45), twips(45), twips(1800 - 90), twips(900 - 90));
    cmdDueList->setEnabled(false);
    connect(cmdDueList, &QPushButton::clicked, this, &frmMenuVelmora::cmdDueList_Click);
    // Directives & Inspections, the same kind of panel under the due list's.
    pnlDirectives = new QFrame(this);
    pnlDirectives->setObjectName(QStringLiteral("pnlDirectives"));
    pnlDirectives->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlDirectives->setLineWidth(2);
    pnlDirectives->setAutoFillBackground(true);
    pnlDirectives->setGeometry(twips(2520), twips(1785 + 900 + 120), twips(1800), twips(900));
    cmdDirectives = new QPushButton(QStringLiteral("D&irectives &&\nInspections"), pnlDirectives);
    cmdDirectives->setObjectName(QStringLiteral("cmdDirectives"));
    cmdDirectives->setFont(buttonFont);
    cmdDirectives->setToolTip(
        QStringLiteral("The register of airworthiness directives, service bulletins and "
                       "inspection tasks, and each aircraft's compliance"));
    cmdDirectives->setGeometry(twips(45), twips(45), twips(1800 - 90), twips(900 - 90));
    cmdDirectives->setEnabled(false);
    connect(cmdDirectives, &QPushButton::clicked, this, &frmMenuVelmora::cmdDirectives_Click);
    Form_Resize();
}

void frmMenuVelmora::setScreenFactory(int index, ScreenFactory factory) {
    if (index < 0 || index >= 4)
        return;
    factories_[static_cast<size_t>(index)] = std::move(factory);
    Command1[static_cast<size_t>(index)]->setEnabled(
        static_cast<bool>(factories_[static_cast<size_t>(index)]));
}

void frmMenuVelmora::setDueListFactory(ScreenFactory factory) {
    factories_[kDueListSlot] = std::move(factory);
    cmdDueList->setEnabled(static_cast<bool>(factories_[kDueListSlot]));
}

void frmMenuVelmora::setDirectivesFactory(ScreenFactory factory) {
    factories_[kDirectivesSlot] = std::move(factory);
    cmdDirectives->setEnabled(static_cast<bool>(factories_[kDirectivesSlot]));
}

QWidget* frmMenuVelmora::openScreen(int index) const {
    if (index < 0 || index >= 4)
        return nullptr;
    return screens_[static_cast<size_t>(index)].data();
}

void frmMenuVelmora::Form_Load() {
    const QString file = data::resolvePathCaseInsensitive(
        QDir(programFolder_).filePath(QStringLiteral("SetupPP.MDB")));
    data::DbError error(data::ErrorNumber{}, {});
    if (!company_.open(file, &error)) {
        screens::showDataError(this, error.text());
    }
}

void frmMenuVelmora::Form_Activate() {
    const data::Value logo = company_.value(QStringLiteral("PathLogo"));
    if (logo.isNull())
        return;
    // A picture that cannot be loaded is skipped: the current one stays.
    loadPicture(logo.toString());
}

bool frmMenuVelmora::loadPicture(const QString& file) {
    if (file.trimmed().isEmpty())
        return false;
    QImageReader reader(data::resolvePathCaseInsensitive(file));
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    Image1->setPixmap(QPixmap::fromImage(image));
    pictureSource_ = file;
    return true;
}

void frmMenuVelmora::Command1_Click(int index) {
    if (index == Exit) {
        // Ends at once: open screens are not asked to save.
        QCoreApplication::exit(0);
        return;
    }
    if (index < 0 || index >= 4)
        return;
    showScreen(static_cast<size_t>(index));
}

void frmMenuVelmora::cmdDueList_Click() {
    showScreen(kDueListSlot);
}

void frmMenuVelmora::cmdDirectives_Click() {
    showScreen(kDirectivesSlot);
}

void frmMenuVelmora::showScreen(size_t slot) {
    if (!factories_[slot])
        return;
    QPointer<QWidget>& screen = screens_[slot];
    if (!screen) {
        if (slot != static_cast<size_t>(CompanySetup)) {
            // Only data files can be damaged and restored from a backup: a server's data sets
            // are left to the server.
            offerBackupsForDamagedFiles(this, dataFilesOf(company_.pathData()));
            if (!dataSetsReachable())
                return;
            checkJournalOnOpen(this, backup::programFiles(programFolder_).settings,
                               dataFilesOf(company_.pathData()).front());
        }
        screen = factories_[slot](*this);
        if (!screen)
            return;
        screen->setAttribute(Qt::WA_DeleteOnClose);
    }
    screen->show();
    if (screen->isMinimized())
        screen->showNormal();
    screen->raise();
    screen->activateWindow();
}

bool frmMenuVelmora::dataSetsReachable() {
    const QString dataPath = company_.pathData();
    if (!data::isServerLocation(dataPath))
        return true;  // a data folder's files are opened, and told of, by the screens
    // A server that cannot be reached, a URI it does not understand or a refused login is told
    // of once, before a screen opens on nothing.
    // A password neither ~/.pgpass nor PGPASSWORD gives is asked once, for the session.
    if (!askServerPasswordIfNeeded(this, dataPath))
        return false;
    QString failure;
    for (const QString& location : dataFilesOf(dataPath)) {
        try {
            // Asked of the server: a data set opened before may have lost its connection.
            data::Database::open(location)->hasTable(QStringLiteral("Aircraft"));
        } catch (const data::DbError& e) {
            failure = e.text();
            break;
        }
    }
    if (failure.isEmpty())
        return true;
    screens::msgBox(this,
                    QStringLiteral("The data on the database server of the data path could not "
                                   "be opened:\n%1\n\nNothing was changed. Check the server and "
                                   "the data path in Company Set-up.")
                        .arg(failure),
                    screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                    QStringLiteral("Velmora"));
    return false;
}

void frmMenuVelmora::bringForward() {
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) |
                       (windowState() & Qt::WindowMaximized));
    if (!isVisible())
        show();
    if (!(windowState() & Qt::WindowMaximized) && !isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void frmMenuVelmora::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmMenuVelmora::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMenuVelmora::Form_Resize() {
    Image1->setGeometry(0, 0, width(), height());
}

void frmMenuVelmora::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}

void frmMenuVelmora::Form_QueryUnload() {
    // Each screen asks its own question; one kept open by Cancel outlives the menu, and the
    // process ends when it closes.
    for (int index : kCloseOrder) {
        if (QWidget* screen = screens_[static_cast<size_t>(index)].data())
            screen->close();
    }
    if (QWidget* dueList = screens_[kDueListSlot].data())
        dueList->close();
    if (QWidget* directives = screens_[kDirectivesSlot].data())
        directives->close();
}

}  // namespace velmora::app
