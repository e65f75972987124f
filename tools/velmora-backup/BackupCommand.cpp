#include "BackupCommand.h"

#include "backup/Backups.h"
#include "backup/ProgramFiles.h"
#include "cli/OptionWord.h"
#include "data/DataFiles.h"
#include "data/DbError.h"
#include "data/Journal.h"
#include "journal/JournalAnchors.h"

#include <QFileInfo>
#include <QTextStream>

namespace velmora::backuptool {

namespace {

struct Arguments {
    QString folder;
    QString command;
    QString name;
    bool yes = false;
};

data::MaybeFailure readArguments(const QStringList& args, Arguments* a) {
    QStringList words;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--yes" || arg == u"-y") {
            a->yes = true;
        } else if (arg == u"--folder") {
            if (i + 1 >= args.size())
                return cli::wrongCommandLine(QStringLiteral("The option --folder needs a folder."));
            a->folder = args[++i];
        } else if (arg.startsWith(QLatin1String("--folder="))) {
            a->folder = arg.mid(9);
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return cli::wrongCommandLine(QStringLiteral("Unknown option \"%1\".").arg(arg));
        } else {
            words << arg;
        }
    }
    if (words.isEmpty())
        return cli::wrongCommandLine(QStringLiteral("Say what to do: list, or restore NAME."));
    a->command = words.takeFirst();
    if (a->command == u"list" && words.isEmpty())
        return std::nullopt;
    if (a->command == u"restore" && words.size() == 1) {
        a->name = words.front();
        return std::nullopt;
    }
    if (a->command == u"restore")
        return cli::wrongCommandLine(
            QStringLiteral("Name one backup to restore (velmora-backup list shows them)."));
    if (a->command == u"list")
        return cli::wrongCommandLine(QStringLiteral("list takes no names."));
    return cli::wrongCommandLine(
        QStringLiteral("Unknown command \"%1\": list or restore.").arg(a->command));
}

// A data set on a database server is backed up with the server's own tools: only the
// company settings file has backups of Velmora's then.
bool dataOnServer(const backup::ProgramFiles& files) {
    return data::isServerLocation(files.dataPath);
}

QStringList offeredFiles(const backup::ProgramFiles& files) {
    QStringList out{files.settings};
    if (dataOnServer(files))
        return out;
    for (const QString& f : {files.main, files.templates}) {
        if (!f.isEmpty())
            out << f;
    }
    return out;
}

QString fileNames(const backup::Backup& b) {
    QStringList names;
    for (const backup::Copy& c : b.copies)
        names << QFileInfo(c.file).fileName();
    return names.join(QStringLiteral(", "));
}

int list(const backup::ProgramFiles& files, const QString& folder, QTextStream& out) {
    const std::vector<backup::Backup> backups = backup::listBackups(offeredFiles(files));
    if (backups.empty()) {
        out << "No backups of the data files of " << folder << " yet.\n";
        return 0;
    }
    int nameWidth = 4, whyWidth = 3;
    for (const backup::Backup& b : backups) {
        nameWidth = std::max(nameWidth, static_cast<int>(b.name.size()));
        whyWidth = std::max(whyWidth, static_cast<int>(backup::reasonText(b.reason).size()));
    }
    out << QStringLiteral("NAME").leftJustified(nameWidth) << "  "
        << QStringLiteral("TAKEN").leftJustified(19) << "  "
        << QStringLiteral("WHY").leftJustified(whyWidth) << "  FILES\n";
    for (const backup::Backup& b : backups) {
        out << b.name.leftJustified(nameWidth) << "  "
            << b.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << "  "
            << backup::reasonText(b.reason).leftJustified(whyWidth) << "  " << fileNames(b) << '\n';
    }
    return 0;
}

int restore(const backup::ProgramFiles& files, const Arguments& a, const Environment& env,
            QTextStream& in, QTextStream& out, QTextStream& err) {
    const std::optional<backup::Backup> it = backup::findBackup(offeredFiles(files), a.name);
    if (!it) {
        err << "velmora-backup: there is no backup named " << a.name
            << " (velmora-backup list shows them).\n";
        return 1;
    }
    try {
        backup::checkWhole(*it);
    } catch (const data::DbError& e) {
        err << "velmora-backup: error " << e.code() << ": " << e.text() << '\n';
        return 1;
    }
    if (env.programRunning && env.programRunning(a.folder)) {
        err << "velmora-backup: Velmora is running on these files. Restore the backup from its "
               "Company Set-up screen, or close it first.\n";
        return 1;
    }
    if (!a.yes) {
        out << "Restore the backup of " << it->description() << " (" << fileNames(*it)
            << ")? What was entered since is not in it. The files as they are now are kept as "
               "a backup first. [y/N] ";
        out.flush();
        const QString answer = in.readLine().trimmed().toLower();
        if (answer != u"y" && answer != u"yes") {
            out << "Nothing was restored.\n";
            return 1;
        }
    }
    try {
        // The restored file's journal goes on from the backup's lines, with the restore's
        // own line: the settings file's anchor follows it, as the program's does.
        data::journal::setAfterCommit(journal::anchorInSettings(files.settings));
        const backup::RestoreOutcome outcome = backup::restoreBackup(*it);
        data::journal::setAfterCommit(nullptr);
        out << "Restored the backup " << it->name << ": " << fileNames(outcome.restored)
            << ". The files as they were are kept as the backup " << outcome.kept.name << ".\n";
        return 0;
    } catch (const data::DbError& e) {
        data::journal::setAfterCommit(nullptr);
        err << "velmora-backup: error " << e.code() << ": " << e.text() << '\n';
        return 1;
    }
}

}  // namespace

int runBackupCommand(const QStringList& args, const Environment& env, QTextStream& in,
                     QTextStream& out, QTextStream& err) {
    Arguments a;
    if (const auto failure = readArguments(args, &a)) {
        err << "velmora-backup: " << failure->text << "\nTry 'velmora-backup --help'.\n";
        return 2;
    }
    if (a.folder.isEmpty())
        a.folder = env.defaultFolder;
    const backup::ProgramFiles files = backup::programFiles(a.folder);
    if (!QFileInfo(files.settings).isFile()) {
        err << "velmora-backup: there is no SetupPP.mdb in " << a.folder
            << "; name the program folder with --folder DIR.\n";
        return 1;
    }
    if (!files.settingsError.isEmpty())
        err << "velmora-backup: " << files.settingsError
            << " Only the backups of SetupPP.mdb are listed.\n";
    else if (dataOnServer(files))
        err << "velmora-backup: the data set is kept on the database server "
            << files.dataPath.trimmed()
            << "; back it up with the server's own tools (pg_dump). Only the backups of "
               "SetupPP.mdb are listed here.\n";
    if (a.command == u"list")
        return list(files, a.folder, out);
    return restore(files, a, env, in, out, err);
}

}  // namespace velmora::backuptool
