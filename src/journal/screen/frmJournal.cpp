#include "frmJournal.h"

#include "JournalTableModel.h"
#include "data/Database.h"
#include "journal/UndoEntry.h"
#include "screens/common/Dialogs.h"
#include "screens/common/GridExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::journal {

namespace {

const QString kTitle = QStringLiteral("Journal");
const QString kAllColumns = QStringLiteral("(all columns)");

}  // namespace

frmJournal::frmJournal(const QString& mainFile, const QString& regNum, QWidget* parent)
    : QWidget(parent), mainFile_(mainFile), regNum_(regNum.trimmed()) {
    setObjectName(QStringLiteral("frmJournal"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Journal - %1").arg(regNum_));
    preview_ = &screens::previewTable;
    buildControls();
    resize(1000, 560);
}

frmJournal::~frmJournal() = default;

void frmJournal::buildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    chkFrom = new QCheckBox(QStringLiteral("&From"), this);
    dtpFrom = new QDateEdit(QDate::currentDate().addDays(-90), this);
    chkTo = new QCheckBox(QStringLiteral("&To"), this);
    dtpTo = new QDateEdit(QDate::currentDate(), this);
    for (QDateEdit* d : {dtpFrom, dtpTo}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setEnabled(false);
    }
    auto* columnLabel = new QLabel(QStringLiteral("Col&umn"), this);
    cboColumn = new QComboBox(this);
    cboColumn->setMinimumContentsLength(16);
    columnLabel->setBuddy(cboColumn);
    filters->addWidget(chkFrom);
    filters->addWidget(dtpFrom);
    filters->addSpacing(12);
    filters->addWidget(chkTo);
    filters->addWidget(dtpTo);
    filters->addSpacing(12);
    filters->addWidget(columnLabel);
    filters->addWidget(cboColumn);
    filters->addStretch();
    layout->addLayout(filters);

    table_ = new JournalTableModel(this);
    grdJournal = new QTableView(this);
    grdJournal->setObjectName(QStringLiteral("grdJournal"));
    grdJournal->setModel(table_);
    grdJournal->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdJournal->setSelectionMode(QAbstractItemView::SingleSelection);
    grdJournal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdJournal->verticalHeader()->hide();
    // A whole row's values are long: one line each, cut short (the tooltip has them all).
    grdJournal->setWordWrap(false);
    grdJournal->verticalHeader()->setDefaultSectionSize(grdJournal->fontMetrics().height() + 8);
    grdJournal->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(grdJournal, 1);

    lblSummary = new QLabel(this);
    layout->addWidget(lblSummary);

    auto* buttons = new QHBoxLayout;
    cmdUndo = new QPushButton(QStringLiteral("&Undo this entry"), this);
    cmdPrint = new QPushButton(QStringLiteral("&Print Preview"), this);
    cmdExportPdf = new QPushButton(QStringLiteral("Save as P&DF"), this);
    cmdExportCsv = new QPushButton(QStringLiteral("Save as C&SV"), this);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    buttons->addWidget(cmdUndo);
    buttons->addStretch();
    for (QPushButton* b : {cmdPrint, cmdExportPdf, cmdExportCsv, cmdClose})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    cmdUndo->setEnabled(false);

    connect(chkFrom, &QCheckBox::toggled, this, [this](bool on) {
        dtpFrom->setEnabled(on);
        Filter_Change();
    });
    connect(chkTo, &QCheckBox::toggled, this, [this](bool on) {
        dtpTo->setEnabled(on);
        Filter_Change();
    });
    connect(dtpFrom, &QDateEdit::dateChanged, this, [this] { Filter_Change(); });
    connect(dtpTo, &QDateEdit::dateChanged, this, [this] { Filter_Change(); });
    connect(cboColumn, &QComboBox::currentIndexChanged, this, [this] { Filter_Change(); });
    connect(grdJournal->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { grdJournal_RowColChange(); });
    connect(cmdUndo, &QPushButton::clicked, this, [this] { cmdUndo_Click(); });
    connect(cmdPrint, &QPushButton::clicked, this, [this] { cmdPrint_Click(); });
    connect(cmdExportPdf, &QPushButton::clicked, this, [this] { cmdExportPdf_Click(); });
    connect(cmdExportCsv, &QPushButton::clicked, this, [this] { cmdExportCsv_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
}

LineFilter frmJournal::filter() const {
    LineFilter f;
    f.regNum = regNum_;
    f.newestFirst = true;
    if (chkFrom->isChecked())
        f.since = dtpFrom->date();
    if (chkTo->isChecked())
        f.until = dtpTo->date();
    if (cboColumn->currentIndex() > 0)
        f.columnName = cboColumn->currentText();
    return f;
}

void frmJournal::fillColumns() {
    filling_ = true;
    const QString chosen = cboColumn->currentIndex() > 0 ? cboColumn->currentText() : QString();
    LineFilter all;
    all.regNum = regNum_;
    QStringList columns;
    QSet<QString> seen;
    for (const JournalLine& l : readLines(*data::Database::open(mainFile_), all)) {
        if (!seen.contains(l.columnName)) {
            seen.insert(l.columnName);
            columns << l.columnName;
        }
    }
    columns.sort(Qt::CaseInsensitive);
    cboColumn->clear();
    cboColumn->addItem(kAllColumns);
    cboColumn->addItems(columns);
    cboColumn->setCurrentIndex(std::max(0, static_cast<int>(cboColumn->findText(chosen))));
    filling_ = false;
}

void frmJournal::Form_Load() {
    try {
        fillColumns();
    } catch (const data::DbError& e) {
        filling_ = false;
        lblSummary->setText(QStringLiteral("The journal cannot be read: ") + e.text());
        return;
    }
    Filter_Change();
}

void frmJournal::Filter_Change() {
    if (filling_)
        return;
    try {
        table_->setLines(readLines(*data::Database::open(mainFile_), filter()));
        lblSummary->setText(
            table_->rowCount() == 1
                ? QStringLiteral("1 line, newest first.")
                : QStringLiteral("%1 lines, newest first.").arg(table_->rowCount()));
    } catch (const data::DbError& e) {
        table_->setLines({});
        lblSummary->setText(QStringLiteral("The journal cannot be read: ") + e.text());
    }
    grdJournal->resizeColumnsToContents();
    for (int c : {JournalTableModel::Old, JournalTableModel::New})
        grdJournal->setColumnWidth(c, std::min(grdJournal->columnWidth(c), 260));
    grdJournal_RowColChange();
}

const JournalLine* frmJournal::selectedLine() const {
    const QModelIndex current = grdJournal->currentIndex();
    if (!current.isValid() || current.row() >= table_->rowCount())
        return nullptr;
    return &table_->lines()[static_cast<size_t>(current.row())];
}

void frmJournal::grdJournal_RowColChange() {
    const JournalLine* line = selectedLine();
    cmdUndo->setEnabled(
        line && line->tableName.compare(QStringLiteral("Aircraft"), Qt::CaseInsensitive) == 0 &&
        isMeterOrTotalColumn(line->columnName));
}

void frmJournal::cmdUndo_Click() {
    const JournalLine* line = selectedLine();
    if (!line)
        return;
    const JournalLine chosen = *line;
    QString why;
    try {
        why = whyNotUndoable(*data::Database::open(mainFile_), chosen.seq);
    } catch (const data::DbError& e) {
        why = e.text();
    }
    if (!why.isEmpty()) {
        screens::msgBox(this, why, screens::MsgButtons::Ok, screens::MsgIcon::Exclamation, kTitle);
        screens::reactivateWindow(this);
        return;
    }
    const auto answer = screens::msgBox(
        this,
        QStringLiteral("Write %1 back into %2 of %3, undoing the change to %4 made %5?")
            .arg(shownValue(chosen.oldValue), chosen.columnName, chosen.regNum,
                 shownValue(chosen.newValue),
                 chosen.changedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"))),
        screens::MsgButtons::YesNo, screens::MsgIcon::Question, QStringLiteral("Undo this entry"),
        screens::MsgAnswer::No);
    screens::reactivateWindow(this);
    if (answer != screens::MsgAnswer::Yes)
        return;
    try {
        undoEntry(*data::Database::open(mainFile_), chosen.seq);
    } catch (const data::DbError& e) {
        screens::msgBox(this, QStringLiteral("The entry was not undone: ") + e.text(),
                        screens::MsgButtons::Ok, screens::MsgIcon::Exclamation, kTitle);
        screens::reactivateWindow(this);
        return;
    }
    Form_Load();
}

QString frmJournal::exportName() const {
    return QStringLiteral("Journal %1 %2").arg(regNum_, QDate::currentDate().toString(Qt::ISODate));
}

exporting::TablePrintJob frmJournal::printJob() const {
    exporting::TablePrintJob job;
    job.title = QStringLiteral("Journal - %1").arg(regNum_);
    QStringList what;
    const LineFilter f = filter();
    if (f.since.isValid())
        what << QStringLiteral("from %1").arg(f.since.toString(Qt::ISODate));
    if (f.until.isValid())
        what << QStringLiteral("to %1").arg(f.until.toString(Qt::ISODate));
    if (!f.columnName.isEmpty())
        what << QStringLiteral("column %1").arg(f.columnName);
    job.subtitle =
        QStringLiteral("%1 lines%2, newest first; printed %3")
            .arg(table_->rowCount())
            .arg(what.isEmpty() ? QString() : u' ' + what.join(u' '))
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    job.model = table_;
    job.columns = screens::shownColumns(*grdJournal);
    return job;
}

void frmJournal::cmdPrint_Click() {
    if (preview_)
        preview_(this, printJob());
}

void frmJournal::cmdExportPdf_Click() {
    screens::saveTableAsPdf(this, printJob(), exportName());
}

void frmJournal::cmdExportCsv_Click() {
    screens::saveTableAsCsv(this, *table_, screens::shownColumns(*grdJournal), exportName());
}

void frmJournal::cmdClose_Click() {
    close();
}

}  // namespace velmora::journal
