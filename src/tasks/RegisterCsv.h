#pragma once

#include "TaskTypes.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

namespace velmora::data {
class Database;
}

// The register as a CSV file (RFC 4180, UTF-8): a header line naming the columns, then one
// task per line. docs/task-register.md describes the columns; the template beside it holds
// the header and an example of each kind of task.
namespace velmora::tasks {

// The columns in the order the program writes them.
const QStringList& registerCsvColumns();

// A line of the file that was refused, and why.
struct BadLine {
    int line = 0;
    QString problem;
};

// What reading a register file found: the tasks of its good lines (with the lines they came
// from), and the bad lines. A file that cannot be read as a whole (not CSV, no header, a
// column the register does not have, a required column missing) gives one bad line, line
// 1 or the line at fault, and no task.
struct RegisterFile {
    std::vector<Task> tasks;
    std::vector<int> lines;  // the line each task begins on
    std::vector<BadLine> bad;
    bool unreadable = false;  // the file as a whole: its one bad line says why
};
RegisterFile readRegisterCsv(const QByteArray& utf8);

// What an import did.
struct ImportReport {
    int read = 0;      // tasks on the file's lines (good and bad)
    int imported = 0;  // tasks stored
    int applied = 0;   // compliance records added for them
    std::vector<BadLine> bad;
    QStringList warnings;  // applicability naming what the fleet does not have
    bool written = false;  // false: the data was left as it was
};

// Imports a register file into the main data file. Every line is checked first, against
// the rules of a task and against the register (a number and revision it holds already, or
// that an earlier line holds). When a line is bad nothing is imported, unless skipBad: then
// the good lines are. The tasks are stored and applied to the fleet in one transaction.
// Throws data::DbError when the data file cannot be read or written (nothing written then).
ImportReport importRegister(data::Database& mainDb, const QByteArray& utf8, bool skipBad);

// The tasks as a register file, for people (a text a spreadsheet would run as a formula has
// an apostrophe in front, which reading the file takes off again).
QByteArray registerCsv(const std::vector<Task>& tasks);

}  // namespace velmora::tasks
