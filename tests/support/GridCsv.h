#pragma once

// Reads a grid's CSV export back and compares it with what the grid shows: the captions of
// its shown columns in their order, then each shown row's values (Null as nothing), a text
// that a spreadsheet program would run as a formula with an apostrophe in front.
#include "export/Csv.h"
#include "export/SpreadsheetText.h"
#include "screens/common/DataGrid.h"
#include "screens/common/GridExport.h"
#include "screens/common/GridExportMenu.h"
#include "screens/common/RecordsetTableModel.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace velmora::testing {

inline std::vector<exporting::CsvRecord> gridCsvRecords(const screens::DataGrid& grid) {
    std::vector<exporting::CsvRecord> records;
    const auto failure = exporting::parseCsv(screens::gridCsv(grid), &records);
    EXPECT_FALSE(failure) << failure->text.toStdString();
    const auto* model = qobject_cast<const screens::RecordsetTableModel*>(grid.model());
    EXPECT_NE(model, nullptr);
    const std::vector<int> columns = screens::shownColumns(grid);
    const std::vector<int> rows = screens::shownRows(grid);
    EXPECT_EQ(records.size(), rows.size() + 1);
    if (records.size() != rows.size() + 1 || !model)
        return records;
    EXPECT_EQ(records[0].size(), columns.size());
    for (size_t i = 0; i < columns.size() && i < records[0].size(); ++i)
        EXPECT_EQ(records[0][i], grid.column(columns[i]).caption);
    for (size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(records[r + 1].size(), columns.size());
        for (size_t i = 0; i < columns.size() && i < records[r + 1].size(); ++i) {
            // Written for people: a text that would run as a formula gets an apostrophe.
            std::optional<QString> shown = model->exportText(rows[r], columns[i]);
            if (shown)
                shown = exporting::spreadsheetText(*shown);
            EXPECT_EQ(records[r + 1][i], shown) << "row " << r << " column " << columns[i];
        }
    }
    return records;
}

// The cell of a record under a caption; none when there is no such column.
inline std::optional<QString> csvCell(const std::vector<exporting::CsvRecord>& records, size_t row,
                                      const QString& caption) {
    for (size_t i = 0; !records.empty() && i < records[0].size(); ++i) {
        if (records[0][i] == caption && row < records.size() && i < records[row].size())
            return records[row][i];
    }
    ADD_FAILURE() << "no column " << caption.toStdString();
    return std::nullopt;
}

// Ctrl+E on the grid asks for a file whose suggested name ends as given, and writes the
// grid's CSV into the file chosen.
inline void expectCtrlEExports(screens::DataGrid& grid, screens::ScopedDialogs& dialogs,
                               const QString& file, const QString& suggestedEnd) {
    dialogs->saveResult(file);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_TRUE(dialogs->saveRequests[0].initialFile.endsWith(suggestedEnd))
        << dialogs->saveRequests[0].initialFile.toStdString();
    EXPECT_EQ(fileBytes(file), screens::gridCsv(grid));
}

}  // namespace velmora::testing
