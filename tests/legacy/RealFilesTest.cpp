// Every Access file of the corpus written by other people (fixtures/jet/more) converts: each
// table with the rows its manifest counts, the values that are known to be true hold, and
// the report accounts for every stored query.
#include "data/Database.h"
#include "data/JetSqlTranslator.h"
#include "data/Recordset.h"
#include "legacy/FileConversion.h"
#include "support/JetFixtures.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>

using namespace velmora;
using namespace velmora::legacy;
using namespace velmora::testing;

namespace {

QJsonDocument jsonFixture(const char* name) {
    QFile f(jetFixture(name));
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()) : QJsonDocument();
}

qsizetype countOf(const QJsonValue& v) {
    return v.isArray() ? v.toArray().size() : v.toInt();
}

// The values known to be true in the converted files, by file.
void checkTrueValues(const QString& file, data::Database& db) {
    if (file == u"jackcess_oldDatesV2007.accdb") {
        const std::map<int, QString> dates = {
            {1, "1582-10-15"}, {2, "1582-10-14"}, {3, "1492-01-10"}, {4, "1392-01-10"}};
        for (const auto& [id, date] : dates) {
            auto rs = db.openRecordset(
                QStringLiteral("SELECT DateField FROM Table1 WHERE ID = %1").arg(id));
            EXPECT_TRUE(rs->value("DateField").toString().startsWith(date)) << id;
        }
    } else if (file == u"jackcess_testEmoticonsV2010.accdb") {
        auto rs = db.openRecordset("SELECT * FROM data");
        int rows = 0;
        for (; !rs->eof(); rs->moveNext(), ++rows) {
            const auto codePoint = static_cast<char32_t>(rs->value("key").toDouble());
            EXPECT_EQ(rs->value("data").toString(), u'a' + QString::fromUcs4(&codePoint, 1) + u'a');
        }
        EXPECT_EQ(rows, 80);
    } else if (file == u"mdbreadercs_TestUnicode.2022.accdb") {
        const QJsonObject table =
            jsonFixture("more/mdbreadercs_TestUnicode.2022.accdb.expected.json")
                .object()["Tables"]
                .toObject()["TestText"]
                .toObject();
        const QJsonArray rows = table["Rows"].toArray();
        ASSERT_FALSE(rows.isEmpty());
        for (const QJsonValue& r : rows) {
            const QJsonObject row = r.toObject();
            auto rs = db.openRecordset(
                QStringLiteral("SELECT * FROM TestText WHERE ID = %1").arg(row["ID"].toInt()));
            ASSERT_FALSE(rs->eof());
            for (auto it = row.begin(); it != row.end(); ++it) {
                if (it.value().isString()) {
                    EXPECT_EQ(rs->value(it.key()).toString(), it.value().toString())
                        << it.key().toStdString();
                }
            }
        }
    } else if (file == u"mdbreaderjs_V2016_bigint.accdb") {
        auto rs = db.openRecordset("SELECT Numeric FROM [Table] WHERE ID = 1");
        EXPECT_EQ(rs->value("Numeric").type(), data::Value::Type::Integer);
        EXPECT_EQ(rs->value("Numeric").toInt(), 42);
    } else if (file == u"jackcess_extDateTestV2019.accdb") {
        // DateExtStr holds each row's true value as Access shows it: "6/14/100 12:45:00.1234567
        // PM", or the date alone at midnight.
        static const QRegularExpression shown(
            QStringLiteral(R"(^(\d+)/(\d+)/(\d+)(?: (\d+):(\d\d):(\d\d)\.(\d{7}) ([AP]M))?$)"));
        auto rs = db.openRecordset("SELECT ID, DateExt, DateExtStr FROM Table1");
        int rows = 0, values = 0;
        for (; !rs->eof(); rs->moveNext(), ++rows) {
            SCOPED_TRACE(rs->value("ID").toString().toStdString());
            if (rs->value("DateExtStr").isNull()) {
                EXPECT_TRUE(rs->value("DateExt").isNull());
                continue;
            }
            const auto m = shown.match(rs->value("DateExtStr").toString());
            ASSERT_TRUE(m.hasMatch());
            const int hour = m.captured(4).toInt() % 12 + (m.captured(8) == u"PM" ? 12 : 0);
            const QString expected = QStringLiteral("%1-%2-%3 %4:%5:%6.%7")
                                         .arg(m.captured(3).rightJustified(4, u'0'),
                                              m.captured(1).rightJustified(2, u'0'),
                                              m.captured(2).rightJustified(2, u'0'))
                                         .arg(hour, 2, 10, QLatin1Char('0'))
                                         .arg(m.captured(5).isEmpty() ? "00" : m.captured(5),
                                              m.captured(6).isEmpty() ? "00" : m.captured(6),
                                              m.captured(7).isEmpty() ? "0000000" : m.captured(7));
            EXPECT_EQ(rs->value("DateExt").toString(), expected);
            ++values;
        }
        EXPECT_EQ(rows, 9);
        EXPECT_EQ(values, 8);
    } else if (file == u"jackcess_calcFieldTestV2010.accdb") {
        auto rs = db.openRecordset("SELECT LastFirst, AllNames FROM Table1 WHERE ID = 1");
        EXPECT_EQ(rs->value("LastFirst").toString(), "Wayne, Bruce");
        EXPECT_EQ(rs->value("AllNames").toString(), "Wayne, Bruce=Wayne, Bruce");
    }
}

}  // namespace

TEST(RealFiles, EveryFileConvertsWithTheRowsOfItsManifestAndItsTrueValues) {
    const QJsonArray manifest = jsonFixture("more/manifest.json").array();
    if (manifest.isEmpty())
        GTEST_SKIP() << "more/manifest.json is not in " VELMORA_JET_FIXTURES;
    TestFolder folder;
    int converted = 0;
    for (const QJsonValue& entry : manifest) {
        const QJsonObject e = entry.toObject();
        const QString file = e["file"].toString();
        SCOPED_TRACE(file.toStdString());
        const QString source = jetFixture(("more/" + file).toUtf8().constData());
        ASSERT_FALSE(source.isEmpty());
        const QString dest = folder.file(QStringLiteral("%1.mdb").arg(converted));
        ConversionReport report;
        try {
            report = convertJetFile(source, dest, {});
        } catch (const velmora::data::DbError& error) {
            ADD_FAILURE() << error.text().toStdString();
            continue;
        }
        ++converted;
        const QJsonObject tables = e["tables"].toObject();
        qsizetype copied = 0;
        for (const TableReport& t : report.tables) {
            if (!tables.contains(t.source))
                continue;
            ++copied;
            const qint64 rows = tables[t.source].toInteger();
            EXPECT_FALSE(t.target.isEmpty()) << t.source.toStdString();
            EXPECT_EQ(t.rowsRead, rows) << t.source.toStdString();
            EXPECT_EQ(t.rowsWritten, rows) << t.source.toStdString();
        }
        EXPECT_EQ(copied, tables.size());
        const qsizetype queries = countOf(e["saved_queries"]);
        EXPECT_EQ(static_cast<qsizetype>(report.queries.size()), queries);
        if (queries > 0) {
            EXPECT_TRUE(report.summary().contains(QStringLiteral(" of %1\n").arg(queries)));
        }
        auto db = data::Database::open(dest);
        checkTrueValues(file, *db);
    }
    EXPECT_EQ(converted, manifest.size());
}
