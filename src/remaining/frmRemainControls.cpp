// The controls of the time remaining screen: built from TimeRemainingLayout and connected to
// their handlers.

#include "frmRemain.h"

#include "RemainingGridColumns.h"
#include "TimeRemainingLayout.h"

#include "screens/common/AircraftChooser.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/ButtonAccelerators.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/GridExportMenu.h"
#include "screens/common/Twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>

namespace velmora::remaining {

using screens::BoundRecordSource;

void frmRemain::buildControls() {
    const double scale = screens::layoutScale(this, layout::kBoxHeight);
    buildEntryFields(scale);
    buildForecasts(scale);
    buildChoices(scale);
    // Labels take the room their text needs; the upper part moves right if they would
    // reach past the window's left edge.
    screens::shiftIntoView(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
    buildGridAndButtons(scale);
    buildRecordSource();

    auto tw = [scale](int t) { return screens::twips(t, scale); };
    const int navHeight =
        std::max(tw(layout::kNavigationHeight), datPrimaryRS->sizeHint().height());
    datPrimaryRS->setGeometry(0, picButtons->geometry().bottom() + 1 + tw(45), tw(layout::kWidth),
                              navHeight);
    // Below the grid the design keeps these gaps; a larger window gives the grid the room.
    gridToButtons_ = picButtons->y() - grdDataGrid->geometry().bottom() - 1;
    buttonsToNavigation_ = datPrimaryRS->y() - picButtons->geometry().bottom() - 1;
    // As wide as designed, or as the frames at the top need where the user's font is larger.
    const int width =
        std::max(tw(layout::kWidth),
                 screens::contentRight(this, {grdDataGrid, picButtons, datPrimaryRS}) + tw(60));
    const int height = datPrimaryRS->geometry().bottom() + 1;
    setMinimumHeight(height - grdDataGrid->height() +
                     4 * grdDataGrid->verticalHeader()->defaultSectionSize());
    resize(width, height);
    screens::focusButtonsOnAccelerator(this);
}

void frmRemain::buildEntryFields(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    const int boxHeight = tw(layout::kBoxHeight);

    auto* chooserLabel = new QLabel(QString::fromLatin1(layout::kChooserCaption), this);
    chooserLabel->setGeometry(screens::twips(layout::kChooserLabel, scale));
    lblLabels.add(0, chooserLabel);
    Combo1 = new screens::Chooser(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(screens::twips(layout::kAircraftChooser, scale));
    chooserLabel->setBuddy(Combo1);
    connect(Combo1, &screens::Chooser::clicked, this, &frmRemain::Combo1_Click);

    Frame2 = new QGroupBox(QStringLiteral("Total"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(screens::twips(layout::kTotalsFrame, scale));
    for (const layout::FieldPlace& f : layout::kFieldPlaces) {
        const int index = entry::fieldIndex(f.field);
        QWidget* host = f.inTotals ? static_cast<QWidget*>(Frame2) : this;
        auto* box = new QLineEdit(host);
        box->setObjectName(QStringLiteral("txtFields_%1").arg(index));
        auto* label = new QLabel(QString::fromLatin1(f.caption), host);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(f.label));
        label->setBuddy(box);
        box->setGeometry(tw(f.left), tw(f.top), tw(f.width), boxHeight);
        if (f.inTotals)
            label->setGeometry(tw(f.left), tw(f.top) - boxHeight, tw(f.width), boxHeight);
        else
            screens::placeLabelBefore(label, box);
        // Meter readings and totals are numbers.
        if (entry::timeRemainingField(index)->rule != entry::FieldRule::Text)
            box->setAlignment(Qt::AlignRight);
        txtFields.add(index, box);
        lblLabels.add(f.label, label);
        watchField(box, index);
        connect(box, &QLineEdit::textChanged, this, [this, index] { txtFields_Change(index); });
    }
    Label2 = new QLabel(
        QStringLiteral("To enter change in values, precede number with plus sign (+2)"), Frame2);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(tw(120), tw(480) + boxHeight + tw(60), tw(5200), boxHeight);
}

void frmRemain::buildForecasts(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    const int boxHeight = tw(layout::kBoxHeight);
    SSFrame1 =
        new QGroupBox(QStringLiteral("Forecast   (enter increase from present values)"), this);
    SSFrame1->setObjectName(QStringLiteral("SSFrame1"));
    SSFrame1->setGeometry(screens::twips(layout::kForecastFrame, scale));
    for (int i = 0; i < 6; ++i) {
        const int column = i / 3, row = i % 3;
        auto* label = new QLabel(
            QString::fromLatin1(layout::kForecasts[static_cast<size_t>(i)].caption), SSFrame1);
        label->setObjectName(QStringLiteral("Label1_%1").arg(i));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(tw(60 + column * 1980), tw(360 + row * 420), tw(855), boxHeight);
        auto* box = new QLineEdit(SSFrame1);
        box->setObjectName(QStringLiteral("Text1_%1").arg(i));
        box->setAlignment(Qt::AlignRight);
        box->setGeometry(tw(975 + column * 1980), tw(360 + row * 420), tw(945), boxHeight);
        label->setBuddy(box);
        connect(box, &QLineEdit::textChanged, this, [this, i] { Text1_Change(i); });
        box->installEventFilter(this);
        Text1[static_cast<size_t>(i)] = box;
        Label1[static_cast<size_t>(i)] = label;
    }

    lblForecastProblem = new QLabel(this);
    lblForecastProblem->setObjectName(QStringLiteral("lblForecastProblem"));
    lblForecastProblem->setWordWrap(true);
    lblForecastProblem->setFrameShape(QFrame::Box);
    lblForecastProblem->setMargin(2);
    lblForecastProblem->setPalette(QToolTip::palette());
    lblForecastProblem->setAutoFillBackground(true);
    lblForecastProblem->setGeometry(SSFrame1->x(), SSFrame1->geometry().bottom() + 1,
                                    SSFrame1->width(), boxHeight);
    lblForecastProblem->hide();
}

void frmRemain::buildChoices(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    Frame1 = new QGroupBox(QStringLiteral("Show"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(screens::twips(layout::kShowFrame, scale));
    for (int i = 0; i < 8; ++i) {
        const int column = i / 4, row = i % 4;
        auto* box = new QCheckBox(
            QString::fromLatin1(layout::kShows[static_cast<size_t>(i)].caption), Frame1);
        box->setObjectName(QStringLiteral("chkFields_%1").arg(i));
        box->setGeometry(tw(120 + column * 2100), tw(270 + row * 240), tw(2000), tw(240));
        connect(box, &QCheckBox::clicked, this, [this, i] { chkFields_Click(i); });
        chkFields[static_cast<size_t>(i)] = box;
    }

    Frame3 = new QGroupBox(QStringLiteral("Report"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(screens::twips(layout::kReportFrame, scale));
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(
            QString::fromLatin1(layout::kViewCaptions[static_cast<size_t>(i)]), Frame3);
        b->setObjectName(QStringLiteral("Option1_%1").arg(i));
        b->setGeometry(tw(90), tw(300 + i * 300), tw(1200), tw(layout::kBoxHeight));
        connect(b, &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
        Option1[static_cast<size_t>(i)] = b;
    }
    Option1[0]->setChecked(true);
}

void frmRemain::buildGridAndButtons(double scale) {
    auto tw = [scale](int t) { return screens::twips(t, scale); };
    grdDataGrid = new screens::DataGrid(this);
    grdDataGrid->setObjectName(QStringLiteral("grdDataGrid"));
    grdDataGrid->setColumns(remainingGridColumns(levels_));
    grdDataGrid->setTwoLineHeaders(true);
    grdDataGrid->setAllowAddNew(false);
    grdDataGrid->setAllowDelete(false);
    grdDataGrid->setAllowUpdate(false);
    grdDataGrid->setGeometry(screens::twips(layout::kGrid, scale));
    screens::installGridExport(grdDataGrid, [this] {
        return QStringLiteral("Time Remaining - ") +
               datPrimaryRS->currentValue(QStringLiteral("RegNum")).toString();
    });
    connect(grdDataGrid, &screens::DataGrid::RowColChange, this,
            &frmRemain::grdDataGrid_RowColChange);

    picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    const int buttonHeight = std::max(tw(layout::kButtonHeight), QPushButton().sizeHint().height());
    QPushButton** buttons[] = {&cmdClose, &cmdSave, &cmdPrint[0], &cmdPrint[1]};
    for (size_t i = 0; i < layout::kButtons.size(); ++i) {
        const layout::ButtonPlace& b = layout::kButtons[i];
        auto* button = new QPushButton(QString::fromLatin1(b.caption), picButtons);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setGeometry(tw(b.left), 0,
                            std::max(tw(layout::kButtonWidth), button->sizeHint().width()),
                            buttonHeight);
        *buttons[i] = button;
    }
    connect(cmdClose, &QPushButton::clicked, this, &frmRemain::cmdClose_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmRemain::cmdSave_Click);
    connect(cmdPrint[0], &QPushButton::clicked, this, [this] { cmdPrint_Click(0); });
    connect(cmdPrint[1], &QPushButton::clicked, this, [this] { cmdPrint_Click(1); });
    picButtons->setGeometry(0, tw(layout::kButtonBarTop), tw(layout::kWidth), buttonHeight);
    setStateButtons(cmdSave, {cmdClose, cmdPrint[0], cmdPrint[1]});
}

void frmRemain::buildRecordSource() {
    datPrimaryRS = new BoundRecordSource(this);
    datPrimaryRS->setObjectName(QStringLiteral("datPrimaryRS"));
    datPrimaryRS->setCaption(screens::aircraftNavigationCaption());
    for (const auto& f : entry::kTimeRemainingFields)
        datPrimaryRS->bind(txtFields[entry::fieldIndex(f.field)], QString::fromLatin1(f.column));
    for (size_t i = 0; i < Text1.size(); ++i)
        datPrimaryRS->bind(Text1[i], QString::fromLatin1(layout::kForecasts[i].column));
    for (size_t i = 0; i < chkFields.size(); ++i)
        datPrimaryRS->bind(chkFields[i], QString::fromLatin1(layout::kShows[i].column));
    connect(datPrimaryRS, &BoundRecordSource::reposition, this,
            &frmRemain::datPrimaryRS_Reposition);
    datPrimaryRS->setErrorHandler(
        [this](data::ErrorNumber number) { return datPrimaryRS_Error(static_cast<int>(number)); });
    datPrimaryRS->setValidateHandler(
        [this](Action action, bool save) { return datPrimaryRS_Validate(action, save); });
}

void frmRemain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmRemain::Form_Resize() {
    if (!datPrimaryRS || gridToButtons_ < 0)
        return;
    // The grid takes the window's width, and its height down to the buttons, which stay at
    // the bottom with the navigation bar: a larger window shows more of the list. At the
    // window's first size everything stands where it was laid out.
    const QRect inner = contentsRect();
    const int navHeight = datPrimaryRS->height();
    const int navTop = inner.bottom() + 1 - navHeight;
    datPrimaryRS->setGeometry(inner.left(), navTop, inner.width(), navHeight);
    const int barTop = navTop - buttonsToNavigation_ - picButtons->height();
    picButtons->setGeometry(inner.left(), barTop, inner.width(), picButtons->height());
    grdDataGrid->resize(inner.width(), std::max(0, barTop - gridToButtons_ - grdDataGrid->y()));
}

}  // namespace velmora::remaining
