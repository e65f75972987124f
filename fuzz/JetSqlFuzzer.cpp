// Jet SQL as a user may type it: the tokenizer reads every text or refuses it with a numbered
// error, the server's translation leaves no * item unresolved, and a statement the translator
// accepts either runs on an empty main data file or fails with a numbered error. Nothing a
// statement does is left in the file or beside it. Where VELMORA_FUZZ_SERVER names an empty
// database on a server (postgresql://...), the same data set is copied there once, and a
// SELECT that runs on the file runs on the server too, with the same rows.
#include "FuzzChecks.h"
#include "data/DataFiles.h"
#include "data/DataSetMigration.h"
#include "data/Database.h"
#include "data/JetSqlTokenizer.h"
#include "data/JetSqlTranslator.h"
#include "data/Recordset.h"
#include "data/Schema.h"
#include "data/Value.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

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

// An empty main data file in a folder of its own (with the templates file, as a data set to
// copy to a server needs), open for the whole run.
struct EmptyDataFile {
    EmptyDataFile() {
        check(folder.isValid(), "a temporary folder can be made");
        path = QDir(folder.path()).filePath(QStringLiteral("Timemgr.mdb"));
        data::schema::createMainFile(path);
        data::schema::createTemplateFile(QDir(folder.path()).filePath(data::files::kTemplates));
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

// The same empty data set on the server VELMORA_FUZZ_SERVER names; none without it.
std::shared_ptr<data::Database> serverCopy(const EmptyDataFile& file) {
    static const std::shared_ptr<data::Database> db = [&]() -> std::shared_ptr<data::Database> {
        const char* uri = std::getenv("VELMORA_FUZZ_SERVER");
        if (!uri || !*uri)
            return nullptr;
        const QString to = data::dataPathOf(QString::fromUtf8(uri));
        try {
            data::migrateDataSet(file.folder.path() + QDir::separator(), to);
            return data::Database::open(data::dataFileName(to, data::files::kMain));
        } catch (const data::DbError& e) {
            fuzz::fail("the empty data set is copied to the server (an empty database)", e.text());
        }
    }();
    return db;
}

// A statement's rows, each as its values' text, sorted: the order of rows is compared only by
// the differential test, which knows where a statement fixes it.
struct Rows {
    std::vector<QString> rows;
    int error = 0;
};

Rows rowsOf(data::Database& db, const QString& text) {
    Rows out;
    try {
        auto rs = db.openRecordset(text);
        for (; !rs->eof(); rs->moveNext()) {
            QString row;
            for (int i = 0; i < rs->fieldCount(); ++i) {
                const data::Value v = rs->value(i);
                row += (v.isNull() ? QStringLiteral("Null") : v.toString()) + QChar(0x1f);
            }
            out.rows.push_back(row);
        }
    } catch (const data::DbError& e) {
        out.error = e.code();
    }
    std::sort(out.rows.begin(), out.rows.end());
    return out;
}

// Overflow and division by zero: raised in a row or a term of And and Or that the other back
// end may never work out (neither fixes that order), so one back end may raise it alone.
bool isRuntimeError(int code) {
    return code == 6 || code == 11;
}

void compareWithServer(data::Database& server, data::Database& files, const QString& text) {
    const Rows f = rowsOf(files, text);
    if (f.error != 0)
        return;
    const Rows s = rowsOf(server, text);
    if (isRuntimeError(s.error))
        return;
    check(s.error == 0, "a SELECT that runs on the file runs on the server",
          text + QStringLiteral("\n-> error ") + QString::number(s.error));
    // A union's rows of texts alike but for letter case and trailing blanks are still kept
    // apart on the server: their rows are not compared.
    if (text.contains(QLatin1String("UNION"), Qt::CaseInsensitive))
        return;
    check(s.rows == f.rows, "a SELECT gives the same rows on the file and on the server", text);
}

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
    if (t.isSelect) {
        if (const auto server = serverCopy(file)) {
            data::ScratchTransaction scratch(*file.db);
            data::ScratchTransaction onServer(*server);
            compareWithServer(*server, *file.db, text);
        }
    }
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
              QStringList({data::files::kTemplates, data::files::kMain}),
          "nothing is made beside the data file", text + QStringLiteral("\n-> ") + t.sql);
    return 0;
}
