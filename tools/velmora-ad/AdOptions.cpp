#include "AdOptions.h"

#include "cli/OptionWord.h"

namespace velmora::adtool {

namespace {

// The options each command takes.
QStringList optionsOf(const QString& command) {
    if (command == u"import")
        return {QStringLiteral("--data"), QStringLiteral("--skip-bad")};
    if (command == u"list")
        return {QStringLiteral("--data"), QStringLiteral("--csv"), QStringLiteral("--pdf")};
    if (command == u"status")
        return {QStringLiteral("--data"), QStringLiteral("--reg"), QStringLiteral("--settings"),
                QStringLiteral("--csv"), QStringLiteral("--pdf")};
    return {QStringLiteral("--data"), QStringLiteral("--reg")};  // apply
}

}  // namespace

bool readAdOptions(const QStringList& args, AdOptions* o, QString* error) {
    static const QStringList commands = {QStringLiteral("import"), QStringLiteral("list"),
                                         QStringLiteral("status"), QStringLiteral("apply")};
    if (args.isEmpty() || !commands.contains(args[0])) {
        *error = args.isEmpty() ? QStringLiteral("name a command: import, list, status or apply")
                                : QStringLiteral("unknown command '%1'").arg(args[0]);
        return false;
    }
    o->command = args[0];
    const QStringList known = optionsOf(o->command);
    for (int i = 1; i < args.size(); ++i) {
        if (!args[i].startsWith(QStringLiteral("--"))) {
            if (o->command == u"import" && o->file.isEmpty()) {
                o->file = args[i];
                continue;
            }
            *error = QStringLiteral("unknown argument '%1' for %2").arg(args[i], o->command);
            return false;
        }
        cli::OptionWord word = cli::splitOptionWord(args[i]);
        const QString& name = word.name;
        if (!known.contains(name)) {
            *error = QStringLiteral("unknown argument '%1' for %2").arg(args[i], o->command);
            return false;
        }
        if (name == u"--skip-bad") {
            if (word.inlineValue) {
                *error = QStringLiteral("--skip-bad takes no value");
                return false;
            }
            o->skipBad = true;
            continue;
        }
        if (!cli::takeOptionValue(word, args, i)) {
            *error = QStringLiteral("the option %1 needs a value").arg(name);
            return false;
        }
        if (name == u"--data")
            o->data = word.value;
        else if (name == u"--reg")
            o->regs << word.value;
        else if (name == u"--settings")
            o->settings = word.value;
        else if (name == u"--csv")
            o->csv = word.value;
        else
            o->pdf = word.value;
    }
    if (o->data.isEmpty()) {
        *error = QStringLiteral("name the data folder or server with --data DIR_OR_URI");
        return false;
    }
    if (o->command == u"import" && o->file.isEmpty()) {
        *error = QStringLiteral("name the register file to import: import --data DIR FILE.csv");
        return false;
    }
    if (!o->csv.isEmpty() && !o->pdf.isEmpty()) {
        *error = QStringLiteral("write either --csv OUT or --pdf OUT, not both");
        return false;
    }
    return true;
}

}  // namespace velmora::adtool
