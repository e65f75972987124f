#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace velmora::cli {

// One option of a program as its help lists it.
struct Option {
    QString longName;   // without the leading "--"
    QChar shortName;    // null when the option has no one-letter form
    QString valueName;  // empty when the option takes no value
    QString help;
};

// What a program's --help shows, and which options it accepts.
struct ProgramHelp {
    QString name;           // the installed name, e.g. "velmora-sql"
    QStringList usages;     // what follows the name on each usage line ('\n' goes on below)
    QString description;    // lines after the usage lines, each ending with a line feed
    QList<Option> options;  // the program's own; -h/--help and --version are added
    QString notes;          // lines after the option list, each ending with a line feed
    // Qt takes its own options (-platform, -style ...) out of the arguments when the
    // application object is made; until then, single-dash options that are not the
    // program's are left alone.
    bool toolkitOptions = false;
};

QString versionText(const QString& program);
QString helpText(const ProgramHelp& help);

// Looks through a program's arguments (without its name) for -h/--help, --version and
// options it does not have. Returns the exit status when the program should end at once:
// 0 with the help or the version in *out, 2 with a message on an unknown option in *err.
// Returns nothing when the program should go on with its own reading of the arguments,
// which this leaves untouched.
std::optional<int> standardOptions(const QStringList& args, const ProgramHelp& help, QString* out,
                                   QString* err);

// The same on the process's own arguments, printing to standard output and standard error
// (1 when the help or the version cannot be written in full). Needs no application object,
// so it runs before one is made and without a display.
std::optional<int> handleStandardOptions(int argc, char** argv, const ProgramHelp& help);

// For a program with toolkit options, once Qt has taken its own out of the arguments
// (QCoreApplication::arguments() without the program name): the exit status 2, with the
// message printed, when an option is left that the program does not have.
std::optional<int> rejectUnknownOptions(const QStringList& args, const ProgramHelp& help);

}  // namespace velmora::cli
