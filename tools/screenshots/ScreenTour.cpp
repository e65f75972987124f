#include "ScreenTour.h"

#include "BoxCapture.h"
#include "aircraft/ComponentGridColumns.h"
#include "aircraft/frmAircraft.h"
#include "aircraft/frmComponentTable.h"
#include "app/ScreenRegistry.h"
#include "app/frmMenuVelmora.h"
#include "app/frmServerPath.h"
#include "components/ComponentMoves.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "data/Schema.h"
#include "due/screen/frmDueList.h"
#include "oil/OilLimitsDialog.h"
#include "oil/OilSamples.h"
#include "oil/frmOilAnalysis.h"
#include "oil/limits/OilLimitsStore.h"
#include "remaining/frmRemain.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "tasks/Fleet.h"
#include "tasks/TaskStore.h"
#include "tasks/TaskWrites.h"
#include "tasks/screen/frmDirectives.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace velmora::screenshots {

namespace {

// A screen's control by its name; the screens keep their controls to themselves.
template <typename Control>
Control* part(const QWidget& screen, const QString& name) {
    return screen.findChild<Control*>(name);
}
// A control of a control array: the array's name, '_' and the index.
template <typename Control, typename Index>
Control* part(const QWidget& screen, const char* array, Index index) {
    return part<Control>(
        screen, QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(static_cast<int>(index)));
}
template <typename Control>
Control* part(const QWidget& screen, const char* name) {
    return part<Control>(screen, QString::fromLatin1(name));
}

using app::frmMenuVelmora;

// The company the pictures show.
const QString kCompany = QStringLiteral("Skyline Rotor Services");
const QString kPhone = QStringLiteral("(555) 010-4477");
// The aircraft entered from a template.
const QString kNewAircraft = QStringLiteral("n512sk");

// A register for the pictures when the data holds none: a recurring directive of the first
// aircraft's make and model, a bulletin of one of its installed parts and the annual
// inspection.
void seedRegister(const QString& dataPath) {
    auto db = data::Database::open(
        data::resolvePathCaseInsensitive(data::dataFileName(dataPath, data::files::kMain)));
    if (!tasks::readRegister(*db).tasks.empty())
        return;
    const tasks::Fleet fleet = tasks::readFleet(*db);
    if (fleet.aircraft.empty())
        return;
    const tasks::FleetAircraft& first = fleet.aircraft.front();
    std::vector<tasks::Task> all;
    tasks::Task ad;
    ad.number = QStringLiteral("2025-08-14");
    ad.revision = QStringLiteral("R1");
    ad.revisionDate = QDate(2025, 9, 2);
    ad.effectiveDate = QDate(2025, 9, 20);
    ad.title = QStringLiteral("Tail rotor pitch link inspection");
    ad.authority = QStringLiteral("FAA");
    ad.make = first.make.trimmed().isEmpty() ? QStringLiteral("-") : first.make;
    ad.model = first.model;
    ad.interval[tasks::slot(tasks::Parameter::Hours)] = 100;
    ad.interval[tasks::slot(tasks::Parameter::Months)] = 12;
    ad.tolerance[tasks::slot(tasks::Parameter::Hours)] = 10;
    all.push_back(ad);
    tasks::Task annual = ad;
    annual.kind = tasks::TaskKind::Inspection;
    annual.number = QStringLiteral("ANNUAL");
    annual.revision.clear();
    annual.title = QStringLiteral("Annual inspection");
    annual.authority = QStringLiteral("Operator");
    annual.interval = {};
    annual.tolerance = {};
    annual.interval[tasks::slot(tasks::Parameter::Months)] = 12;
    all.push_back(annual);
    for (const tasks::FleetPart& p : fleet.parts) {
        if (p.partNumber.trimmed().isEmpty())
            continue;
        tasks::Task sb = annual;
        sb.kind = tasks::TaskKind::Bulletin;
        sb.number = QStringLiteral("SB-") + p.partNumber.trimmed();
        sb.title = QStringLiteral("Attachment bolt torque check");
        sb.authority = QStringLiteral("Manufacturer");
        sb.appliesTo = tasks::AppliesTo::Part;
        sb.partNumber = p.partNumber;
        sb.make.clear();
        sb.model.clear();
        sb.interval = {};
        sb.interval[tasks::slot(tasks::Parameter::Hours)] = 300;
        all.push_back(sb);
        break;
    }
    tasks::saveTasks(*db, all);
}

// Lets the window system and the screens finish what a step started: layout, painting,
// deferred work.
void settle() {
    for (int i = 0; i < 6; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(50);
    }
}

// Without a window manager nothing activates a window by itself.
void activate(QWidget* window) {
    window->raise();
    QApplication::setActiveWindow(window);
    settle();
}

void writeSettings(const QString& file, const QString& dataPath) {
    data::schema::createCompanyFile(file, dataPath);
    auto rs = data::Database::open(file)->openRecordset(QStringLiteral("CompanyInfo"));
    rs->edit();
    rs->setValue(QStringLiteral("Name"), kCompany);
    rs->setValue(QStringLiteral("Phone"), kPhone);
    rs->update();
}

// Puts the tour's dialogs service in place and the one before back.
class DialogsInPlace {
  public:
    explicit DialogsInPlace(screens::Dialogs* dialogs) : previous_(&screens::Dialogs::current()) {
        screens::Dialogs::install(dialogs);
    }
    ~DialogsInPlace() { screens::Dialogs::install(previous_); }
    DialogsInPlace(const DialogsInPlace&) = delete;
    DialogsInPlace& operator=(const DialogsInPlace&) = delete;

  private:
    screens::Dialogs* previous_;
};

// Company oil limits that the component shown reaches: iron's caution at half its highest
// reading, its alert just under it, and a caution rise; then iron is charted.
void setOilLimits(oil::frmOilAnalysis& screen) {
    double highest = 0;
    for (int r = 0; r < part<velmora::screens::DataGrid>(screen, "grdDataGrid")->rowCount(); ++r)
        highest = std::max(highest, part<velmora::screens::DataGrid>(screen, "grdDataGrid")
                                        ->valueAt(r, oil::kColIron)
                                        .toDouble());
    oil::limits::LimitSet limits{};
    limits[0] = {std::round(highest * 0.5), std::round(highest * 0.9), std::nullopt};
    limits[5] = {std::nullopt, std::nullopt, 2};
    try {
        oil::limits::saveLimitSet(
            *part<velmora::screens::BoundRecordSource>(screen, "datPrimaryRS")->database(),
            oil::limits::LimitKey::company(), limits);
    } catch (const data::DbError&) {
        return;
    }
    part<QRadioButton>(screen, "Option1", 0)->click();
}

// Types into a field and leaves it for another, as the user does.
void enter(QLineEdit* field, const QString& text, QLineEdit* next) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    next->setFocus();
    settle();
}

// Opens a screen from the main menu, as its button does, and lets it come up.
template <class Screen>
Screen* openFromMenu(frmMenuVelmora& menu, frmMenuVelmora::Entry entry) {
    menu.Command1_Click(entry);
    auto* screen = qobject_cast<Screen*>(menu.openScreen(entry));
    if (screen) {
        activate(screen);
        screen->Form_Activate();
        settle();
    }
    return screen;
}

QSet<QWidget*> visibleWindows() {
    QSet<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            windows.insert(w);
    }
    return windows;
}

// A step of the tour that did not go as an operator's would.
data::Failure stopped(const QString& what) {
    return {data::err::Internal, what};
}

}  // namespace

ScreenTour::ScreenTour(const QString& dataFolder, const QString& pictureFolder)
    : dataFolder_(dataFolder), pictureFolder_(pictureFolder) {}

// A component of the aircraft shown goes to the shop for overhaul; the Stores window and
// the component's history show it, and the aircraft's life-limited parts status follows.
void ScreenTour::takeComponentToStores(aircraft::frmAircraft& screen) {
    auto db = part<velmora::screens::BoundRecordSource>(screen, "datPrimaryRS")->database();
    components::Removal r;
    for (int row = 0;
         db && row < part<velmora::screens::DataGrid>(screen, "grdDataGrid")->rowCount() &&
         r.key.isBlank();
         ++row) {
        r.key = {part<velmora::screens::DataGrid>(screen, "grdDataGrid")
                     ->textAt(row, aircraft::col::PartNumber),
                 part<velmora::screens::DataGrid>(screen, "grdDataGrid")
                     ->textAt(row, aircraft::col::SerialNumber)};
    }
    if (r.key.isBlank()) {
        failure_ = QStringLiteral("no component with a part and serial number to remove");
        return;
    }
    r.regNum = part<velmora::screens::Chooser>(screen, "Combo1")->text();
    r.date = QDate::currentDate();
    r.reason = QStringLiteral("Scheduled: overhaul");
    r.location = components::Location::Shop;
    r.reference = QStringLiteral("WO-1001");
    try {
        components::removeComponent(*db, r, QDate::currentDate());
    } catch (const data::DbError& e) {
        failure_ = QStringLiteral("the component could not be removed: ") + e.text();
        return;
    }
    const QString mainFile = db->path();
    for (auto kind :
         {aircraft::frmComponentTable::Kind::Stores, aircraft::frmComponentTable::Kind::History}) {
        aircraft::frmComponentTable window(kind, mainFile, r.key);
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        activate(&window);
        save(&window, kind == aircraft::frmComponentTable::Kind::Stores
                          ? QStringLiteral("component-stores")
                          : QStringLiteral("component-history"));
        window.close();
    }
    // The status of the aircraft's life-limited parts.
    aircraft::LifeLimitedRequest request;
    request.regNum = r.regNum;
    request.day = QDate::currentDate();
    aircraft::frmComponentTable llp(mainFile, request);
    llp.setAttribute(Qt::WA_DeleteOnClose, false);
    llp.show();
    activate(&llp);
    save(&llp, QStringLiteral("component-llp"));
    llp.close();
    settle();
}

void ScreenTour::save(QWidget* window, const QString& name) {
    save(window->grab(), name);
}

void ScreenTour::save(const QPixmap& picture, const QString& name) {
    const QString file = QDir(pictureFolder_).filePath(name + QStringLiteral(".png"));
    if (picture.isNull() || !picture.save(file, "PNG")) {
        if (failure_.isEmpty())
            failure_ = QStringLiteral("cannot write the picture %1").arg(file);
        return;
    }
    pictures_ << file;
}

data::MaybeFailure ScreenTour::run() {
    failure_.clear();
    pictures_.clear();
    if (!QDir().mkpath(pictureFolder_))
        return stopped(QStringLiteral("cannot create the folder %1").arg(pictureFolder_));
    // A data folder, or the URI of a database server that holds the data sets (one filled
    // from a demo folder with velmora-migrate).
    const bool onServer = data::isServerLocation(dataFolder_);
    const QString dataPath =
        onServer ? dataFolder_ : QDir(dataFolder_).absolutePath() + QDir::separator();
    if (!onServer && !QFileInfo::exists(data::resolvePathCaseInsensitive(dataPath + "Timemgr.mdb")))
        return stopped(QStringLiteral("%1 holds no Timemgr.mdb; make one with velmora-demo FOLDER")
                           .arg(dataFolder_));
    QTemporaryDir programFolder;
    try {
        writeSettings(QDir(programFolder.path()).filePath(QStringLiteral("SetupPP.mdb")), dataPath);
    } catch (const data::DbError& e) {
        return stopped(QStringLiteral("cannot write the company settings: %1").arg(e.text()));
    }
    BoxCapture dialogs;
    DialogsInPlace inPlace(&dialogs);

    frmMenuVelmora menu(programFolder.path());
    app::registerScreens(menu);
    menu.Form_Load();
    menu.show();
    activate(&menu);
    save(&menu, QStringLiteral("main-menu"));

    menu.Command1_Click(frmMenuVelmora::CompanySetup);
    if (QWidget* company = menu.openScreen(frmMenuVelmora::CompanySetup)) {
        activate(company);
        save(company, QStringLiteral("company-setup"));
        {
            // A shared database server named instead of the folder. The box is gone before
            // Company Set-up, its parent, closes and deletes its children.
            app::frmServerPath server(
                QStringLiteral("postgresql://planner@fleet-db.example/velmora?sslmode=require"),
                company);
            server.show();
            activate(&server);
            save(&server, QStringLiteral("server-setup"));
            server.close();
        }
        company->close();
        settle();
    }

    auto* aircraft = openFromMenu<aircraft::frmAircraft>(menu, frmMenuVelmora::AircraftSetup);
    if (!aircraft)
        return stopped(QStringLiteral("the aircraft set-up screen did not open"));
    save(aircraft, QStringLiteral("aircraft-setup"));
    // A new aircraft: its registration, then a make and model whose template gives it
    // its component list.
    QTest::mouseClick(part<QPushButton>(*aircraft, "cmdAdd"), Qt::LeftButton);
    settle();
    enter(part<QLineEdit>(*aircraft, "txtFields", aircraft::frmAircraft::Field::RegNum),
          kNewAircraft,
          part<QLineEdit>(*aircraft, "txtFields", aircraft::frmAircraft::Field::SerialNumber));
    if (part<velmora::screens::Chooser>(*aircraft, "Combo2", 0)->entryCount() > 1) {
        part<velmora::screens::Chooser>(*aircraft, "Combo2", 0)->setListIndex(1);
        settle();
        if (part<velmora::screens::Chooser>(*aircraft, "Combo2", 1)->entryCount() > 1)
            part<velmora::screens::Chooser>(*aircraft, "Combo2", 1)->setListIndex(1);
    }
    settle();
    save(aircraft, QStringLiteral("aircraft-new"));
    aircraft->cmdSave_Click();
    aircraft->close();
    settle();

    auto* remain = openFromMenu<remaining::frmRemain>(menu, frmMenuVelmora::TimeRemaining);
    if (!remain)
        return stopped(QStringLiteral("the time remaining screen did not open"));
    save(remain, QStringLiteral("time-remaining"));
    // The day's flying: 2.4 hours more on meter 1, asked about and confirmed.
    dialogs.capture(
        remain, [this](const QPixmap& picture) { save(picture, QStringLiteral("meter-entry")); });
    enter(part<QLineEdit>(*remain, "txtFields", remaining::frmRemain::Field::CurrentMeter1),
          QStringLiteral("+2.4"),
          part<QLineEdit>(*remain, "txtFields", remaining::frmRemain::Field::CurrentMeter2));
    if (!dialogs.captured())
        return stopped(QStringLiteral("the meter entry asked no question"));
    activate(remain);

    const QSet<QWidget*> before = visibleWindows();
    QTest::mouseClick(part<QPushButton>(*remain, "cmdPrint", 0), Qt::LeftButton);
    settle();
    QWidget* preview = nullptr;
    for (QWidget* w : visibleWindows()) {
        if (!before.contains(w))
            preview = w;
    }
    if (!preview)
        return stopped(QStringLiteral("Print Actual opened no report preview"));
    preview->resize(900, 980);
    activate(preview);
    QTest::qWait(300);
    save(preview, QStringLiteral("report-preview"));
    preview->close();
    remain->close();
    settle();

    // The journal of the aircraft just flown, from the aircraft set-up screen.
    if (auto* again = openFromMenu<aircraft::frmAircraft>(menu, frmMenuVelmora::AircraftSetup)) {
        const QSet<QWidget*> open = visibleWindows();
        QTest::mouseClick(part<QPushButton>(*again, "cmdJournal"), Qt::LeftButton);
        settle();
        for (QWidget* w : visibleWindows()) {
            if (!open.contains(w)) {
                activate(w);
                save(w, QStringLiteral("journal"));
                w->close();
            }
        }
        takeComponentToStores(*again);
        again->close();
        settle();
    }

    if (auto* oil = openFromMenu<oil::frmOilAnalysis>(menu, frmMenuVelmora::OilAnalysis)) {
        save(oil, QStringLiteral("oil-analysis"));
        setOilLimits(*oil);
        settle();
        save(oil, QStringLiteral("oil-limits"));
        {
            oil::OilLimitsDialog dialog(
                part<velmora::screens::BoundRecordSource>(*oil, "datPrimaryRS")->database(),
                part<velmora::screens::Chooser>(*oil, "Combo1")->text(),
                part<velmora::screens::Chooser>(*oil, "Combo2")->text(), oil);
            dialog.optScope[2]->click();
            dialog.show();
            activate(&dialog);
            save(&dialog, QStringLiteral("oil-limits-dialog"));
            dialog.close();
        }
        oil->close();
        settle();
    }
    // What comes due across the fleet in the next 60 days, by date.
    menu.cmdDueList_Click();
    if (auto* due = qobject_cast<due::frmDueList*>(menu.openDueList())) {
        activate(due);
        part<QCheckBox>(*due, "chkWithinDays")->setChecked(true);
        part<QSpinBox>(*due, "spnDays")->setValue(60);
        due->applyFilter();
        settle();
        save(due, QStringLiteral("due-list"));
        due->close();
        settle();
    } else {
        return stopped(QStringLiteral("the due list did not open"));
    }
    // The register of directives and inspections, and an aircraft's compliance status.
    try {
        seedRegister(dataPath);
    } catch (const data::DbError& e) {
        return stopped(QStringLiteral("the register cannot be written: ") + e.text());
    }
    menu.cmdDirectives_Click();
    if (auto* directives = qobject_cast<tasks::frmDirectives*>(menu.openDirectives())) {
        activate(directives);
        settle();
        save(directives, QStringLiteral("directives-register"));
        part<QTabWidget>(*directives, "tabs")->setCurrentIndex(1);
        settle();
        save(directives, QStringLiteral("directives-status"));
        directives->close();
        settle();
    } else {
        return stopped(QStringLiteral("Directives & Inspections did not open"));
    }
    if (!failure_.isEmpty())
        return stopped(failure_);
    return std::nullopt;
}

}  // namespace velmora::screenshots
