// The aircraft set-up screen's lower half: the component list with its choices, the grid's
// handlers, and the component templates by make and model.

#include "frmAircraft.h"

#include "ComponentGridColumns.h"
#include "ComponentRules.h"
#include "TemplateLibrary.h"

#include "data/DataFiles.h"
#include "data/Recordset.h"
#include "screens/common/AircraftChooser.h"
#include "screens/common/BackupQuestion.h"
#include "screens/common/BoundRecordSource.h"
#include "screens/common/Chooser.h"
#include "screens/common/DataGrid.h"
#include "screens/common/Dialogs.h"

#include <QLineEdit>
#include <QRadioButton>

namespace velmora::aircraft {

using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

namespace {

// The values of the rows of a record source in one column; none without that column.
std::vector<data::Value> columnValues(const data::Recordset* rs, const QString& column) {
    std::vector<data::Value> values;
    const int c = rs ? rs->fieldIndex(column) : -1;
    if (c < 0)
        return values;
    for (const auto& row : rs->rows())
        values.push_back(row.values[static_cast<size_t>(c)]);
    return values;
}

}  // namespace

// --- the component list -----------------------------------------------------------------

ShowRecords frmAircraft::showRecords() const {
    if (Option1[0]->isChecked())
        return ShowRecords::Installed;
    if (Option1[1]->isChecked())
        return ShowRecords::NotInstalled;
    return ShowRecords::All;
}

OrderBy frmAircraft::orderBy() const {
    if (Option1[5]->isChecked())
        return OrderBy::ItemNumber;
    if (Option1[4]->isChecked())
        return OrderBy::Assembly;
    return OrderBy::Inspection;
}

QString frmAircraft::componentListSource() const {
    return componentListSql(currentRegNum(), showRecords(), orderBy());
}

void frmAircraft::Option1_Click(int index) {
    Q_UNUSED(index);
    requeryComponents(componentListSource());
    datPrimaryRS->setCaption(screens::aircraftNavigationCaption());
}

void frmAircraft::requeryComponents(const QString& source) {
    grdDataGrid->commitPendingRow();
    datSecondaryRS->setRecordSource(source);
    datSecondaryRS->refresh();
}

// --- the grid ---------------------------------------------------------------------------

void frmAircraft::grdDataGrid_Change() {
    SetEditedState();
}

void frmAircraft::grdDataGrid_OnAddNew() {
    using data::Value;
    grdDataGrid->setPendingValue(col::RegNum, Value(currentRegNum()));
    grdDataGrid->setPendingValue(col::MeterNumber, Value(1));
    grdDataGrid->setPendingValue(col::Active, Value(true));
    grdDataGrid->setPendingValue(col::DatePurchased, Value(" "));
    grdDataGrid->setPendingValue(col::InstallDate, Value(" "));
    grdDataGrid->setPendingValue(col::ReplaceCost, Value(0));
    grdDataGrid->setPendingValue(col::LifeNumber, Value(0));
    grdDataGrid->setPendingValue(col::LifeBasis, Value("RT"));
    const QString make = field(Field::Make)->text();
    grdDataGrid->setPendingValue(col::Manufacturer,
                                 Value(make.isEmpty() ? QStringLiteral(" ") : make));
    grdDataGrid->setPendingValue(col::OilAnalysis, Value(false));
}

void frmAircraft::grdDataGrid_AfterColEdit(int c) {
    if (c == col::Active || c == col::OilAnalysis) {
        grdDataGrid->setCellValue(c, data::Value(yesNoFromText(grdDataGrid->cellText(c))));
    } else if (c == col::DatePurchased || c == col::InstallDate) {
        if (grdDataGrid->cellText(c).isEmpty())
            grdDataGrid->setCellValue(c, data::Value(" "));
    } else if (c == col::LifeBasis) {
        if (isLifeBasisCode(grdDataGrid->cellText(c))) {
            TypeRejected = 0;
        } else {
            screens::msgBox(this, QStringLiteral("Press OK to continue"), MsgButtons::Ok,
                            MsgIcon::None, QStringLiteral("Type must be RT,OH,IN,MO,LD,CY or RN"),
                            MsgAnswer::Ok);
            screens::reactivateWindow(this);
            TypeRejected = 1;
        }
    }
}

void frmAircraft::grdDataGrid_AfterColUpdate(int c) {
    if (c != col::ReplaceCost && c != col::LifeNumber)
        return;
    // A cell the engine could not take as a number is read as the user typed it.
    auto text = [this](int column) {
        const data::Value v = grdDataGrid->cellValue(column);
        return v.isNumber() ? v.toString() : grdDataGrid->cellText(column);
    };
    const auto reserve = reservePerHour(text(col::ReplaceCost), text(col::LifeNumber),
                                        grdDataGrid->cellValue(col::LifeBasis).toString());
    if (reserve)
        grdDataGrid->setCellValue(col::ReservePerHour, data::Value(*reserve));
}

void frmAircraft::grdDataGrid_DblClick() {
    const int c = grdDataGrid->currentColumn();
    if (c != col::Active && c != col::OilAnalysis)
        return;
    const data::Value v = grdDataGrid->cellValue(c);
    const bool isTrue = v.isNumber() && v.toInt() == -1;
    grdDataGrid->setCellValue(c, data::Value(!isTrue));
}

void frmAircraft::grdDataGrid_RowColChange(int lastRow, int lastCol) {
    if (TypeRejected == 1) {
        grdDataGrid->setCurrentRow(lastRow);
        grdDataGrid->setCurrentColumn(lastCol);
        grdDataGrid->setFocus();
        TypeRejected = 0;
        return;
    }
    const data::Value d = grdDataGrid->cellValue(col::Description);
    if (!d.isNull())
        grdDataGrid->setToolTip(d.toString());
}

// --- templates --------------------------------------------------------------------------

void frmAircraft::showTemplateChoosers(bool shown) {
    const Field boxes[2] = {Field::Make, Field::Model};
    for (int i = 0; i < 2; ++i) {
        Combo2[static_cast<size_t>(i)]->setVisible(shown);
        field(boxes[i])->setVisible(!shown);
    }
}

void frmAircraft::FillMakeList() {
    for (screens::Chooser* c : Combo2) {
        c->clearList();
        c->addEntry(QStringLiteral("<Add new>"));
    }
    // Templates saved since the screen opened are listed too.
    datMakes->refresh();
    for (const data::Value& v : columnValues(datMakes->recordset(), QStringLiteral("Make"))) {
        if (!v.isNull() && Combo2[0]->findExact(v.toString()) < 0)
            Combo2[0]->addEntry(v.toString());
    }
}

void frmAircraft::Combo2_Click(int index) {
    if (index == 0) {
        if (Combo2[0]->listIndex() == 0) {
            showTemplateChoosers(false);
            focusField(Field::Make);
            return;
        }
        if (Combo2[0]->listIndex() < 0)
            return;
        const QString make = Combo2[0]->text();
        // The aircraft takes the chosen make.
        field(Field::Make)->setText(make);
        Combo2[1]->clearList();
        Combo2[1]->addEntry(QStringLiteral("<Add new>"));
        const data::Recordset* rs = datMakes->recordset();
        const auto makes = columnValues(rs, QStringLiteral("Make"));
        const auto models = columnValues(rs, QStringLiteral("Model"));
        for (size_t i = 0; i < makes.size() && i < models.size(); ++i) {
            if (makes[i].toString() == make && !models[i].isNull() &&
                Combo2[1]->findExact(models[i].toString()) < 0)
                Combo2[1]->addEntry(models[i].toString());
        }
        Combo2[1]->setEnabled(true);
        return;
    }
    if (index != 1)
        return;
    if (Combo2[1]->listIndex() == 0) {
        Combo2[1]->hide();
        field(Field::Model)->setVisible(true);
        focusField(Field::Model);
        return;
    }
    if (Combo2[1]->listIndex() < 0)
        return;
    const QString make = Combo2[0]->text();
    const QString model = Combo2[1]->text();
    field(Field::Model)->setText(model);
    const QString reg = field(Field::RegNum)->text().trimmed();
    if (reg.isEmpty()) {
        // Components without an aircraft would be lost in the file.
        screens::msgBox(this,
                        QStringLiteral("Enter the registration number first; then choose the "
                                       "model again to copy its components."),
                        MsgButtons::Ok, MsgIcon::Information, QStringLiteral("Missing data"));
        screens::reactivateWindow(this);
        focusField(Field::RegNum);
        return;
    }
    // The components name the aircraft: it is written first, so that they never stand
    // without it.
    if (!saveNewAircraft())
        return;  // the record source or the registration rule said why
    const QString mainFile = data::dataFileName(dataPath_, data::files::kMain);
    if (!screens::backUpBeforeChange(this, {mainFile}, backup::Reason::BeforeTemplate,
                                     QStringLiteral("a template's components are copied"))) {
        screens::reactivateWindow(this);
        return;
    }
    try {
        const auto rows = readTemplate(templatesFile(), make, model);
        applyTemplate(mainFile, field(Field::RegNum)->text(), make, rows);
    } catch (const data::DbError& e) {
        screens::msgBox(this,
                        QStringLiteral("The template of %1 %2 could not be copied: %3")
                            .arg(make, model, e.text()),
                        MsgButtons::Ok, MsgIcon::Information, QStringLiteral("Error"));
        screens::reactivateWindow(this);
        return;
    }
    requeryComponents(componentListSql(currentRegNum(), showRecords(), OrderBy::ItemNumber));
}

void frmAircraft::cmdTemplate_Click() {
    const QString typedMake = field(Field::Make)->text();
    const QString model = field(Field::Model)->text();
    if (typedMake.isEmpty() || model.isEmpty())
        return;
    // The make names its template table: blanks around it are no part of the name.
    const QString make = typedMake.trimmed();
    auto fail = [this](const QString& text) {
        screens::msgBox(this, text, MsgButtons::Ok, MsgIcon::Information,
                        QStringLiteral("Save as Template"));
        screens::reactivateWindow(this);
    };
    const QString problem = makeNameProblem(make);
    if (!problem.isEmpty()) {
        fail(problem);
        return;
    }
    grdDataGrid->commitPendingRow();
    std::vector<TemplateRow> rows;
    if (data::Recordset* rs = datSecondaryRS->recordset()) {
        auto at = [rs](const auto& row, const char* column) {
            const int i = rs->fieldIndex(QString::fromLatin1(column));
            return i < 0 ? data::Value() : row.values[static_cast<size_t>(i)];
        };
        for (const auto& row : rs->rows()) {
            rows.push_back({at(row, "ItemNumber"), at(row, "Manufacturer"), at(row, "Description"),
                            at(row, "PartNumber"), at(row, "Assembly"), at(row, "LifeNumber"),
                            at(row, "LifeBasis"), at(row, "ReplaceCost")});
        }
    }
    try {
        saveTemplate(templatesFile(), make, model, rows);
    } catch (const data::DbError& e) {
        fail(QStringLiteral("The template of %1 %2 could not be saved: %3")
                 .arg(make, model, e.text()));
        return;
    }
    if (grdDataGrid->rowCount() > 0)
        grdDataGrid->setCurrentRow(0);
}

}  // namespace velmora::aircraft
