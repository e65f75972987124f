#include "ComponentOptions.h"

#include "cli/OptionWord.h"

namespace velmora::componenttool {

namespace {

// The options each command takes.
QStringList optionsOf(const QString& command) {
    const QStringList unit = {QStringLiteral("--data"), QStringLiteral("--pn"),
                              QStringLiteral("--sn")};
    if (command == u"remove")
        return unit + QStringList{"--reg", "--date", "--reason", "--to", "--ref"};
    if (command == u"install")
        return unit +
               QStringList{"--reg", "--date", "--item", "--meter", "--ref", "--accept-reached"};
    if (command == u"overhaul")
        return unit + QStringList{"--date", "--reset", "--kind", "--reason", "--ref"};
    if (command == u"history")
        return unit + QStringList{"--csv", "--pdf"};
    return {QStringLiteral("--data"), QStringLiteral("--csv"), QStringLiteral("--pdf")};  // stores
}

bool wholeNumber(const QString& text, int* out) {
    bool ok = false;
    *out = text.trimmed().toInt(&ok);
    return ok;
}

}  // namespace

data::MaybeFailure readComponentOptions(const QStringList& args, ComponentOptions* o) {
    static const QStringList commands = {"remove", "install", "overhaul", "stores", "history"};
    if (args.isEmpty() || !commands.contains(args[0]))
        return cli::wrongCommandLine(
            args.isEmpty()
                ? QStringLiteral("name a command: remove, install, overhaul, stores or history")
                : QStringLiteral("unknown command '%1'").arg(args[0]));
    o->command = args[0];
    const QStringList known = optionsOf(o->command);
    for (int i = 1; i < args.size(); ++i) {
        cli::OptionWord word = cli::splitOptionWord(args[i]);
        const QString& name = word.name;
        if (!args[i].startsWith(QStringLiteral("--")) || !known.contains(name))
            return cli::wrongCommandLine(
                QStringLiteral("unknown argument '%1' for %2").arg(args[i], o->command));
        if (name == u"--accept-reached") {
            if (word.inlineValue)
                return cli::wrongCommandLine(QStringLiteral("--accept-reached takes no value"));
            o->acceptReached = true;
            continue;
        }
        if (!cli::takeOptionValue(word, args, i))
            return cli::wrongCommandLine(QStringLiteral("the option %1 needs a value").arg(name));
        const QString& v = word.value;
        if (name == u"--data")
            o->data = v;
        else if (name == u"--reg")
            o->reg = v;
        else if (name == u"--pn")
            o->pn = v;
        else if (name == u"--sn")
            o->sn = v;
        else if (name == u"--date")
            o->date = v;
        else if (name == u"--reason")
            o->reason = v;
        else if (name == u"--to")
            o->to = v;
        else if (name == u"--ref")
            o->ref = v;
        else if (name == u"--kind")
            o->kind = v;
        else if (name == u"--reset")
            o->reset << v;
        else if (name == u"--csv")
            o->csv = v;
        else if (name == u"--pdf")
            o->pdf = v;
        else if (name == u"--item") {
            if (!wholeNumber(v, &o->item))
                return cli::wrongCommandLine(
                    QStringLiteral("--item takes a whole number, not '%1'").arg(v));
            o->hasItem = true;
        } else if (name == u"--meter") {
            if (!wholeNumber(v, &o->meter) || (o->meter != 1 && o->meter != 2))
                return cli::wrongCommandLine(
                    QStringLiteral("--meter takes 1 or 2, not '%1'").arg(v));
        }
    }
    if (o->data.isEmpty())
        return cli::wrongCommandLine(
            QStringLiteral("name the data folder or server with --data DIR_OR_URI"));
    if (o->command != u"stores" && (o->pn.trimmed().isEmpty() || o->sn.trimmed().isEmpty()))
        return cli::wrongCommandLine(
            QStringLiteral("name the component with --pn PART_NUMBER --sn SERIAL_NUMBER"));
    if ((o->command == u"remove" || o->command == u"install") && o->reg.trimmed().isEmpty())
        return cli::wrongCommandLine(QStringLiteral("name the aircraft with --reg REG"));
    if (o->command == u"install" && !o->hasItem)
        return cli::wrongCommandLine(
            QStringLiteral("give the item number on the aircraft with --item N"));
    if (!o->csv.isEmpty() && !o->pdf.isEmpty())
        return cli::wrongCommandLine(
            QStringLiteral("write either --csv OUT or --pdf OUT, not both"));
    return std::nullopt;
}

}  // namespace velmora::componenttool
