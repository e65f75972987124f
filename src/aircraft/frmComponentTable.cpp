#include "frmComponentTable.h"

#include "components/ComponentEvents.h"
#include "components/ComponentRead.h"
#include "components/ComponentTables.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "screens/common/Dialogs.h"
#include "screens/common/GridExport.h"
#include "screens/common/GridExportMenu.h"
#include "utilisation/UtilisationSource.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::aircraft {

frmComponentTable::frmComponentTable(Kind kind, const QString& mainFile,
                                     const components::ComponentKey& key, QWidget* parent)
    : QWidget(parent, Qt::Window), kind_(kind), mainFile_(mainFile), key_(key) {
    build();
}

frmComponentTable::frmComponentTable(const QString& mainFile, const LifeLimitedRequest& request,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window),
      kind_(Kind::LifeLimited),
      mainFile_(mainFile),
      lifeLimited_(request) {
    build();
}

void frmComponentTable::build() {
    const Kind kind = kind_;
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(kind == Kind::Stores    ? QStringLiteral("frmStores")
                  : kind == Kind::History ? QStringLiteral("frmComponentHistory")
                                          : QStringLiteral("frmLifeLimited"));
    setWindowTitle(title());
    auto* layout = new QVBoxLayout(this);
    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    layout->addWidget(lblTitle);
    grdList = new QTableView(this);
    grdList->setObjectName(QStringLiteral("grdList"));
    grdList->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdList->setSelectionMode(QAbstractItemView::SingleSelection);
    grdList->setWordWrap(false);
    grdList->verticalHeader()->hide();
    layout->addWidget(grdList, 1);
    auto* buttons = new QHBoxLayout;
    auto add = [&](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        buttons->addWidget(b);
        return b;
    };
    if (kind == Kind::Stores) {
        cmdHistory = add(QStringLiteral("&History..."), QStringLiteral("cmdHistory"));
        connect(cmdHistory, &QPushButton::clicked, this, &frmComponentTable::cmdHistory_Click);
        connect(grdList, &QTableView::doubleClicked, this, &frmComponentTable::cmdHistory_Click);
    }
    if (kind == Kind::LifeLimited) {
        cmdPrint = add(QStringLiteral("&Print..."), QStringLiteral("cmdPrint"));
        cmdPdf = add(QStringLiteral("Save as P&DF..."), QStringLiteral("cmdPdf"));
        cmdCsv = add(QStringLiteral("Export &CSV..."), QStringLiteral("cmdCsv"));
        connect(cmdCsv, &QPushButton::clicked, this, &frmComponentTable::cmdCsv_Click);
    } else if (kind == Kind::History) {
        cmdPrint = add(QStringLiteral("&Print Record Card..."), QStringLiteral("cmdPrint"));
        cmdPdf = add(QStringLiteral("Save Card as P&DF..."), QStringLiteral("cmdPdf"));
    }
    if (cmdPrint) {
        connect(cmdPrint, &QPushButton::clicked, this, &frmComponentTable::cmdPrint_Click);
        connect(cmdPdf, &QPushButton::clicked, this, &frmComponentTable::cmdPdf_Click);
    }
    buttons->addStretch(1);
    cmdClose = add(QStringLiteral("Close"), QStringLiteral("cmdClose"));
    screens::installGridExport(grdList, [this] { return title(); });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    layout->addLayout(buttons);
    resize(1300, 420);
    Refresh();
}

frmComponentTable::~frmComponentTable() = default;

QString frmComponentTable::title() const {
    switch (kind_) {
        case Kind::Stores:
            return QStringLiteral("Components in Stores");
        case Kind::History:
            return QStringLiteral("Component Record - ") + key_.label();
        case Kind::LifeLimited:
            break;
    }
    return QStringLiteral("Life-Limited Parts Status - ") + lifeLimited_.regNum.trimmed();
}

void frmComponentTable::Refresh() {
    std::unique_ptr<QStandardItemModel> model;
    QString note;
    try {
        auto db = data::Database::open(mainFile_);
        if (kind_ == Kind::LifeLimited) {
            const auto use = lifeLimited_.utilisation(*db);
            status_ = components::readLifeLimitedStatus(*db, lifeLimited_.regNum, *use,
                                                        lifeLimited_.warnings, lifeLimited_.day);
            model = components::lifeLimitedTable(status_);
            note = QStringLiteral(
                       "%1 as of %2: %3 limits; the limit of each component that "
                       "comes due first is marked under Controls.")
                       .arg(status_.regNum, status_.day.toString(Qt::ISODate))
                       .arg(status_.lines.size());
        } else if (kind_ == Kind::Stores) {
            stores_ = components::readStores(*db);
            model = components::storesTable(stores_);
            note = QStringLiteral("Components off their aircraft: %1.").arg(stores_.size());
        } else {
            card_ = components::readRecordCard(*db, key_);
            const auto& events = card_.events;
            model = components::historyTable(events);
            note = events.empty() ? QStringLiteral("%1 is neither on an aircraft nor in stores.")
                                        .arg(key_.label())
                                  : QStringLiteral("%1: %2 events from new.")
                                        .arg(key_.label())
                                        .arg(events.size());
        }
    } catch (const data::DbError& e) {
        stores_.clear();
        status_ = {};
        card_ = {};
        model = kind_ == Kind::Stores        ? components::storesTable({})
                : kind_ == Kind::LifeLimited ? components::lifeLimitedTable({})
                                             : components::historyTable({});
        note = e.text();
        screens::msgBox(this, e.text(), screens::MsgButtons::Ok, screens::MsgIcon::Exclamation,
                        title());
    }
    grdList->setModel(model.get());
    model_ = std::move(model);
    lblTitle->setText(note);
    grdList->resizeColumnsToContents();
    if (model_->rowCount() > 0)
        grdList->selectRow(0);
}

void frmComponentTable::cmdHistory_Click() {
    const int row = grdList->currentIndex().isValid() ? grdList->currentIndex().row() : -1;
    if (kind_ != Kind::Stores || row < 0 || row >= static_cast<int>(stores_.size()))
        return;
    auto* history =
        new frmComponentTable(Kind::History, mainFile_, stores_[static_cast<size_t>(row)].key);
    history->show();
}

exporting::TablePrintJob frmComponentTable::lifeLimitedJob() const {
    return components::lifeLimitedPrintJob(status_, *model_, QDateTime::currentDateTime());
}

void frmComponentTable::cmdPrint_Click() {
    if (kind_ == Kind::LifeLimited) {
        screens::previewTable(this, lifeLimitedJob());
    } else if (kind_ == Kind::History) {
        const auto card = components::recordCardPrint(card_, QDateTime::currentDateTime());
        screens::previewTable(this, card->job);
    }
}

void frmComponentTable::cmdPdf_Click() {
    if (kind_ == Kind::LifeLimited) {
        screens::saveTableAsPdf(this, lifeLimitedJob(), title());
    } else if (kind_ == Kind::History) {
        const auto card = components::recordCardPrint(card_, QDateTime::currentDateTime());
        screens::saveTableAsPdf(this, card->job, card->job.title);
    }
}

void frmComponentTable::cmdCsv_Click() {
    if (kind_ != Kind::LifeLimited)
        return;
    std::vector<int> columns;
    for (int c = 0; c < components::LlpColumnCount; ++c)
        columns.push_back(c);
    screens::saveTableAsCsv(this, *model_, columns, title());
}

}  // namespace velmora::aircraft
