#include "OilAlertsPanel.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DateDisplay.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora::due {

OilAlertsPanel::OilAlertsPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("OilAlertsPanel"));
    lblOilAlerts = new QLabel(this);
    lblOilAlerts->setObjectName(QStringLiteral("lblOilAlerts"));
    lstOilAlerts = new QListWidget(this);
    lstOilAlerts->setObjectName(QStringLiteral("lstOilAlerts"));
    lstOilAlerts->setSelectionMode(QAbstractItemView::SingleSelection);
    lstOilAlerts->setToolTip(
        QStringLiteral("Double-click a line to open its aircraft in "
                       "aircraft set-up."));
    QPalette red = lstOilAlerts->palette();
    red.setColor(QPalette::Text, Qt::red);
    lstOilAlerts->setPalette(red);
    connect(lstOilAlerts, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = lstOilAlerts->row(item);
        if (openAircraft_ && row >= 0 && row < static_cast<int>(alerts_.size()))
            openAircraft_(alerts_[static_cast<size_t>(row)].regNum);
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblOilAlerts);
    layout->addWidget(lstOilAlerts);
    hide();
}

void OilAlertsPanel::load(const QString& dataPath) {
    alerts_.clear();
    lstOilAlerts->clear();
    QString failure;
    try {
        auto db = data::Database::open(data::dataFileName(dataPath, data::files::kMain));
        alerts_ = oil::limits::oilAlerts(*db);
    } catch (const data::DbError& e) {
        failure = e.text();
    }
    for (const oil::limits::OilAlert& a : alerts_)
        lstOilAlerts->addItem(
            QStringLiteral("%1  %2  (sample of %3): %4")
                .arg(a.regNum, a.component, data::displayDateText(a.date), a.findings));
    if (!failure.isEmpty()) {
        lblOilAlerts->setText(QStringLiteral("The oil samples could not be judged: ") + failure);
        lstOilAlerts->hide();
        show();
        return;
    }
    const int n = static_cast<int>(alerts_.size());
    lblOilAlerts->setText(QStringLiteral("Oil analysis: the newest sample of %1 component%2 is "
                                         "over an alert level:")
                              .arg(n)
                              .arg(n == 1 ? QString() : QStringLiteral("s")));
    // Up to four whole lines in view; more scroll.
    if (n > 0)
        lstOilAlerts->setFixedHeight(lstOilAlerts->sizeHintForRow(0) * std::min(n, 4) +
                                     2 * lstOilAlerts->frameWidth());
    lstOilAlerts->setVisible(!alerts_.empty());
    setVisible(!alerts_.empty());
}

}  // namespace velmora::due
