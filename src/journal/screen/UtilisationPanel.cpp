#include "UtilisationPanel.h"

#include "data/Database.h"
#include "journal/JournalUtilisation.h"
#include "screens/common/Dialogs.h"
#include "utilisation/PlannedUtilisation.h"

#include <QDoubleValidator>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStringList>

namespace velmora::journal {

namespace {

using Figure = std::optional<double> utilisation::DailyUtilisation::*;
const std::array<Figure, 5> kFigures = {
    &utilisation::DailyUtilisation::meter1Hours, &utilisation::DailyUtilisation::meter2Hours,
    &utilisation::DailyUtilisation::landings, &utilisation::DailyUtilisation::cycles,
    &utilisation::DailyUtilisation::rin};
const std::array<const char*, 5> kCaptions = {"Meter 1", "Meter 2", "Landings", "Cycles", "RIN"};

QString figureText(const std::optional<double>& v) {
    return v ? QLocale().toString(*v, 'f', 2) : QString();
}

}  // namespace

UtilisationPanel::UtilisationPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Use per Day"), parent) {
    setObjectName(QStringLiteral("fraUtilisation"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(1);
    grid->addWidget(new QLabel(QStringLiteral("Journal"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Planned"), this), 0, 2);
    for (size_t i = 0; i < kFigures.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        grid->addWidget(new QLabel(QString::fromLatin1(kCaptions[i]), this), row, 0);
        lblJournal[i] = new QLabel(this);
        lblJournal[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(lblJournal[i], row, 1);
        txtPlanned[i] = new QLineEdit(this);
        txtPlanned[i]->setAlignment(Qt::AlignRight);
        auto* validator = new QDoubleValidator(0, 1e6, 3, txtPlanned[i]);
        validator->setNotation(QDoubleValidator::StandardNotation);
        txtPlanned[i]->setValidator(validator);
        txtPlanned[i]->setMaximumWidth(60);
        grid->addWidget(txtPlanned[i], row, 2);
    }
    lblSource = new QLabel(this);
    lblSource->setWordWrap(true);
    grid->addWidget(lblSource, 6, 0, 1, 3);
    cmdSavePlanned = new QPushButton(QStringLiteral("Save &Planned"), this);
    grid->addWidget(cmdSavePlanned, 7, 0, 1, 3);
    connect(cmdSavePlanned, &QPushButton::clicked, this, [this] { cmdSavePlanned_Click(); });
    setEnabled(false);
}

void UtilisationPanel::setAircraft(const QString& mainFile, const QString& regNum) {
    mainFile_ = mainFile;
    regNum_ = regNum.trimmed();
}

void UtilisationPanel::refresh() {
    for (size_t i = 0; i < kFigures.size(); ++i) {
        lblJournal[i]->clear();
        txtPlanned[i]->clear();
    }
    lblSource->clear();
    setEnabled(!regNum_.isEmpty());
    if (regNum_.isEmpty())
        return;
    try {
        auto db = data::Database::open(mainFile_);
        const AircraftUtilisation u =
            aircraftUtilisation(*db, regNum_, QDate::currentDate(), days_);
        const utilisation::DailyUtilisation& planned = u.planned;
        QStringList notJournalled;
        for (size_t i = 0; i < kFigures.size(); ++i) {
            if (u.fromJournal && u.figureFromJournal[i])
                lblJournal[i]->setText(figureText(u.use.*kFigures[i]));
            else if (u.fromJournal)
                notJournalled << QString::fromLatin1(kCaptions[i]);
            txtPlanned[i]->setText(figureText(planned.*kFigures[i]));
        }
        if (u.fromJournal) {
            QString text = QStringLiteral("From the journal, last %1 days.").arg(u.averagedDays);
            if (!notJournalled.isEmpty())
                text += QStringLiteral(" Planned where the journal has no lines: %1.")
                            .arg(notJournalled.join(QStringLiteral(", ")));
            lblSource->setText(text);
        } else
            lblSource->setText(QStringLiteral("Planned: %1 of %2 days of journal.")
                                   .arg(u.journalDays)
                                   .arg(kLeastJournalDays));
    } catch (const data::DbError& e) {
        lblSource->setText(e.text());
    }
}

void UtilisationPanel::cmdSavePlanned_Click() {
    if (regNum_.isEmpty())
        return;
    utilisation::PlannedEntry entry{regNum_, {}};
    for (size_t i = 0; i < kFigures.size(); ++i) {
        const QString text = txtPlanned[i]->text().trimmed();
        if (text.isEmpty())
            continue;
        bool ok = false;
        const double v = QLocale().toDouble(text, &ok);
        if (!ok || v < 0) {
            screens::msgBox(this,
                            QStringLiteral("The planned %1 a day must be a number not below zero.")
                                .arg(QString::fromLatin1(kCaptions[i])),
                            screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                            QStringLiteral("Use per Day"));
            screens::reactivateWindow(this);
            return;
        }
        entry.use.*kFigures[i] = v;
    }
    try {
        utilisation::savePlannedUtilisation(*data::Database::open(mainFile_), {entry});
    } catch (const data::DbError& e) {
        screens::msgBox(this, QStringLiteral("The planned use was not saved: ") + e.text(),
                        screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                        QStringLiteral("Use per Day"));
        screens::reactivateWindow(this);
        return;
    }
    refresh();
}

}  // namespace velmora::journal
