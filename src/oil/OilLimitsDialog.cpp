#include "OilLimitsDialog.h"

#include "oil/limits/OilFindings.h"

#include "data/Database.h"
#include "screens/common/Dialogs.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace velmora::oil {

namespace {

using limits::ElementLimit;
using limits::LimitScope;
using limits::LimitSet;

constexpr std::array<LimitScope, 3> kScopes = {LimitScope::Component, LimitScope::Model,
                                               LimitScope::Company};

size_t slot(LimitScope scope) {
    return static_cast<size_t>(scope);
}

QString cellText(const std::optional<double>& v) {
    return v ? limits::ppmText(*v) : QString();
}

// A typed number in the user's way of writing or with a point; empty is no limit.
bool parseCell(const QString& text, std::optional<double>* out) {
    const QString t = text.trimmed();
    out->reset();
    if (t.isEmpty())
        return true;
    bool ok = false;
    double v = QLocale().toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    *out = v;
    return true;
}

const char* const kColumnCaptions[] = {"Caution (ppm)", "Alert (ppm)",
                                       "Caution rise (ppm per 100 h)"};

}  // namespace

OilLimitsDialog::OilLimitsDialog(std::shared_ptr<data::Database> mainDb, const QString& regNum,
                                 const QString& component, QWidget* parent)
    : QDialog(parent), db_(std::move(mainDb)) {
    setObjectName(QStringLiteral("OilLimitsDialog"));
    setWindowTitle(QStringLiteral("Oil Limits"));
    limits::AircraftModel model;
    try {
        model = limits::aircraftModel(*db_, regNum);
    } catch (const data::DbError&) {
    }
    keys_[slot(LimitScope::Component)] = limits::LimitKey::forComponent(regNum, component);
    keys_[slot(LimitScope::Model)] = limits::LimitKey::forModel(model.make, model.model, component);
    keys_[slot(LimitScope::Company)] = limits::LimitKey::company();

    const QString modelName = (model.make + QLatin1Char(' ') + model.model).trimmed();
    const QString captions[] = {
        QStringLiteral("This &component (%1, %2)").arg(regNum, component),
        modelName.isEmpty() ? QStringLiteral("&Make and model (the aircraft has none)")
                            : QStringLiteral("&Make and model (%1, %2)").arg(modelName, component),
        QStringLiteral("Company &defaults (every component)"),
    };
    auto* group = new QButtonGroup(this);
    auto* scopes = new QVBoxLayout;
    for (size_t i = 0; i < kScopes.size(); ++i) {
        optScope[i] = new QRadioButton(captions[i], this);
        optScope[i]->setObjectName(QStringLiteral("optScope_%1").arg(i));
        group->addButton(optScope[i], static_cast<int>(i));
        scopes->addWidget(optScope[i]);
    }
    optScope[slot(LimitScope::Model)]->setEnabled(!modelName.isEmpty());
    optScope[0]->setChecked(true);

    grdLimits = new QTableWidget(limits::kElementCount, ColumnCount, this);
    grdLimits->setObjectName(QStringLiteral("grdLimits"));
    QStringList headers;
    for (const char* c : kColumnCaptions)
        headers << QString::fromLatin1(c);
    grdLimits->setHorizontalHeaderLabels(headers);
    QStringList rows;
    for (int e = 0; e < limits::kElementCount; ++e)
        rows << limits::elementName(e);
    grdLimits->setVerticalHeaderLabels(rows);
    grdLimits->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdLimits->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    lblHelp = new QLabel(
        QStringLiteral("An empty cell is no limit. An element without limits here takes those "
                       "of the make and model, then the company defaults. Reaching a level "
                       "counts; the rise is judged between consecutive samples whose engine "
                       "hours grow."),
        this);
    lblHelp->setWordWrap(true);

    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdSave, &QPushButton::clicked, this, &OilLimitsDialog::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(scopes);
    layout->addWidget(grdLimits, 1);
    layout->addWidget(lblHelp);
    layout->addLayout(buttons);

    try {
        for (LimitScope s : kScopes)
            sets_[slot(s)] = limits::readLimitSet(*db_, keys_[slot(s)]);
    } catch (const data::DbError& e) {
        readable_ = false;
        screens::msgBox(parent, e.text(), screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                        windowTitle());
    }
    fillTable(sets_[slot(scope_)]);
    connect(group, &QButtonGroup::idClicked, this,
            [this](int id) { setScope(kScopes[static_cast<size_t>(id)]); });

    // Every element in view without scrolling; the dialog is never made smaller than its
    // contents need.
    grdLimits->resizeColumnsToContents();
    grdLimits->resizeRowsToContents();
    const int frame = 2 * grdLimits->frameWidth();
    grdLimits->setMinimumHeight(grdLimits->horizontalHeader()->sizeHint().height() +
                                grdLimits->verticalHeader()->length() + frame);
    grdLimits->setMinimumWidth(grdLimits->verticalHeader()->sizeHint().width() +
                               grdLimits->horizontalHeader()->length() + frame);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

void OilLimitsDialog::fillTable(const LimitSet& set) {
    for (int e = 0; e < limits::kElementCount; ++e) {
        const ElementLimit& l = set[static_cast<size_t>(e)];
        const std::optional<double> values[] = {l.caution, l.alert, l.cautionRise};
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(cellText(values[c]));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdLimits->setItem(e, c, item);
        }
    }
}

data::MaybeFailure OilLimitsDialog::readTable(LimitSet* out) const {
    for (int e = 0; e < limits::kElementCount; ++e) {
        ElementLimit l;
        std::optional<double>* fields[] = {&l.caution, &l.alert, &l.cautionRise};
        for (int c = 0; c < ColumnCount; ++c) {
            const QTableWidgetItem* item = grdLimits->item(e, c);
            if (!parseCell(item ? item->text() : QString(), fields[c]))
                return data::Failure{
                    data::err::ValidationRule,
                    QStringLiteral("%1: the %2 must be a number, or empty for no limit.")
                        .arg(limits::elementName(e),
                             QString::fromLatin1(kColumnCaptions[c]).toLower())};
        }
        const QString p = limits::limitProblem(l);
        if (!p.isEmpty())
            return data::Failure{data::err::ValidationRule,
                                 limits::elementName(e) + QStringLiteral(": ") + p};
        (*out)[static_cast<size_t>(e)] = l;
    }
    return std::nullopt;
}

bool OilLimitsDialog::keepTable() {
    LimitSet set{};
    if (const auto failure = readTable(&set)) {
        screens::msgBox(this, failure->text, screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                        windowTitle());
        return false;
    }
    sets_[slot(scope_)] = set;
    return true;
}

void OilLimitsDialog::setScope(LimitScope scope) {
    if (scope == scope_)
        return;
    if (!keepTable()) {
        // The faulty cell stays in view to be mended.
        optScope[slot(scope_)]->setChecked(true);
        return;
    }
    scope_ = scope;
    optScope[slot(scope_)]->setChecked(true);
    fillTable(sets_[slot(scope_)]);
}

void OilLimitsDialog::cmdSave_Click() {
    if (!readable_) {
        screens::msgBox(this,
                        QStringLiteral("The oil limits could not be read, so they are not "
                                       "saved."),
                        screens::MsgButtons::Ok, screens::MsgIcon::Exclamation, windowTitle());
        return;
    }
    if (!keepTable())
        return;
    try {
        data::Transaction tx(*db_);
        for (LimitScope s : kScopes) {
            // A make and model of nothing is no key: an aircraft without them keeps none.
            if (s == LimitScope::Model && !optScope[slot(s)]->isEnabled())
                continue;
            limits::saveLimitSet(*db_, keys_[slot(s)], sets_[slot(s)]);
        }
        tx.commit();
    } catch (const data::DbError& e) {
        screens::msgBox(this, QStringLiteral("The oil limits were not saved: ") + e.text(),
                        screens::MsgButtons::Ok, screens::MsgIcon::Exclamation, windowTitle());
        return;
    }
    accept();
}

}  // namespace velmora::oil
