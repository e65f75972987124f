#include "WarningLevelsDialog.h"

#include "NumberCells.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "due/DueListSource.h"
#include "due/WarningSettingsFile.h"
#include "screens/common/Dialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace velmora::due {

using screens::MsgButtons;
using screens::MsgIcon;

namespace {

const QString kTitle = QStringLiteral("Warning Levels");

}  // namespace

WarningLevelsDialog::WarningLevelsDialog(const QString& companyFile, QWidget* parent)
    : QDialog(parent), companyFile_(companyFile) {
    setObjectName(QStringLiteral("WarningLevelsDialog"));
    setWindowTitle(kTitle);
    auto* note = new QLabel(
        QStringLiteral("A limit is due soon when no more than the amount is left (when the "
                       "amount is blank: no more than the share of its service life), or when "
                       "its date is no more than the days away. A blank number of days leaves "
                       "dates out. Overdue: run out, or its date has passed."),
        this);
    note->setWordWrap(true);
    grdLevels = new QTableWidget(kBasisCount, 4, this);
    grdLevels->setObjectName(QStringLiteral("grdLevels"));
    grdLevels->setHorizontalHeaderLabels({QStringLiteral("Type"), QStringLiteral("Amount left"),
                                          QStringLiteral("or % of life"),
                                          QStringLiteral("or days ahead")});
    grdLevels->verticalHeader()->hide();
    for (Basis b : kAllBases) {
        auto* type =
            new QTableWidgetItem(QStringLiteral("%1 (%2)").arg(basisCode(b), basisUnit(b)));
        type->setFlags(Qt::ItemIsEnabled);
        grdLevels->setItem(basisIndex(b), Type, type);
    }
    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdDefaults = new QPushButton(QStringLiteral("&Defaults"), this);
    cmdDefaults->setObjectName(QStringLiteral("cmdDefaults"));
    connect(cmdSave, &QPushButton::clicked, this, &WarningLevelsDialog::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdDefaults, &QPushButton::clicked, this, &WarningLevelsDialog::cmdDefaults_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDefaults);
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(grdLevels, 1);
    layout->addLayout(buttons);

    WarningSettings current;
    try {
        current = readWarningSettingsFile(companyFile_);
    } catch (const data::DbError& e) {
        screens::msgBox(this, e.text(), MsgButtons::Ok, MsgIcon::Exclamation, kTitle);
    }
    show(current);
    grdLevels->resizeColumnsToContents();
    resize(std::max(560, grdLevels->horizontalHeader()->length() + 40), 380);
}

void WarningLevelsDialog::show(const WarningSettings& settings) {
    for (Basis b : kAllBases) {
        const BasisWarning& w = settings.of(b);
        const int row = basisIndex(b);
        grdLevels->setItem(row, Amount, new QTableWidgetItem(figureText(w.soonAmount)));
        grdLevels->setItem(row, Percent, new QTableWidgetItem(figureText(w.soonPercent)));
        grdLevels->setItem(
            row, Days, new QTableWidgetItem(w.soonDays ? QString::number(*w.soonDays) : QString()));
        for (int c = Amount; c <= Days; ++c)
            grdLevels->item(row, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
}

bool WarningLevelsDialog::read(WarningSettings* out) {
    for (Basis b : kAllBases) {
        const int row = basisIndex(b);
        BasisWarning w;
        std::optional<double> amount, percent, days;
        const auto text = [&](int c) {
            return grdLevels->item(row, c) ? grdLevels->item(row, c)->text() : QString();
        };
        auto refuse = [&](const char* what) {
            screens::msgBox(this,
                            QStringLiteral("The %1 of %2 must be a number of zero or more, or "
                                           "blank.")
                                .arg(QLatin1String(what), basisCode(b)),
                            MsgButtons::Ok, MsgIcon::Exclamation, kTitle);
            grdLevels->setCurrentCell(row, Amount);
            return false;
        };
        if (!readFigure(text(Amount), &amount))
            return refuse("amount");
        if (!readFigure(text(Percent), &percent))
            return refuse("share of the life");
        if (!readFigure(text(Days), &days) || (days && *days > 1000000))
            return refuse("number of days");
        w.soonAmount = amount;
        w.soonPercent = percent.value_or(0);
        if (days)
            w.soonDays = static_cast<int>(std::floor(*days));
        else
            w.soonDays.reset();
        out->of(b) = w;
    }
    return true;
}

void WarningLevelsDialog::cmdSave_Click() {
    WarningSettings settings;
    if (!read(&settings))
        return;
    try {
        if (companyFile_.isEmpty())
            throw data::DbError(data::err::FileNotFound,
                                QStringLiteral("No company settings file is open to keep the "
                                               "warning levels in."));
        auto db = data::Database::open(data::resolvePathCaseInsensitive(companyFile_));
        saveWarningSettings(*db, settings);
    } catch (const data::DbError& e) {
        screens::msgBox(this, e.text(), MsgButtons::Ok, MsgIcon::Exclamation, kTitle);
        return;
    }
    accept();
}

void WarningLevelsDialog::cmdDefaults_Click() {
    show(WarningSettings{});
}

}  // namespace velmora::due
