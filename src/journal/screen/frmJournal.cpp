#include "frmJournal.h"

#include "JournalTableModel.h"
#include "data/Database.h"
#include "data/Journal.h"
#include "journal/JournalAnchors.h"
#include "journal/JournalWords.h"
#include "journal/UndoEntry.h"
#include "screens/common/DataChangeNotice.h"
#include "screens/common/Dialogs.h"
#include "screens/common/GridExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

namespace velmora::journal {

namespace {

const QString kUndoTitle = QStringLiteral("Undo this entry");
const QString kAllColumns = QStringLiteral("(all columns)");

// A column as the filter lists it.
QString columnFilterWords(const JournalLine& l) {
    if (l.columnName == data::journal::kRowAdded)
        return QStringLiteral("(rows added)");
    if (l.columnName == data::journal::kRowRemoved)
        return QStringLiteral("(rows deleted)");
    if (l.columnName == data::journal::kRowPresent)
        return QStringLiteral("(rows there when the journal began)");
    if (l.tableName == data::journal::kFileEvent)
        return QStringLiteral("(restores from backups)");
    return columnWords(l.tableName, l.columnName);
}

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
    chkFrom->setObjectName(QStringLiteral("chkFrom"));
    dtpFrom = new QDateEdit(QDate::currentDate().addDays(-90), this);
    dtpFrom->setObjectName(QStringLiteral("dtpFrom"));
    chkTo = new QCheckBox(QStringLiteral("&To"), this);
    chkTo->setObjectName(QStringLiteral("chkTo"));
    dtpTo = new QDateEdit(QDate::currentDate(), this);
    dtpTo->setObjectName(QStringLiteral("dtpTo"));
    for (QDateEdit* d : {dtpFrom, dtpTo}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setEnabled(false);
    }
    auto* columnLabel = new QLabel(QStringLiteral("Col&umn"), this);
    cboColumn = new QComboBox(this);
    cboColumn->setObjectName(QStringLiteral("cboColumn"));
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
    // The line as the journal keeps it goes to the CSV, not onto the screen.
    for (int c = JournalTableModel::kShownCount; c < JournalTableModel::Count; ++c)
        grdJournal->setColumnHidden(c, true);
    layout->addWidget(grdJournal, 1);

    lblSummary = new QLabel(this);

    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    layout->addWidget(lblSummary);

    auto* buttons = new QHBoxLayout;
    cmdUndo = new QPushButton(QStringLiteral("&Undo this entry"), this);
    cmdUndo->setObjectName(QStringLiteral("cmdUndo"));
    buttons->addWidget(cmdUndo);
    buttons->addStretch();
    output_.create(this, buttons,
                   {QStringLiteral("&Print Preview"), QStringLiteral("Save as P&DF"),
                    QStringLiteral("Save as C&SV")});
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(cmdClose);
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
    output_.connectTo(this, &frmJournal::cmdPrint_Click, &frmJournal::cmdExportPdf_Click,
                      &frmJournal::cmdExportCsv_Click);
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
        f.columnName = cboColumn->currentData().toString();
    return f;
}

void frmJournal::fillColumns() {
    filling_ = true;
    const QString chosen =
        cboColumn->currentIndex() > 0 ? cboColumn->currentData().toString() : QString();
    LineFilter all;
    all.regNum = regNum_;
    // Each column once, by its words; the filter uses its name.
    QMap<QString, QString> byWords;
    QSet<QString> seen;
    for (const JournalLine& l : readLines(*data::Database::open(mainFile_), all)) {
        if (!seen.contains(l.columnName)) {
            seen.insert(l.columnName);
            byWords.insert(columnFilterWords(l), l.columnName);
        }
    }
    cboColumn->clear();
    cboColumn->addItem(kAllColumns);
    for (auto it = byWords.cbegin(); it != byWords.cend(); ++it)
        cboColumn->addItem(it.key(), it.value());
    cboColumn->setCurrentIndex(std::max(0, static_cast<int>(cboColumn->findData(chosen))));
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
    grdJournal->setColumnWidth(JournalTableModel::Change,
                               std::min(grdJournal->columnWidth(JournalTableModel::Change), 520));
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
    const std::int64_t seq = line->seq;
    JournalEntry entry;
    QString why;
    try {
        auto db = data::Database::open(mainFile_);
        entry = entryOfLine(*db, seq);
        why = whyNotUndoable(*db, seq);
    } catch (const data::DbError& e) {
        why = e.text();
    }
    if (!why.isEmpty()) {
        screens::msgBox(this, QStringLiteral("The entry cannot be undone: ") + why,
                        screens::MsgButtons::Ok, screens::MsgIcon::Exclamation, kUndoTitle);
        screens::reactivateWindow(this);
        return;
    }
    const auto answer = screens::msgBox(
        this,
        QStringLiteral("Take back the whole entry made on %1 by %2 (%3)? Every value it "
                       "changed gets its value from before it again:\n\n%4")
            .arg(entry.changedAt.toLocalTime().toString(QStringLiteral("d MMM yyyy HH:mm")),
                 entry.userName, screenCaption(entry.screen), entry.changesInWords(true)),
        screens::MsgButtons::YesNo, screens::MsgIcon::Question, kUndoTitle, screens::MsgAnswer::No);
    screens::reactivateWindow(this);
    if (answer != screens::MsgAnswer::Yes)
        return;
    try {
        entry = undoEntry(*data::Database::open(mainFile_), seq);
    } catch (const data::DbError& e) {
        screens::msgBox(
            this,
            QStringLiteral("The entry was not undone (error %1): %2").arg(e.code()).arg(e.text()),
            screens::MsgButtons::Ok, screens::MsgIcon::Exclamation, kUndoTitle);
        screens::reactivateWindow(this);
        return;
    }
    // The screens that show the aircraft read it again before anything else happens.
    screens::DataChangeNotice::announce(mainFile_);
    Form_Load();
    screens::msgBox(this,
                    QStringLiteral("The entry was taken back; %1 now holds:\n\n%2")
                        .arg(entry.regNum, entry.changesInWords(true)),
                    screens::MsgButtons::Ok, screens::MsgIcon::Information, kUndoTitle);
    screens::reactivateWindow(this);
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
        what << QStringLiteral("column %1").arg(cboColumn->currentText());
    job.subtitle =
        QStringLiteral("%1 lines%2, newest first; printed %3")
            .arg(table_->rowCount())
            .arg(what.isEmpty() ? QString() : u' ' + what.join(u' '))
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    // The journal's newest line, an anchor of its chain on paper.
    try {
        const ChainPoint newest = newestLine(*data::Database::open(mainFile_));
        if (!newest.isNull())
            job.subtitle += QStringLiteral("; journal ") + printedAnchor(newest);
    } catch (const data::DbError&) {
    }
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
    // The lines as the journal keeps them, with when and who.
    std::vector<int> columns = {JournalTableModel::When, JournalTableModel::User,
                                JournalTableModel::Host};
    for (int c = JournalTableModel::kShownCount; c < JournalTableModel::Count; ++c)
        columns.push_back(c);
    screens::saveTableAsCsv(this, *table_, columns, exportName());
}

void frmJournal::cmdClose_Click() {
    close();
}

}  // namespace velmora::journal
