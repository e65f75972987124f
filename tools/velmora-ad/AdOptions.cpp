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

data::MaybeFailure readAdOptions(const QStringList& args, AdOptions* o) {
    static const QStringList commands = {QStringLiteral("import"), QStringLiteral("list"),
                                         QStringLiteral("status"), QStringLiteral("apply")};
    if (args.isEmpty() || !commands.contains(args[0]))
        return cli::wrongCommandLine(
            args.isEmpty() ? QStringLiteral("name a command: import, list, status or apply")
                           : QStringLiteral("unknown command '%1'").arg(args[0]));
    o->command = args[0];
    const QStringList known = optionsOf(o->command);
    for (int i = 1; i < args.size(); ++i) {
        if (!args[i].startsWith(QStringLiteral("--"))) {
            if (o->command == u"import" && o->file.isEmpty()) {
                o->file = args[i];
                continue;
            }
            return cli::wrongCommandLine(
                QStringLiteral("unknown argument '%1' for %2").arg(args[i], o->command));
        }
        cli::OptionWord word = cli::splitOptionWord(args[i]);
        const QString& name = word.name;
        if (!known.contains(name))
            return cli::wrongCommandLine(
                QStringLiteral("unknown argument '%1' for %2").arg(args[i], o->command));
        if (name == u"--skip-bad") {
            if (word.inlineValue)
                return cli::wrongCommandLine(QStringLiteral("--skip-bad takes no value"));
            o->skipBad = true;
            continue;
        }
        if (!cli::takeOptionValue(word, args, i))
            return cli::wrongCommandLine(QStringLiteral("the option %1 needs a value").arg(name));
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
    if (o->data.isEmpty())
        return cli::wrongCommandLine(
            QStringLiteral("name the data folder or server with --data DIR_OR_URI"));
    if (o->command == u"import" && o->file.isEmpty())
        return cli::wrongCommandLine(
            QStringLiteral("name the register file to import: import --data DIR FILE.csv"));
    if (!o->csv.isEmpty() && !o->pdf.isEmpty())
        return cli::wrongCommandLine(
            QStringLiteral("write either --csv OUT or --pdf OUT, not both"));
    return std::nullopt;
}

}  // namespace velmora::adtool
