#include "StandardOptions.h"

#include "StandardOutput.h"

#include <algorithm>
#include <cstdio>

namespace velmora::cli {

namespace {

const Option kHelp{QStringLiteral("help"), u'h', {}, QStringLiteral("display this help and exit")};
const Option kVersion{
    QStringLiteral("version"), {}, {}, QStringLiteral("output version information and exit")};

const Option* findLong(const ProgramHelp& help, const QString& name) {
    for (const Option& o : help.options) {
        if (o.longName == name)
            return &o;
    }
    return nullptr;
}

const Option* findShort(const ProgramHelp& help, QChar letter) {
    for (const Option& o : help.options) {
        if (!o.shortName.isNull() && o.shortName == letter)
            return &o;
    }
    return nullptr;
}

QString optionColumn(const Option& o) {
    QString text = o.shortName.isNull() ? QStringLiteral("      ")
                                        : QStringLiteral("  -%1, ").arg(o.shortName);
    text += QStringLiteral("--") + o.longName;
    if (!o.valueName.isEmpty())
        text += u'=' + o.valueName;
    return text;
}

enum class Found { Nothing, Help, Version, Unknown };

// Reads the arguments from the left; the first of help, version or an unknown option wins,
// as with getopt. The value of an option that takes one is skipped, whatever it looks like.
Found scan(const QStringList& args, const ProgramHelp& help, bool reportUnknown, QString* unknown) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--help" || a == u"-h")
            return Found::Help;
        if (a == u"--version")
            return Found::Version;
        if (!a.startsWith(u'-') || a == u"-")
            continue;
        const Option* option = nullptr;
        bool inlineValue = false;
        if (a.startsWith(u"--")) {
            const qsizetype equals = a.indexOf(u'=');
            inlineValue = equals > 0;
            option = findLong(help, inlineValue ? a.mid(2, equals - 2) : a.mid(2));
        } else if (a.size() == 2) {
            option = findShort(help, a[1]);
        }
        if (!option) {
            // Qt's options are the single-dash ones; a long option is always the program's.
            if (!reportUnknown && !a.startsWith(u"--"))
                continue;
            *unknown = a;
            return Found::Unknown;
        }
        if (!option->valueName.isEmpty() && !inlineValue)
            ++i;
    }
    return Found::Nothing;
}

QString unknownText(const ProgramHelp& help, const QString& option) {
    return QStringLiteral("%1: unknown option '%2'\nTry '%1 --help' for more information.\n")
        .arg(help.name, option);
}

void print(const QString& text, FILE* stream) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

}  // namespace

QString versionText(const QString& program) {
    return QStringLiteral("%1 (Velmora) %2\n").arg(program, QStringLiteral(VELMORA_VERSION));
}

QString helpText(const ProgramHelp& help) {
    QString text;
    // A usage that goes on over several lines continues under its first argument.
    const QString indent(QStringLiteral("Usage: ").size() + help.name.size() + 1, u' ');
    for (qsizetype i = 0; i < help.usages.size(); ++i) {
        QString usage = help.usages[i];
        usage.replace(u'\n', u'\n' + indent);
        text += (i == 0 ? QStringLiteral("Usage: ") : QStringLiteral("  or:  ")) + help.name +
                u' ' + usage + u'\n';
    }
    text += help.description;
    QList<Option> options = help.options;
    options << kHelp << kVersion;
    qsizetype width = 0;
    for (const Option& o : options)
        width = std::max(width, optionColumn(o).size());
    text += QStringLiteral("\nOptions:\n");
    for (const Option& o : options)
        text += optionColumn(o).leftJustified(width + 2) + o.help + u'\n';
    if (!help.notes.isEmpty())
        text += u'\n' + help.notes;
    return text;
}

std::optional<int> standardOptions(const QStringList& args, const ProgramHelp& help, QString* out,
                                   QString* err) {
    QString unknown;
    switch (scan(args, help, !help.toolkitOptions, &unknown)) {
        case Found::Help:
            *out = helpText(help);
            return 0;
        case Found::Version:
            *out = versionText(help.name);
            return 0;
        case Found::Unknown:
            *err = unknownText(help, unknown);
            return 2;
        case Found::Nothing:
            break;
    }
    return std::nullopt;
}

std::optional<int> handleStandardOptions(int argc, char** argv, const ProgramHelp& help) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QString out, err;
    const std::optional<int> status = standardOptions(args, help, &out, &err);
    if (!status)
        return std::nullopt;
    // --help > /dev/full fails as any other output does.
    return writeOutput(help.name, out, err, *status);
}

std::optional<int> rejectUnknownOptions(const QStringList& args, const ProgramHelp& help) {
    QString unknown;
    if (scan(args, help, true, &unknown) != Found::Unknown)
        return std::nullopt;
    print(unknownText(help, unknown), stderr);
    return 2;
}

}  // namespace velmora::cli
