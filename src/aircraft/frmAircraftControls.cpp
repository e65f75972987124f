// The controls of the aircraft set-up screen: built from AircraftSetupLayout and connected to
// their handlers.

#include "frmAircraft.h"

#include "AircraftSetupLayout.h"
#include "ComponentGridColumns.h"

#include "journal/screen/UtilisationPanel.h"

#include "screens/common/AircraftChooser.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/ButtonAccelerators.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/GridExportMenu.h"
#include "screens/common/ScreenConventions.h"
#include "screens/common/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace velmora::aircraft {

using screens::BoundRecordSource;

void frmAircraft::buildControls() {
    const double scale = screens::layoutScale(this, layout::kBoxHeight);
    buildEntryFields(scale);
    buildChoosers(scale);
    buildOptions(scale);
    // Labels take the room their text needs; the upper half moves right if they would
    // reach past the window's left edge.
    screens::shiftIntoView(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    buildGrid(scale);
    buildButtons(scale);
    buildMoveControls(scale);
    buildRecordSources();

    // As wide as designed, or as the fields at the top need where the user's font is larger.
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    const int width = std::max(tw(layout::kWidth),
                               screens::contentRight(this, {grdDataGrid, picButtons, datPrimaryRS,
                                                            datSecondaryRS, datMakes}) +
                                   tw(60));
    const int navHeight =
        std::max(tw(layout::kNavigationHeight), datPrimaryRS->sizeHint().height());
    resize(width, tw(layout::kGrid.top) + tw(layout::kGrid.height) + picButtons->height() +
                      navHeight + tw(60));
    setMinimumWidth(fraUtilisation->geometry().right() + tw(60));  // a remembered size too
    Form_Resize();
    screens::focusButtonsOnAccelerator(this);
    buildKeys();
}

void frmAircraft::buildEntryFields(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    const int boxHeight = tw(layout::kBoxHeight);
    Frame1 = new QGroupBox(QStringLiteral("Totals"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(screens::twips(layout::kTotalsFrame, scale));

    for (const layout::FieldPlace& f : layout::kFieldPlaces) {
        const int index = entry::fieldIndex(f.field);
        QWidget* host = f.inTotals ? static_cast<QWidget*>(Frame1) : this;
        auto* box = new QLineEdit(host);
        box->setObjectName(QStringLiteral("txtFields_%1").arg(index));
        if (f.maxLength > 0)
            box->setMaxLength(f.maxLength);
        auto* label = new QLabel(QString::fromLatin1(f.label), host);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(index));
        label->setBuddy(box);
        box->setGeometry(tw(f.left), tw(f.top), tw(f.width), boxHeight);
        if (f.inTotals)
            label->setGeometry(tw(f.left), tw(f.top - 300), tw(f.width), boxHeight);
        else
            screens::placeLabelBefore(label, box);
        // Meter readings and totals are numbers.
        if (entry::aircraftSetupField(index)->rule != entry::FieldRule::Text &&
            f.field != Field::RegNum)
            box->setAlignment(Qt::AlignRight);
        txtFields.add(index, box);
        lblLabels.add(index, label);
        watchField(box, index);
        connect(box, &QLineEdit::textChanged, this, [this, index] { txtFields_Change(index); });
    }
    // The registration number is typed in capitals.
    QLineEdit* reg = field(Field::RegNum);
    connect(reg, &QLineEdit::textEdited, this, [reg](const QString& t) {
        const QString upper = t.toUpper();
        if (upper != t) {
            const int pos = reg->cursorPosition();
            reg->setText(upper);
            reg->setCursorPosition(pos);
        }
    });

    const int owner = entry::fieldIndex(Field::Owner);
    txtOwner = new QPlainTextEdit(this);
    txtOwner->setObjectName(QStringLiteral("txtFields_%1").arg(owner));
    txtOwner->setGeometry(screens::twips(layout::kOwner, scale));
    txtOwner->setTabChangesFocus(true);
    watchField(txtOwner, owner);
    connect(txtOwner, &QPlainTextEdit::textChanged, this,
            [this, owner] { txtFields_Change(owner); });
    auto* ownerLabel = new QLabel(QString::fromLatin1(layout::kOwnerLabel), this);
    ownerLabel->setGeometry(txtOwner->x(), txtOwner->y() - boxHeight, txtOwner->width(), boxHeight);
    ownerLabel->setBuddy(txtOwner);
    lblLabels.add(owner, ownerLabel);

    Label2 = new QLabel(
        QStringLiteral("To enter change in values, precede number with plus sign (+2)"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(screens::twips(layout::kPlusSignHint, scale));
}

void frmAircraft::buildChoosers(double scale) {
    Combo1 = new screens::Chooser(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(screens::twips(layout::kAircraftChooser, scale));
    Combo1->lower();  // only its drop-down button shows beside the registration box
    field(Field::RegNum)->raise();
    connect(Combo1, &screens::Chooser::clicked, this, &frmAircraft::Combo1_Click);

    // The template make and model choosers stand in place of the Make and Model boxes.
    const Field places[2] = {Field::Make, Field::Model};
    for (int i = 0; i < 2; ++i) {
        auto* c = new screens::Chooser(this);
        c->setObjectName(QStringLiteral("Combo2_%1").arg(i));
        c->setGeometry(field(places[i])->geometry());
        c->hide();
        connect(c, &screens::Chooser::clicked, this, [this, i] { Combo2_Click(i); });
        Combo2[static_cast<size_t>(i)] = c;
    }
}

void frmAircraft::buildOptions(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    Frame3 = new QGroupBox(QStringLiteral("Show Records"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(screens::twips(layout::kShowRecordsFrame, scale));
    Frame2 = new QGroupBox(QStringLiteral("Order by"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(screens::twips(layout::kOrderByFrame, scale));
    for (int i = 0; i < 6; ++i) {
        QGroupBox* group = i < 3 ? Frame3 : Frame2;
        auto* b = new QRadioButton(
            QString::fromLatin1(layout::kOptionCaptions[static_cast<size_t>(i)]), group);
        b->setObjectName(QStringLiteral("Option1_%1").arg(i));
        const int row = i < 3 ? i : 5 - i;  // Item #, Assembly, Inspection from the top
        b->setGeometry(tw(90), tw(300) + row * tw(320), group->width() - tw(120),
                       tw(layout::kBoxHeight));
        connect(b, &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
        Option1[static_cast<size_t>(i)] = b;
    }
    Option1[0]->setChecked(true);
    Option1[5]->setChecked(true);
}

void frmAircraft::buildGrid(double scale) {
    grdDataGrid = new screens::DataGrid(this);
    grdDataGrid->setObjectName(QStringLiteral("grdDataGrid"));
    grdDataGrid->setColumns(componentGridColumns());
    grdDataGrid->setTwoLineHeaders(true);
    grdDataGrid->setAllowAddNew(true);
    grdDataGrid->setAllowDelete(true);
    grdDataGrid->setAllowUpdate(true);
    grdDataGrid->setGeometry(screens::twips(layout::kGrid, scale));
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
    // Components name their aircraft: a new aircraft is written before them.
    grdDataGrid->setBeforeUpdateHandler([this] { return !componentsMayBeWritten(); });
    connect(grdDataGrid, &screens::DataGrid::writeFailed, this,
            [this](int, const QString& text) { screens::showDataError(this, text); });
}

void frmAircraft::buildButtons(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    const int buttonHeight = std::max(tw(layout::kButtonHeight), QPushButton().sizeHint().height());
    QPushButton** buttons[] = {&cmdAdd, &cmdDelete, &cmdSave, &cmdClose, &cmdTemplate};
    for (size_t i = 0; i < layout::kButtons.size(); ++i) {
        const layout::ButtonPlace& b = layout::kButtons[i];
        auto* button = new QPushButton(QString::fromLatin1(b.caption), picButtons);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setGeometry(tw(b.left), 0, tw(b.width), buttonHeight);
        *buttons[i] = button;
    }
    cmdJournal = new QPushButton(QString::fromLatin1(layout::kJournalButton.caption), picButtons);
    cmdJournal->setObjectName(QString::fromLatin1(layout::kJournalButton.name));
    cmdJournal->setGeometry(tw(layout::kJournalButton.left), 0, tw(layout::kJournalButton.width),
                            buttonHeight);
    connect(cmdJournal, &QPushButton::clicked, this, &frmAircraft::cmdJournal_Click);
    cmdRename = new QPushButton(QString::fromLatin1(layout::kRenameButton.caption), picButtons);
    cmdRename->setObjectName(QString::fromLatin1(layout::kRenameButton.name));
    cmdRename->setGeometry(tw(layout::kRenameButton.left), 0, tw(layout::kRenameButton.width),
                           buttonHeight);
    cmdRename->setToolTip(QStringLiteral(
        "Give this aircraft another registration; its components and oil samples go with it"));
    connect(cmdRename, &QPushButton::clicked, this, &frmAircraft::cmdRename_Click);
    fraUtilisation = new journal::UtilisationPanel(this);
    fraUtilisation->setGeometry(screens::twips(layout::kUtilisationPanel, scale));
    picButtons->resize(picButtons->width(), buttonHeight);
    cmdTemplate->setToolTip(
        QStringLiteral("Store the components listed as the template of this make and model"));
    connect(cmdTemplate, &QPushButton::clicked, this, &frmAircraft::cmdTemplate_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmAircraft::cmdAdd_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmAircraft::cmdDelete_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmAircraft::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmAircraft::cmdClose_Click);
    setStateButtons(cmdSave, {cmdAdd, cmdClose, cmdDelete, cmdRename});
}

void frmAircraft::buildRecordSources() {
    datPrimaryRS = new BoundRecordSource(this);
    datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));
    datPrimaryRS->setCaption(screens::aircraftNavigationCaption());
    for (const auto& f : entry::kAircraftSetupFields) {
        if (f.field != Field::Owner)
            datPrimaryRS->bind(field(f.field), QString::fromLatin1(f.column));
    }
    datPrimaryRS->bind(txtOwner, QStringLiteral("Owner"));
    // The registration names the aircraft: typed over on one that exists, it goes to another
    // (registrationRule), and only a new aircraft takes it from the box.
    datPrimaryRS->setWrittenOnNewRowOnly(field(Field::RegNum));
    connect(datPrimaryRS, &BoundRecordSource::reposition, this,
            &frmAircraft::datPrimaryRS_Reposition);
    datPrimaryRS->setErrorHandler(
        [this](data::ErrorNumber number) { return datPrimaryRS_Error(static_cast<int>(number)); });
    datPrimaryRS->setValidateHandler(
        [this](Action action, bool save) { return datPrimaryRS_Validate(action, save); });

    datSecondaryRS = new BoundRecordSource(this);
    datSecondaryRS->setObjectName(QStringLiteral("datSecondaryRS"));
    datSecondaryRS->hide();
    connect(datSecondaryRS, &BoundRecordSource::refreshed, this,
            [this] { grdDataGrid->setRecordset(datSecondaryRS->recordset()); });
    datSecondaryRS->setErrorHandler(
        [this](data::ErrorNumber) { return showError(*datSecondaryRS); });

    datMakes = new BoundRecordSource(this);
    datMakes->setObjectName(QStringLiteral("datMakes"));
    datMakes->hide();
    datMakes->setErrorHandler([this](data::ErrorNumber) { return showError(*datMakes); });
}

void frmAircraft::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmAircraft::Form_Resize() {
    if (!datPrimaryRS || !picButtons)
        return;
    const double scale = screens::layoutScale(this, layout::kBoxHeight);
    const int navHeight = std::max(screens::twips(layout::kNavigationHeight, scale),
                                   datPrimaryRS->sizeHint().height());
    const int buttonHeight = picButtons->childrenRect().height();
    datPrimaryRS->setGeometry(0, height() - navHeight, width(), navHeight);
    picButtons->setGeometry(0, height() - navHeight - buttonHeight, width(), buttonHeight);
    screens::applyGridLayoutA(this, grdDataGrid, datPrimaryRS, picButtons);
}

}  // namespace velmora::aircraft
