#include "PlannedUseDialog.h"

#include "NumberCells.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "screens/common/Dialogs.h"
#include "utilisation/PlannedUtilisation.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

namespace velmora::due {

using screens::MsgButtons;
using screens::MsgIcon;
using utilisation::DailyUtilisation;

namespace {

const QString kTitle = QStringLiteral("Planned Use");

struct Figure {
    const char* caption;
    std::optional<double> DailyUtilisation::*member;
};

const std::array<Figure, 5> kFigures = {{
    {"Meter #1\nhours a day", &DailyUtilisation::meter1Hours},
    {"Meter #2\nhours a day", &DailyUtilisation::meter2Hours},
    {"Landings\na day", &DailyUtilisation::landings},
    {"Cycles\na day", &DailyUtilisation::cycles},
    {"RIN\na day", &DailyUtilisation::rin},
}};

}  // namespace

PlannedUseDialog::PlannedUseDialog(const QString& dataPath, const QStringList& regNums,
                                   QWidget* parent)
    : QDialog(parent),
      mainFile_(
          data::resolvePathCaseInsensitive(data::dataFileName(dataPath, data::files::kMain))) {
    setObjectName(QStringLiteral("PlannedUseDialog"));
    setWindowTitle(kTitle);
    auto* note = new QLabel(QStringLiteral("What each aircraft is planned to fly on an average "
                                           "day. A blank figure is not known: its limits get "
                                           "no projected date."),
                            this);
    note->setWordWrap(true);
    grdPlannedUse = new QTableWidget(static_cast<int>(regNums.size()),
                                     static_cast<int>(kFigures.size()) + 1, this);
    grdPlannedUse->setObjectName(QStringLiteral("grdPlannedUse"));
    QStringList headers{QStringLiteral("Registration")};
    for (const Figure& f : kFigures)
        headers << QString::fromLatin1(f.caption);
    grdPlannedUse->setHorizontalHeaderLabels(headers);
    grdPlannedUse->verticalHeader()->hide();

    utilisation::PlannedUtilisation planned;
    try {
        planned = utilisation::PlannedUtilisation::read(*data::Database::open(mainFile_));
    } catch (const data::DbError& e) {
        screens::msgBox(this, e.text(), MsgButtons::Ok, MsgIcon::Exclamation, kTitle);
    }
    for (int r = 0; r < regNums.size(); ++r) {
        auto* reg = new QTableWidgetItem(regNums[r]);
        reg->setFlags(Qt::ItemIsEnabled);
        grdPlannedUse->setItem(r, 0, reg);
        const DailyUtilisation use = planned.dailyUse(regNums[r]);
        for (size_t c = 0; c < kFigures.size(); ++c) {
            auto* cell = new QTableWidgetItem(figureText(use.*kFigures[c].member));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grdPlannedUse->setItem(r, static_cast<int>(c) + 1, cell);
        }
    }
    cmdSave = new QPushButton(QStringLiteral("&Save"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdSave, &QPushButton::clicked, this, &PlannedUseDialog::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(grdPlannedUse, 1);
    layout->addLayout(buttons);
    grdPlannedUse->resizeColumnsToContents();
    resize(std::max(600, grdPlannedUse->horizontalHeader()->length() + 40), 420);
}

void PlannedUseDialog::cmdSave_Click() {
    std::vector<utilisation::PlannedEntry> entries;
    for (int r = 0; r < grdPlannedUse->rowCount(); ++r) {
        utilisation::PlannedEntry e;
        e.regNum = grdPlannedUse->item(r, 0)->text();
        for (size_t c = 0; c < kFigures.size(); ++c) {
            const QTableWidgetItem* cell = grdPlannedUse->item(r, static_cast<int>(c) + 1);
            if (!readFigure(cell ? cell->text() : QString(), &(e.use.*kFigures[c].member))) {
                screens::msgBox(
                    this,
                    QStringLiteral("The %1 of %2 must be a number of zero or more, "
                                   "or blank.")
                        .arg(
                            QString::fromLatin1(kFigures[c].caption).replace(u'\n', u' ').toLower(),
                            e.regNum),
                    MsgButtons::Ok, MsgIcon::Exclamation, kTitle);
                grdPlannedUse->setCurrentCell(r, static_cast<int>(c) + 1);
                return;
            }
        }
        entries.push_back(std::move(e));
    }
    try {
        utilisation::savePlannedUtilisation(*data::Database::open(mainFile_), entries);
    } catch (const data::DbError& e) {
        screens::msgBox(this, e.text(), MsgButtons::Ok, MsgIcon::Exclamation, kTitle);
        return;
    }
    accept();
}

}  // namespace velmora::due
