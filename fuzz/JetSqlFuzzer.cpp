// Jet SQL as a user may type it: the tokenizer reads every text or refuses it with a numbered
// error, the server's translation leaves no * item unresolved, and a statement the translator
// accepts either runs on an empty main data file or fails with a numbered error. Nothing a
// statement does is left in the file or beside it.
#include "FuzzChecks.h"
#include "data/Database.h"
#include "data/JetSqlTokenizer.h"
#include "data/JetSqlTranslator.h"
#include "data/Recordset.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <memory>

using namespace velmora;
using velmora::fuzz::check;
using velmora::fuzz::checkNumbered;

namespace {

struct FileStamp {
    qint64 size = 0;
    qint64 modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const QString& path) {
    struct stat sb {};
    if (::stat(QFile::encodeName(path).constData(), &sb) != 0)
        return {-1, -1};
    return {static_cast<qint64>(sb.st_size),
            static_cast<qint64>(sb.st_mtim.tv_sec) * 1000000000 + sb.st_mtim.tv_nsec};
}

// An empty main data file in a folder of its own, open for the whole run.
struct EmptyDataFile {
    EmptyDataFile() {
        check(folder.isValid(), "a temporary folder can be made");
        path = QDir(folder.path()).filePath(QStringLiteral("Timemgr.mdb"));
        data::schema::createMainFile(path);
        db = data::Database::open(path);
        tables = db->tableNames();
        stamp = stampOf(path);
    }
    QTemporaryDir folder;
    QString path;
    std::shared_ptr<data::Database> db;
    QStringList tables;
    FileStamp stamp;
};

void checkTokens(const QString& text) {
    try {
        const std::vector<data::JetToken> tokens = data::tokenizeJetSql(text);
        QString joined;
        int pos = 0;
        for (const data::JetToken& t : tokens) {
            check(t.pos == pos && !t.text.isEmpty(), "tokens follow each other without gaps", text);
            joined += t.text;
            pos += static_cast<int>(t.text.size());
        }
        check(joined == text, "the tokens hold the whole text", text);
    } catch (const data::DbError& e) {
        checkNumbered(e, text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static EmptyDataFile file;
    const QString text = fuzz::inputText(bytes, size);
    checkTokens(text);
    try {
        data::translateJetExpression(text);
    } catch (const data::DbError& e) {
        checkNumbered(e, text);
    }
    // For the server, each * item of a table is left as a marker the back end fills in: every
    // marker stands once in the text, outside literals and names, and no item is left over.
    try {
        const data::JetTranslation pg =
            data::translateJetStatement(text, data::SqlDialect::Postgres);
        check(!pg.sql.contains(QChar(1)) || text.contains(QChar(1)),
              "every * item of the server's text is resolved", text);
        for (const data::JetTranslation::StarColumns& star : pg.starColumns) {
            QString sql = pg.sql;
            check(data::replaceOutsideQuotes(&sql, star.marker, QString()) &&
                      !data::replaceOutsideQuotes(&sql, star.marker, QString()),
                  "each * marker stands once in the server's text", text);
        }
    } catch (const data::DbError& e) {
        checkNumbered(e, text);
    }
    data::JetTranslation t;
    try {
        t = data::translateJetStatement(text);
    } catch (const data::DbError& e) {
        checkNumbered(e, text);
        return 0;
    }
    check(!t.sql.trimmed().isEmpty(), "an accepted statement translates to a statement", text);
    {
        data::ScratchTransaction scratch(*file.db);
        try {
            if (t.isSelect)
                file.db->openRecordset(text);
            else
                file.db->execute(text);
        } catch (const data::DbError& e) {
            checkNumbered(e, text + QStringLiteral("\n-> ") + t.sql);
        }
    }
    // Whatever the statement did was undone: the file and its folder are as they were.
    check(file.db->tableNames() == file.tables, "the file keeps its tables", text);
    check(stampOf(file.path) == file.stamp, "the data file is not written", text);
    check(QDir(file.folder.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) ==
              QStringList{QStringLiteral("Timemgr.mdb")},
          "nothing is made beside the data file", text + QStringLiteral("\n-> ") + t.sql);
    return 0;
}
