#include "frmAircraft.h"

#include "BoundEntryHost.h"

#include "ComponentRules.h"
#include "EntryRules.h"
#include "TemplateLibrary.h"
#include "backup/BackupQuestion.h"
#include "data/DataFiles.h"
#include "data/Recordset.h"
#include "journal/screen/UtilisationPanel.h"
#include "journal/screen/frmJournal.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/ButtonAccelerators.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/Dialogs.h"
#include "screens/common/FieldEvents.h"
#include "screens/common/GridExportMenu.h"
#include "screens/common/MousePointer.h"
#include "screens/common/ScreenActivation.h"
#include "screens/common/ScreenConventions.h"
#include "screens/common/ScreenMemory.h"
#include "screens/common/ScreenState.h"
#include "screens/common/Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>

namespace velmora::aircraft {

using screens::BoundRecordSource;
using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

namespace {

const QString kNavigationCaption =
    QStringLiteral("To view another aircraft, click the arrow buttons to the left and right. ");

struct FieldSpec {
    int index;
    const char* column;
    const char* label;
    int left, top, width;  // twips
    int limit;             // 0: none
    bool inTotals;
};

const FieldSpec kFields[] = {
    {0, "RegNum", "Registration #:", 1320, 75, 1425, 10, false},
    {1, "Serial Number", "Serial Number:", 5685, 75, 2205, 50, false},
    {2, "Make", "A/C Make:", 1320, 525, 2500, 50, false},
    {3, "Model", "Model:", 5700, 525, 2190, 50, false},
    {4, "Year", "Year:", 8760, 45, 735, 50, false},
    {5, "Engine1Serial", "Engine 1 Serial #:", 1320, 960, 2500, 50, false},
    {6, "Engine2Serial", "Engine 2 Serial #:", 1320, 1440, 2500, 50, false},
    {7, "CurrentMeter2", "Current Meter #2:", 5910, 1440, 1980, 0, false},
    {11, "CurrentMeter1", "Current Meter #1:", 5910, 990, 1980, 0, false},
    {12, "TotalTime", "AirframeTime:", 135, 600, 1215, 0, true},
    {13, "TotalLandings", "Landings:", 1665, 600, 1215, 0, true},
    {14, "TotalCycles", "Cycles:", 3120, 600, 1215, 0, true},
    {15, "TotalRIN", "RIN:", 4515, 600, 1215, 0, true},
};

std::vector<screens::GridColumn> componentColumns() {
    using data::Value;
    auto c = [](const char* caption, const char* field, Value def = {}, const char* format = "",
                bool visible = true) {
        screens::GridColumn g;
        g.caption = QString::fromLatin1(caption);
        g.field = QString::fromLatin1(field);
        g.defaultValue = def;
        g.format = QString::fromLatin1(format);
        g.visible = visible;
        return g;
    };
    return {c("RegNum", "RegNum", {}, "", false),
            c("Item #", "ItemNumber"),
            c("Meter", "MeterNumber"),
            c("Installed", "Active", Value(true), "Yes/No"),
            c("Assembly", "Assembly"),
            c("Component Name", "Description"),
            c("Part Number", "PartNumber"),
            c("Serial #", "Serial#"),
            c("Date Purchased", "DatePurchased", {}, "Short Date"),
            c("Manufacturer", "Manufacturer"),
            c("Inspection", "Inspection"),
            c("Cost to Replace", "ReplaceCost", Value(0), "Currency"),
            c("Reserve Per Hour", "ReservePerHour", Value(0), "Currency"),
            c("Service Life", "LifeNumber", Value(0)),
            c("Type", "LifeBasis", Value("RT")),
            c("Install Date", "InstallDate", {}, "Short Date"),
            c("Component at Install", "InstallTimeLeft"),
            c("A/C Total at Install", "InstallACHour"),
            c("Notes", "Notes"),
            c("Oil Analysis", "OilAnalysis", Value(false), "Yes/No")};
}

}  // namespace

frmAircraft::frmAircraft(const QString& dataPath, QWidget* parent)
    : QWidget(parent), dataPath_(dataPath) {
    setObjectName(QStringLiteral("frmAircraft"));
    setWindowTitle(QStringLiteral("Aircraft Set-up"));
    buildControls();
    screens::restoreScreenLayout(this, grdDataGrid);
    new screens::ScreenActivation(this, [this] {
        if (!closing_)
            Form_Activate();
    });
    Form_Load();
}

frmAircraft::~frmAircraft() = default;

void frmAircraft::buildControls() {
    const double scale = screens::layoutScale(this, 285);
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    const int boxHeight = tw(285);

    Frame1 = new QGroupBox(QStringLiteral("Totals"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(tw(120), tw(2040), tw(6105), tw(1290));

    for (const FieldSpec& f : kFields) {
        QWidget* host = f.inTotals ? static_cast<QWidget*>(Frame1) : this;
        auto* box = new QLineEdit(host);
        box->setObjectName(QStringLiteral("txtFields_%1").arg(f.index));
        if (f.limit > 0)
            box->setMaxLength(f.limit);
        auto* label = new QLabel(QString::fromLatin1(f.label), host);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(f.index));
        label->setBuddy(box);
        if (f.inTotals) {
            label->setGeometry(tw(f.left), tw(f.top - 300), tw(f.width), boxHeight);
            box->setGeometry(tw(f.left), tw(f.top), tw(f.width), boxHeight);
        } else {
            box->setGeometry(tw(f.left), tw(f.top), tw(f.width), boxHeight);
            screens::placeLabelBefore(label, box);
        }
        if (f.index >= 7)
            box->setAlignment(Qt::AlignRight);
        txtFields[static_cast<size_t>(f.index)] = box;
        lblLabels[static_cast<size_t>(f.index)] = label;
        box->installEventFilter(this);
        const int index = f.index;
        connect(box, &QLineEdit::textChanged, this, [this, index] { txtFields_Change(index); });
    }
    // The registration number is typed in capitals.
    connect(txtFields[0], &QLineEdit::textEdited, this, [this](const QString& t) {
        const QString upper = t.toUpper();
        if (upper != t) {
            const int pos = txtFields[0]->cursorPosition();
            txtFields[0]->setText(upper);
            txtFields[0]->setCursorPosition(pos);
        }
    });
    txtOwner = new QPlainTextEdit(this);
    txtOwner->setObjectName(QStringLiteral("txtFields_8"));
    txtOwner->setGeometry(tw(8235), tw(750), tw(3315), tw(975));
    txtOwner->setTabChangesFocus(true);
    txtOwner->installEventFilter(this);
    connect(txtOwner, &QPlainTextEdit::textChanged, this, [this] { txtFields_Change(8); });
    lblLabels[8] = new QLabel(QStringLiteral("Owner Name and Address:"), this);
    lblLabels[8]->setGeometry(tw(8235), tw(750) - boxHeight, tw(3315), boxHeight);
    lblLabels[8]->setBuddy(txtOwner);

    Label2 = new QLabel(
        QStringLiteral("To enter change in values, precede number with plus sign (+2)"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(tw(135), tw(950), tw(5800), boxHeight);

    Combo1 = new screens::Chooser(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(tw(1320), tw(75), tw(1710), boxHeight);
    Combo1->lower();  // only its drop-down button shows beside the registration box
    txtFields[0]->raise();
    connect(Combo1, &screens::Chooser::clicked, this, &frmAircraft::Combo1_Click);

    for (int i = 0; i < 2; ++i) {
        auto* c = new screens::Chooser(this);
        c->setObjectName(QStringLiteral("Combo2_%1").arg(i));
        c->setGeometry(txtFields[static_cast<size_t>(2 + i)]->geometry());
        c->hide();
        connect(c, &screens::Chooser::clicked, this, [this, i] { Combo2_Click(i); });
        Combo2[static_cast<size_t>(i)] = c;
    }

    Frame3 = new QGroupBox(QStringLiteral("Show Records"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(tw(7095), tw(1875), tw(1695), tw(1335));
    Frame2 = new QGroupBox(QStringLiteral("Order by"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(tw(8985), tw(1860), tw(1335), tw(1335));
    const char* captions[6] = {"Installed",  "Not installed", "All",
                               "Inspection", "Assembly",      "Item #"};
    for (int i = 0; i < 6; ++i) {
        QGroupBox* group = i < 3 ? Frame3 : Frame2;
        auto* b = new QRadioButton(QString::fromLatin1(captions[i]), group);
        b->setObjectName(QStringLiteral("Option1_%1").arg(i));
        const int row = i < 3 ? i : 5 - i;  // Item #, Assembly, Inspection from the top
        b->setGeometry(tw(90), tw(300) + row * tw(320), group->width() - tw(120), boxHeight);
        connect(b, &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
        Option1[static_cast<size_t>(i)] = b;
    }
    Option1[0]->setChecked(true);
    Option1[5]->setChecked(true);

    // Labels take the room their text needs; the upper half moves right if they would
    // reach past the window's left edge.
    screens::shiftIntoView(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));

    grdDataGrid = new screens::DataGrid(this);
    grdDataGrid->setObjectName(QStringLiteral("grdDataGrid"));
    grdDataGrid->setColumns(componentColumns());
    grdDataGrid->setTwoLineHeaders(true);
    grdDataGrid->setAllowAddNew(true);
    grdDataGrid->setAllowDelete(true);
    grdDataGrid->setAllowUpdate(true);
    grdDataGrid->setGeometry(tw(30), tw(3375), tw(11835), tw(4425));
    screens::installGridExport(grdDataGrid, [this] {
        return QStringLiteral("Components - ") +
               datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
    });
    connect(grdDataGrid, &screens::DataGrid::OnAddNew, this, &frmAircraft::grdDataGrid_OnAddNew,
            Qt::DirectConnection);
    connect(grdDataGrid, &screens::DataGrid::AfterColEdit, this,
            &frmAircraft::grdDataGrid_AfterColEdit);
    connect(grdDataGrid, &screens::DataGrid::AfterColUpdate, this,
            &frmAircraft::grdDataGrid_AfterColUpdate);
    connect(grdDataGrid, &screens::DataGrid::DblClick, this, &frmAircraft::grdDataGrid_DblClick);
    connect(grdDataGrid, &screens::DataGrid::RowColChange, this,
            &frmAircraft::grdDataGrid_RowColChange);
    connect(grdDataGrid, &screens::DataGrid::Change, this, &frmAircraft::grdDataGrid_Change);
    connect(grdDataGrid, &screens::DataGrid::writeFailed, this,
            [this](int, const QString& text) { screens::showDataError(this, text); });

    picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    const int buttonHeight = std::max(tw(300), QPushButton().sizeHint().height());
    struct B {
        QPushButton** button;
        const char* caption;
        const char* name;
        int left, width;
    } buttons[] = {{&cmdAdd, "&Add New Aircraft", "cmdAdd", 121, 1995},
                   {&cmdDelete, "&Delete Aircraft", "cmdDelete", 2235, 1845},
                   {&cmdSave, "&Save", "cmdSave", 4215, 975},
                   {&cmdClose, "&Close", "cmdClose", 5310, 975},
                   {&cmdTemplate, "Save as Template", "cmdTemplate", 6360, 1440}};
    for (const B& b : buttons) {
        *b.button = new QPushButton(QString::fromLatin1(b.caption), picButtons);
        (*b.button)->setObjectName(QString::fromLatin1(b.name));
        (*b.button)->setGeometry(tw(b.left), 0, tw(b.width), buttonHeight);
    }
    cmdTemplate->setToolTip(
        QStringLiteral("Store the components listed as the template of this make and model"));
    connect(cmdTemplate, &QPushButton::clicked, this, &frmAircraft::cmdTemplate_Click);
    cmdJournal = new QPushButton(QStringLiteral("&Journal..."), picButtons);
    cmdJournal->setObjectName(QStringLiteral("cmdJournal"));
    cmdJournal->setGeometry(tw(7920), 0, tw(1200), buttonHeight);
    connect(cmdJournal, &QPushButton::clicked, this, &frmAircraft::cmdJournal_Click);
    fraUtilisation = new journal::UtilisationPanel(this);
    fraUtilisation->setGeometry(tw(11900), tw(60), tw(2790), tw(3255));
    connect(cmdAdd, &QPushButton::clicked, this, &frmAircraft::cmdAdd_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmAircraft::cmdDelete_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmAircraft::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmAircraft::cmdClose_Click);

    datPrimaryRS = new BoundRecordSource(this);
    datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));
    datPrimaryRS->setCaption(kNavigationCaption);
    for (const FieldSpec& f : kFields)
        datPrimaryRS->bind(txtFields[static_cast<size_t>(f.index)], QString::fromLatin1(f.column));
    datPrimaryRS->bind(txtOwner, QStringLiteral("Owner"));
    connect(datPrimaryRS, &BoundRecordSource::reposition, this,
            &frmAircraft::datPrimaryRS_Reposition);
    connect(datPrimaryRS, &BoundRecordSource::error, this, &frmAircraft::datPrimaryRS_Error);
    connect(datPrimaryRS, &BoundRecordSource::validate, this, &frmAircraft::datPrimaryRS_Validate);

    datSecondaryRS = new BoundRecordSource(this);
    datSecondaryRS->setObjectName(QStringLiteral("datSecondaryRS"));
    datSecondaryRS->hide();
    connect(datSecondaryRS, &BoundRecordSource::refreshed, this,
            [this] { grdDataGrid->setRecordset(datSecondaryRS->recordset()); });
    connect(datSecondaryRS, &BoundRecordSource::error, this, [this](int, int& response) {
        response = 0;
        screens::showDataError(this, datSecondaryRS->lastErrorText());
    });

    datMakes = new BoundRecordSource(this);
    datMakes->setObjectName(QStringLiteral("datMakes"));
    datMakes->hide();
    connect(datMakes, &BoundRecordSource::error, this, [this](int, int& response) {
        response = 0;
        screens::showDataError(this, datMakes->lastErrorText());
    });

    // As wide as designed, or as the fields at the top need where the user's font is larger.
    const int width = std::max(
        tw(11900), screens::contentRight(
                       this, {grdDataGrid, picButtons, datPrimaryRS, datSecondaryRS, datMakes}) +
                       tw(60));
    const int navHeight = std::max(tw(345), datPrimaryRS->sizeHint().height());
    resize(width, tw(3375) + tw(4425) + buttonHeight + navHeight + tw(60));
    setMinimumWidth(fraUtilisation->geometry().right() + tw(60));  // a remembered size too
    Form_Resize();
    screens::focusButtonsOnAccelerator(this);
}

void frmAircraft::Form_Load() {
    screens::SuppressReposition = true;
    const QString main = data::dataFileName(dataPath_, data::files::kMain);
    datPrimaryRS->setDatabaseName(main);
    datPrimaryRS->setRecordSource(QStringLiteral("select * from [Aircraft] Order by [RegNum]"));
    datPrimaryRS->refresh();
    // The component list is read per aircraft; nothing is read before one is chosen.
    datSecondaryRS->setDatabaseName(main);
    datSecondaryRS->setRecordSource(
        componentListSql(QString(), ShowRecords::Installed, OrderBy::ItemNumber));
    datSecondaryRS->refresh();
    datMakes->setDatabaseName(templatesFile());
    datMakes->setRecordSource(QStringLiteral("select * from [Aircraft] Order by [Make]"));
    datMakes->refresh();

    Combo1->clearList();
    if (data::Recordset* rs = datPrimaryRS->recordset()) {
        const int reg = rs->fieldIndex(QStringLiteral("RegNum"));
        for (const auto& row : rs->rows()) {
            const data::Value& v = row.values[static_cast<size_t>(reg)];
            if (v.isNull())
                continue;  // a row without a registration cannot be listed
            const QString text = v.toString();
            if (Combo1->findExact(text) < 0)
                Combo1->addEntry(text);
        }
    }
    screens::SuppressReposition = false;
    if (Combo1->entryCount() > 0)
        Combo1->setListIndex(0);
    else
        SetCleanState();
}

bool frmAircraft::aircraftTableEmpty() const {
    const data::Recordset* rs = datPrimaryRS->recordset();
    return !rs || rs->recordCount() == 0;
}

QString frmAircraft::currentRegNum() const {
    // A new aircraft's registration is in its box until the row is saved.
    if (datPrimaryRS->isAddingNew())
        return txtFields[0]->text();
    return datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
}

QString frmAircraft::templatesFile() const {
    return data::dataFileName(dataPath_, data::files::kTemplates);
}

void frmAircraft::Form_Activate() {
    if (aircraftTableEmpty() && !datPrimaryRS->isAddingNew()) {
        cmdAdd_Click();
        return;
    }
    if (datPrimaryRS->isAddingNew())
        return;  // a new aircraft is being entered: stay where the user is
    SetCleanState();
    focusField(11);
}

void frmAircraft::Combo1_Click() {
    if (screens::SuppressReposition)
        return;
    const QString text = Combo1->text();
    // The chooser shows a new aircraft's registration before the row is saved.
    if (datPrimaryRS->isAddingNew() && text.compare(txtFields[0]->text(), Qt::CaseInsensitive) == 0)
        return;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    if (datPrimaryRS->findFirst(QStringLiteral("RegNum = \"") + quoted + u'"') ||
        !datPrimaryRS->isChanged())
        return;
    // The aircraft on screen stays (its changes could not be written): so does its entry.
    const QString reg = currentRegNum();
    if (!reg.isEmpty() && reg != Combo1->text())
        Combo1->setListIndexQuietly(Combo1->findExact(reg));
}

void frmAircraft::datPrimaryRS_Reposition() {
    screens::MousePointer::setDefault();
    if (screens::SuppressReposition)
        return;
    requeryComponents(componentListSql(currentRegNum(), showRecords(), OrderBy::ItemNumber));
    datPrimaryRS->setCaption(kNavigationCaption);
    // The template choosers stay while the new aircraft is being entered, also once a meter
    // or total entry has saved it; another aircraft shows its own make and model.
    if (!datPrimaryRS->isAddingNew() &&
        currentRegNum().compare(enteredRegNum_, Qt::CaseInsensitive) != 0) {
        enteredRegNum_.clear();
        showTemplateChoosers(false);
    }
    const QString reg = currentRegNum();
    if (!reg.isEmpty() && reg != Combo1->text()) {
        const int at = Combo1->findExact(reg);
        if (at >= 0)
            Combo1->setListIndex(at);
    }
    fraUtilisation->setAircraft(data::dataFileName(dataPath_, data::files::kMain), reg);
    SetCleanState();
    if (!entrySaving_)
        focusField(11);
}

void frmAircraft::requeryComponents(const QString& source) {
    grdDataGrid->commitPendingRow();
    datSecondaryRS->setRecordSource(source);
    datSecondaryRS->refresh();
}

void frmAircraft::datPrimaryRS_Error(int number, int& response) {
    Q_UNUSED(number);
    response = 0;
    if (saving_) {
        saveError_ = datPrimaryRS->lastErrorText();
        return;
    }
    screens::showDataError(this, datPrimaryRS->lastErrorText());
}

void frmAircraft::datPrimaryRS_Validate(int& action, int& save) {
    if (action == BoundRecordSource::ActionClose)
        screens::MousePointer::setDefault();
    // An aircraft is known by its registration number: a row without one is never written.
    if (save == 0 || action == BoundRecordSource::ActionDelete ||
        !txtFields[0]->text().trimmed().isEmpty())
        return;
    if (action == BoundRecordSource::ActionClose && datPrimaryRS->isAddingNew()) {
        save = 0;  // a new aircraft begun without a registration goes with the screen
        return;
    }
    screens::msgBox(this, QStringLiteral("A registration number must be entered"), MsgButtons::Ok,
                    MsgIcon::Exclamation, QStringLiteral("Missing data"), MsgAnswer::Ok);
    screens::reactivateWindow(this);
    action = BoundRecordSource::ActionCancel;
}

ShowRecords frmAircraft::showRecords() const {
    if (Option1[0]->isChecked())
        return ShowRecords::Installed;
    if (Option1[1]->isChecked())
        return ShowRecords::NotInstalled;
    return ShowRecords::All;
}

OrderBy frmAircraft::orderBy() const {
    if (Option1[5]->isChecked())
        return OrderBy::ItemNumber;
    if (Option1[4]->isChecked())
        return OrderBy::Assembly;
    return OrderBy::Inspection;
}

QString frmAircraft::componentListSource() const {
    return componentListSql(currentRegNum(), showRecords(), orderBy());
}

void frmAircraft::Option1_Click(int index) {
    Q_UNUSED(index);
    requeryComponents(componentListSource());
    datPrimaryRS->setCaption(kNavigationCaption);
}

void frmAircraft::cmdAdd_Click() {
    screens::SuppressReposition = true;
    if (!datPrimaryRS->addNew()) {
        screens::SuppressReposition = false;
        return;  // the row shown could not be written; the message said why
    }
    enteredRegNum_.clear();
    requeryComponents(componentListSql(QString(), ShowRecords::Installed, OrderBy::ItemNumber));
    Combo1->hide();
    Combo1->setEnabled(false);
    SetEditedState();
    focusField(0);
    showTemplateChoosers(true);
    Combo2[0]->setEnabled(true);
    Combo2[1]->setEnabled(false);
    FillMakeList();
}

void frmAircraft::showTemplateChoosers(bool shown) {
    for (int i = 0; i < 2; ++i) {
        Combo2[static_cast<size_t>(i)]->setVisible(shown);
        txtFields[static_cast<size_t>(2 + i)]->setVisible(!shown);
    }
}

void frmAircraft::FillMakeList() {
    for (screens::Chooser* c : Combo2) {
        c->clearList();
        c->addEntry(QStringLiteral("<Add new>"));
    }
    // Templates saved since the screen opened are listed too.
    datMakes->refresh();
    data::Recordset* rs = datMakes->recordset();
    if (!rs)
        return;
    const int make = rs->fieldIndex(QStringLiteral("Make"));
    if (make < 0)
        return;
    for (const auto& row : rs->rows()) {
        const data::Value& v = row.values[static_cast<size_t>(make)];
        if (!v.isNull() && Combo2[0]->findExact(v.toString()) < 0)
            Combo2[0]->addEntry(v.toString());
    }
}

void frmAircraft::Combo2_Click(int index) {
    if (index == 0) {
        if (Combo2[0]->listIndex() == 0) {
            showTemplateChoosers(false);
            focusField(2);
            return;
        }
        if (Combo2[0]->listIndex() < 0)
            return;
        const QString make = Combo2[0]->text();
        // The aircraft takes the chosen make.
        txtFields[2]->setText(make);
        Combo2[1]->clearList();
        Combo2[1]->addEntry(QStringLiteral("<Add new>"));
        if (data::Recordset* rs = datMakes->recordset()) {
            const int m = rs->fieldIndex(QStringLiteral("Make"));
            const int mo = rs->fieldIndex(QStringLiteral("Model"));
            for (const auto& row : rs->rows()) {
                if (m < 0 || mo < 0 || row.values[static_cast<size_t>(m)].toString() != make)
                    continue;
                const data::Value& model = row.values[static_cast<size_t>(mo)];
                if (!model.isNull() && Combo2[1]->findExact(model.toString()) < 0)
                    Combo2[1]->addEntry(model.toString());
            }
        }
        Combo2[1]->setEnabled(true);
        return;
    }
    if (index != 1)
        return;
    if (Combo2[1]->listIndex() == 0) {
        Combo2[1]->hide();
        txtFields[3]->setVisible(true);
        focusField(3);
        return;
    }
    if (Combo2[1]->listIndex() < 0)
        return;
    const QString make = Combo2[0]->text();
    const QString model = Combo2[1]->text();
    txtFields[3]->setText(model);
    const QString reg = txtFields[0]->text().trimmed();
    if (reg.isEmpty()) {
        // Components without an aircraft would be lost in the file.
        screens::msgBox(this,
                        QStringLiteral("Enter the registration number first; then choose the "
                                       "model again to copy its components."),
                        MsgButtons::Ok, MsgIcon::Information, QStringLiteral("Missing data"));
        screens::reactivateWindow(this);
        focusField(0);
        return;
    }
    const QString mainFile = data::dataFileName(dataPath_, data::files::kMain);
    if (!backup::backUpBeforeChange(this, {mainFile}, backup::Reason::BeforeTemplate,
                                    QStringLiteral("a template's components are copied"))) {
        screens::reactivateWindow(this);
        return;
    }
    try {
        const auto rows = readTemplate(templatesFile(), make, model);
        applyTemplate(mainFile, txtFields[0]->text(), make, rows);
    } catch (const data::DbError& e) {
        screens::msgBox(this,
                        QStringLiteral("The template of %1 %2 could not be copied: %3")
                            .arg(make, model, e.text()),
                        MsgButtons::Ok, MsgIcon::Information, QStringLiteral("Error"));
        screens::reactivateWindow(this);
        return;
    }
    requeryComponents(componentListSql(currentRegNum(), showRecords(), OrderBy::ItemNumber));
}

void frmAircraft::cmdTemplate_Click() {
    const QString typedMake = txtFields[2]->text();
    const QString model = txtFields[3]->text();
    if (typedMake.isEmpty() || model.isEmpty())
        return;
    // The make names its template table: blanks around it are no part of the name.
    const QString make = typedMake.trimmed();
    auto fail = [this](const QString& text) {
        screens::msgBox(this, text, MsgButtons::Ok, MsgIcon::Information,
                        QStringLiteral("Save as Template"));
        screens::reactivateWindow(this);
    };
    const QString problem = makeNameProblem(make);
    if (!problem.isEmpty()) {
        fail(problem);
        return;
    }
    grdDataGrid->commitPendingRow();
    std::vector<TemplateRow> rows;
    if (data::Recordset* rs = datSecondaryRS->recordset()) {
        auto at = [rs](const auto& row, const char* column) {
            const int i = rs->fieldIndex(QString::fromLatin1(column));
            return i < 0 ? data::Value() : row.values[static_cast<size_t>(i)];
        };
        for (const auto& row : rs->rows()) {
            rows.push_back({at(row, "ItemNumber"), at(row, "Manufacturer"), at(row, "Description"),
                            at(row, "PartNumber"), at(row, "Assembly"), at(row, "LifeNumber"),
                            at(row, "LifeBasis"), at(row, "ReplaceCost")});
        }
    }
    try {
        saveTemplate(templatesFile(), make, model, rows);
    } catch (const data::DbError& e) {
        fail(QStringLiteral("The template of %1 %2 could not be saved: %3")
                 .arg(make, model, e.text()));
        return;
    }
    if (grdDataGrid->rowCount() > 0)
        grdDataGrid->setCurrentRow(0);
}

void frmAircraft::cmdSave_Click() {
    if (txtFields[0]->text().isEmpty() && Combo1->text().isEmpty())
        return;
    grdDataGrid->commitPendingRow();
    saving_ = true;
    saveError_.clear();
    const bool ok = datPrimaryRS->updateRecord();
    saving_ = false;
    if (!ok) {
        // A row refused before writing (no registration) was reported by the refusal.
        if (!saveError_.isEmpty()) {
            screens::msgBox(this, saveError_, MsgButtons::Ok, MsgIcon::Information,
                            QStringLiteral("Error"));
            screens::reactivateWindow(this);
        }
        return;
    }
    SetCleanState();
}

void frmAircraft::cmdDelete_Click() {
    const MsgAnswer a =
        screens::msgBox(this, QStringLiteral("OK to delete Aircraft?"), MsgButtons::YesNo,
                        MsgIcon::None, QStringLiteral("Delete entire aircraft"), MsgAnswer::Yes);
    screens::reactivateWindow(this);
    if (a != MsgAnswer::Yes)
        return;
    auto db = datPrimaryRS->database();
    data::Recordset* rs = datPrimaryRS->recordset();
    if (!db || !rs || !rs->hasCurrent() || datPrimaryRS->isAddingNew())
        return;
    const data::Value reg = rs->value(QStringLiteral("RegNum"));
    // The aircraft goes with all of its components and oil samples, whatever the list
    // shows, or nothing goes at all.
    try {
        data::Transaction tx(*db);
        if (!reg.isNull()) {
            db->executeBound(QStringLiteral("DELETE FROM Parts WHERE RegNum = ?1"), {reg});
            db->executeBound(QStringLiteral("DELETE FROM Oil WHERE RegNum = ?1"), {reg});
        }
        screens::SuppressReposition = true;
        const bool deleted = datPrimaryRS->deleteCurrent();
        screens::SuppressReposition = false;
        if (!deleted)
            return;  // reported; the transaction rolls back
        tx.commit();
    } catch (const data::DbError& e) {
        screens::SuppressReposition = false;
        screens::msgBox(this, e.text(), MsgButtons::Ok, MsgIcon::Information,
                        QStringLiteral("Error"));
        datPrimaryRS->refresh();
        return;
    }
    const int entry = Combo1->findExact(reg.toString());
    if (entry >= 0) {
        screens::SuppressReposition = true;
        Combo1->removeItem(entry);
        screens::SuppressReposition = false;
    }
    if (aircraftTableEmpty()) {
        // The last aircraft is gone: a new blank row takes its place.
        cmdAdd_Click();
        return;
    }
    datPrimaryRS_Reposition();
}

void frmAircraft::cmdClose_Click() {
    screens::MousePointer::setDefault();
    close();
}

void frmAircraft::closeEvent(QCloseEvent* event) {
    switch (screens::askToSaveOnClose(this, cmdSave->isEnabled())) {
        case screens::CloseDecision::Stay:
            event->ignore();
            return;
        case screens::CloseDecision::SaveThenClose:
            cmdSave_Click();
            break;
        case screens::CloseDecision::Close:
            break;
    }
    closing_ = true;
    grdDataGrid->commitPendingRow();
    if (!datPrimaryRS->closeSource()) {
        const MsgAnswer a = screens::msgBox(
            this,
            QStringLiteral("The aircraft could not be saved. Close without saving the changes?"),
            MsgButtons::YesNo, MsgIcon::Question, QString(), MsgAnswer::No);
        if (a != MsgAnswer::Yes) {
            closing_ = false;
            screens::reactivateWindow(this);
            event->ignore();
            return;
        }
        datPrimaryRS->clearChanged();
        datPrimaryRS->closeSource();
    }
    // The grid lets go of the component list before it is closed: the grid's header and
    // rows are still drawn while the window hides.
    grdDataGrid->setRecordset(nullptr);
    datSecondaryRS->closeSource();
    screens::SuppressReposition = false;
    screens::saveScreenLayout(this, grdDataGrid);
    Form_Unload();
    event->accept();
}

void frmAircraft::Form_Unload() {
    screens::MousePointer::setDefault();
}

void frmAircraft::SetEditedState() {
    screens::setEditedButtons(true, {cmdSave}, {cmdAdd, cmdClose, cmdDelete});
}

void frmAircraft::SetCleanState() {
    screens::setEditedButtons(false, {cmdSave}, {cmdAdd, cmdClose, cmdDelete});
    fraUtilisation->refresh();  // a saved meter or total entry changes the figures
}

void frmAircraft::cmdJournal_Click() {
    const QString reg = currentRegNum();
    if (reg.isEmpty()) {
        screens::msgBox(this, QStringLiteral("Choose an aircraft to see its journal."),
                        screens::MsgButtons::Ok, screens::MsgIcon::Information,
                        QStringLiteral("Journal"));
        screens::reactivateWindow(this);
        return;
    }
    auto* screen = new journal::frmJournal(data::dataFileName(dataPath_, data::files::kMain), reg);
    screen->Form_Load();
    screen->show();
}

void frmAircraft::txtFields_Change(int index) {
    Q_UNUSED(index);
    SetEditedState();
}

void frmAircraft::grdDataGrid_Change() {
    SetEditedState();
}

int frmAircraft::fieldIndexOf(const QObject* w) const {
    if (w == txtOwner)
        return 8;
    for (size_t i = 0; i < txtFields.size(); ++i) {
        if (txtFields[i] && txtFields[i] == w)
            return static_cast<int>(i);
    }
    return -1;
}

void frmAircraft::focusField(int index) {
    QWidget* w = index == 8 ? static_cast<QWidget*>(txtOwner)
                            : static_cast<QWidget*>(txtFields[static_cast<size_t>(index)]);
    if (w)
        w->setFocus(Qt::OtherFocusReason);
}

bool frmAircraft::eventFilter(QObject* watched, QEvent* event) {
    const int index = fieldIndexOf(watched);
    if (index < 0)
        return QWidget::eventFilter(watched, event);
    switch (screens::fieldEventOf(event)) {
        case screens::FieldEvent::GotFocus:
            txtFields_GotFocus(index);
            break;
        case screens::FieldEvent::LeftByUser:
            txtFields_LostFocus(index);
            break;
        case screens::FieldEvent::Enter:
            txtFields_KeyPress(index, 13);
            return index != 8;  // in the owner's address Enter begins a new line
        case screens::FieldEvent::None:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void frmAircraft::txtFields_GotFocus(int index) {
    if (index == 8)
        return;
    // The whole text is selected: typing replaces the stored value.
    txtFields[static_cast<size_t>(index)]->selectAll();
}

void frmAircraft::txtFields_KeyPress(int index, int key) {
    if (key != 13)
        return;
    const int next = nextFieldOnEnter(EntryScreen::AircraftSetup, index);
    if (next >= 0)
        focusField(next);
}

void frmAircraft::txtFields_LostFocus(int index) {
    if (!cmdSave->isEnabled())
        return;  // nothing changed on the screen: nothing to read, ask or save
    if (index == 0) {
        registrationRule();
        return;
    }
    if ((index >= 1 && index <= 6) || index == 8) {
        otherFieldRule();
        return;
    }
    aircraft::BoundEntryHost host(this, datPrimaryRS, txtFields[static_cast<size_t>(index)],
                                  [this] {
                                      // A row that cannot be written is reported by the record
                                      // source; the screen then stays in the edited state with the
                                      // entry still on it. Saving a new aircraft makes it the
                                      // current row: the focus stays where the user sent it.
                                      const QScopedValueRollback<bool> keep(entrySaving_, true);
                                      if (datPrimaryRS->updateRecord())
                                          SetCleanState();
                                  });
    if (index == 11)
        applyMeterRule(host, 1, EntryScreen::AircraftSetup);
    else if (index == 7)
        applyMeterRule(host, 2, EntryScreen::AircraftSetup);
    else if (index == 12)
        applyTotalRule(host, Total::FlightTime);
    else if (index == 13)
        applyTotalRule(host, Total::Landings);
    else if (index == 14)
        applyTotalRule(host, Total::Cycles);
    else if (index == 15)
        applyTotalRule(host, Total::RIN);
}

void frmAircraft::registrationRule() {
    QLineEdit* box = txtFields[0];
    box->setText(box->text().toUpper());
    const QString text = box->text();
    if (!text.isEmpty()) {
        if (datPrimaryRS->isAddingNew())
            enteredRegNum_ = text;
        int at = Combo1->findExact(text);
        if (at < 0) {
            Combo1->addEntry(text);
            at = Combo1->findExact(text);
        }
        screens::SuppressReposition = false;
        Combo1->setListIndex(at);
        Combo1->setVisible(true);
        Combo1->setEnabled(true);
        focusField(1);
        return;
    }
    const MsgAnswer a = screens::msgBox(
        this, QStringLiteral("A registration number must be entered"), MsgButtons::OkCancel,
        MsgIcon::Exclamation, QStringLiteral("Missing data"), MsgAnswer::Ok);
    screens::reactivateWindow(this);
    if (a == MsgAnswer::Ok) {
        focusField(0);
        return;
    }
    // Cancel abandons the new aircraft.
    datPrimaryRS->clearChanged();
    Combo1->setVisible(true);
    Combo1->setEnabled(true);
    screens::SuppressReposition = false;
    if (aircraftTableEmpty()) {
        cmdAdd_Click();
        return;
    }
    datPrimaryRS->moveFirst();
}

void frmAircraft::otherFieldRule() {
    if (aircraftTableEmpty())
        focusField(0);
}

void frmAircraft::grdDataGrid_OnAddNew() {
    using data::Value;
    grdDataGrid->setPendingValue(col::RegNum, Value(txtFields[0]->text()));
    grdDataGrid->setPendingValue(col::MeterNumber, Value(1));
    grdDataGrid->setPendingValue(col::Active, Value(true));
    grdDataGrid->setPendingValue(col::DatePurchased, Value(" "));
    grdDataGrid->setPendingValue(col::InstallDate, Value(" "));
    grdDataGrid->setPendingValue(col::ReplaceCost, Value(0));
    grdDataGrid->setPendingValue(col::LifeNumber, Value(0));
    grdDataGrid->setPendingValue(col::LifeBasis, Value("RT"));
    const QString make = txtFields[2]->text();
    grdDataGrid->setPendingValue(col::Manufacturer,
                                 Value(make.isEmpty() ? QStringLiteral(" ") : make));
    grdDataGrid->setPendingValue(col::OilAnalysis, Value(false));
}

void frmAircraft::grdDataGrid_AfterColEdit(int c) {
    if (c == col::Active || c == col::OilAnalysis) {
        grdDataGrid->setCellValue(c, data::Value(yesNoFromText(grdDataGrid->cellText(c))));
    } else if (c == col::DatePurchased || c == col::InstallDate) {
        if (grdDataGrid->cellText(c).isEmpty())
            grdDataGrid->setCellValue(c, data::Value(" "));
    } else if (c == col::LifeBasis) {
        if (isLifeBasisCode(grdDataGrid->cellText(c))) {
            TypeRejected = 0;
        } else {
            screens::msgBox(this, QStringLiteral("Press OK to continue"), MsgButtons::Ok,
                            MsgIcon::None, QStringLiteral("Type must be RT,OH,IN,MO,LD,CY or RN"),
                            MsgAnswer::Ok);
            screens::reactivateWindow(this);
            TypeRejected = 1;
        }
    }
}

void frmAircraft::grdDataGrid_AfterColUpdate(int c) {
    if (c != col::ReplaceCost && c != col::LifeNumber)
        return;
    const data::Value cost = grdDataGrid->cellValue(col::ReplaceCost);
    const QString costText =
        cost.isNumber() ? cost.toString() : grdDataGrid->cellText(col::ReplaceCost);
    const data::Value life = grdDataGrid->cellValue(col::LifeNumber);
    const QString lifeText =
        life.isNumber() ? life.toString() : grdDataGrid->cellText(col::LifeNumber);
    const auto reserve =
        reservePerHour(costText, lifeText, grdDataGrid->cellValue(col::LifeBasis).toString());
    if (reserve)
        grdDataGrid->setCellValue(col::ReservePerHour, data::Value(*reserve));
}

void frmAircraft::grdDataGrid_DblClick() {
    const int c = grdDataGrid->currentColumn();
    if (c != col::Active && c != col::OilAnalysis)
        return;
    const data::Value v = grdDataGrid->cellValue(c);
    const bool isTrue = v.isNumber() && v.toInt() == -1;
    grdDataGrid->setCellValue(c, data::Value(!isTrue));
}

void frmAircraft::grdDataGrid_RowColChange(int lastRow, int lastCol) {
    if (TypeRejected == 1) {
        grdDataGrid->setCurrentRow(lastRow);
        grdDataGrid->setCurrentColumn(lastCol);
        grdDataGrid->setFocus();
        TypeRejected = 0;
        return;
    }
    const data::Value d = grdDataGrid->cellValue(col::Description);
    if (!d.isNull())
        grdDataGrid->setToolTip(d.toString());
}

void frmAircraft::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmAircraft::Form_Resize() {
    if (!datPrimaryRS || !picButtons)
        return;
    const double scale = screens::layoutScale(this, 285);
    const int navHeight = std::max(screens::twips(345, scale), datPrimaryRS->sizeHint().height());
    const int buttonHeight = picButtons->childrenRect().height();
    datPrimaryRS->setGeometry(0, height() - navHeight, width(), navHeight);
    picButtons->setGeometry(0, height() - navHeight - buttonHeight, width(), buttonHeight);
    screens::applyGridLayoutA(this, grdDataGrid, datPrimaryRS, picButtons);
}

}  // namespace velmora::aircraft
