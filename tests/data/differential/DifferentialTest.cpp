// The same Jet statements on a data folder and on the same data on the server: thousands of
// generated SELECTs must give the same rows, but for the few differences listed (and
// explained) in the README's dialect section.
#include "DialectGenerator.h"

#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/DataFiles.h"
#include "data/DataSetMigration.h"
#include "data/DbError.h"
#include "data/JetText.h"
#include "data/Recordset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>

using namespace velmora;
using namespace velmora::testing;
using data::Database;

namespace {

constexpr std::uint64_t kSeed = 28;
constexpr int kStatements = 5200;

// What one statement gave: its rows as Jet shows them, or the engine error's number.
struct Outcome {
    std::optional<int> error;
    QString message;
    std::vector<QString> rows;
};

QString shown(const data::Value& v) {
    switch (v.type()) {
        case data::Value::Type::Null:
            return QStringLiteral("Null");
        case data::Value::Type::Integer:
        case data::Value::Type::Real:
            return data::jetNumberText(v.toDouble());
        case data::Value::Type::Text:
            break;
    }
    return v.toString();
}

Outcome run(Database& db, const QString& sql) {
    Outcome out;
    try {
        auto rs = db.openRecordset(sql);
        for (; !rs->eof(); rs->moveNext()) {
            QStringList cells;
            for (int i = 0; i < rs->fieldCount(); ++i)
                cells << shown(rs->value(i));
            out.rows.push_back(cells.join(QChar(0x1f)));
        }
    } catch (const data::DbError& e) {
        out.error = e.code();
        out.message = e.text();
    }
    return out;
}

enum class Verdict { Same, ServerFails, FileFails, Content, Order };

Verdict compare(const GeneratedStatement& st, Outcome file, Outcome server) {
    if (file.error || server.error) {
        if (file.error && server.error)
            return *file.error == *server.error ? Verdict::Same : Verdict::Content;
        return file.error ? Verdict::FileFails : Verdict::ServerFails;
    }
    if (file.rows == server.rows)
        return Verdict::Same;
    std::sort(file.rows.begin(), file.rows.end());
    std::sort(server.rows.begin(), server.rows.end());
    if (file.rows != server.rows)
        return Verdict::Content;
    return st.ordered ? Verdict::Order : Verdict::Same;
}

const char* verdictName(Verdict v) {
    switch (v) {
        case Verdict::Same:
            return "same";
        case Verdict::ServerFails:
            return "runs on the files, fails on the server";
        case Verdict::FileFails:
            return "runs on the server, fails on the files";
        case Verdict::Content:
            return "different content";
        case Verdict::Order:
            return "same rows, other order";
    }
    return "";
}

// The differences accepted, each with its reason in the README's dialect section. A
// statement that runs on the files and fails on the server is accepted only where named.
struct AcceptedDifference {
    const char* name;
    bool (*matches)(const GeneratedStatement&, const Outcome& files, const Outcome& server,
                    Verdict);
};

bool isRuntimeError(const Outcome& o) {
    return o.error && (*o.error == 6 || *o.error == 11);
}

// Rows alike but for numbers that agree to 13 significant digits.
bool alikeButForLastDigits(std::vector<QString> a, std::vector<QString> b) {
    if (a.size() != b.size())
        return false;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    for (size_t r = 0; r < a.size(); ++r) {
        const QStringList x = a[r].split(QChar(0x1f));
        const QStringList y = b[r].split(QChar(0x1f));
        if (x.size() != y.size())
            return false;
        for (qsizetype c = 0; c < x.size(); ++c) {
            if (x[c] == y[c])
                continue;
            bool okX = false, okY = false;
            const double u = x[c].toDouble(&okX);
            const double v = y[c].toDouble(&okY);
            if (!okX || !okY || std::fabs(u - v) > 1e-13 * std::max(std::fabs(u), std::fabs(v)))
                return false;
        }
    }
    return true;
}

// A failure a row's values may raise, so that the order in which the rows and the terms of
// an expression are worked out decides which of two is raised: Overflow, Division by zero,
// Data type mismatch.
bool isRowError(const Outcome& o) {
    return o.error && (*o.error == 6 || *o.error == 11 || *o.error == 3464);
}

const AcceptedDifference kAccepted[] = {
    // Sum and Avg add doubles in the order the rows are read, which neither Jet nor the two
    // SQL engines fix: where numbers of very different size are added, the last of the 15
    // digits shown may differ.
    {"a sum rounded in another order",
     [](const GeneratedStatement& st, const Outcome& files, const Outcome& server, Verdict v) {
         return (v == Verdict::Content || v == Verdict::Order) &&
                (st.sql.contains(QStringLiteral("Sum(")) ||
                 st.sql.contains(QStringLiteral("Avg("))) &&
                alikeButForLastDigits(files.rows, server.rows);
     }},
    // Neither Jet nor the two SQL engines fix the order in which rows and the terms of And
    // and Or are evaluated: an overflow in a row or term that one back end never reaches.
    {"a runtime error only one back end reaches",
     [](const GeneratedStatement&, const Outcome& files, const Outcome& server, Verdict v) {
         return (v == Verdict::FileFails && isRuntimeError(files)) ||
                (v == Verdict::ServerFails && isRuntimeError(server)) ||
                (v == Verdict::Content && isRowError(files) && isRowError(server));
     }},
};

TEST(DialectDifferential, GeneratedStatementsGiveTheSameResultOnBothBackEnds) {
    TestStore files(BackEnd::File);
    TestStore server(BackEnd::Server);
    VELMORA_SKIP_UNLESS_AVAILABLE(server);
    {
        auto db = Database::open(files.createMainFile());
        for (const QString& s : edgeRowStatements())
            db->execute(s);
    }
    files.createTemplateFile();
    data::migrateDataSet(files.dataPath(), server.dataPath());
    auto onFiles = Database::open(files.location(data::files::kMain));
    auto onServer = Database::open(server.location(data::files::kMain));

    // VELMORA_DIFFERENTIAL_STATEMENTS runs more (or fewer) statements by hand.
    int count = kStatements;
    if (const char* n = std::getenv("VELMORA_DIFFERENTIAL_STATEMENTS"))
        count = std::max(1, std::atoi(n));
    // VELMORA_DIFFERENTIAL_SEED generates other statements.
    std::uint64_t seed = kSeed;
    if (const char* n = std::getenv("VELMORA_DIFFERENTIAL_SEED"))
        seed = std::strtoull(n, nullptr, 10);
    // VELMORA_DIFFERENTIAL_ALL lists every difference, the accepted ones too, instead of the
    // first forty outside the accepted list.
    const bool listAll = std::getenv("VELMORA_DIFFERENTIAL_ALL") != nullptr;
    DialectGenerator generator(seed);
    std::map<Verdict, int> figures;
    std::map<std::string, int> accepted;
    std::vector<std::string> failures;
    for (int i = 0; i < count; ++i) {
        const GeneratedStatement st = generator.next();
        const Outcome f = run(*onFiles, st.sql);
        const Outcome s = run(*onServer, st.sql);
        const Verdict v = compare(st, f, s);
        ++figures[v];
        if (v == Verdict::Same)
            continue;
        const auto known =
            std::find_if(std::begin(kAccepted), std::end(kAccepted),
                         [&](const AcceptedDifference& a) { return a.matches(st, f, s, v); });
        QStringList constructs(st.constructs.begin(), st.constructs.end());
        std::string what = std::string(verdictName(v)) + " [" +
                           constructs.join(u' ').toStdString() + "]: " + st.sql.toStdString();
        auto side = [](const char* name, const Outcome& o) {
            std::string t = std::string("\n  ") + name + ": ";
            if (o.error)
                return t + "error " + std::to_string(*o.error) + " " + o.message.toStdString();
            for (size_t r = 0; r < o.rows.size() && r < 6; ++r)
                t += "[" + QString(o.rows[r]).replace(QChar(0x1f), " | ").toStdString() + "] ";
            return t;
        };
        if (known != std::end(kAccepted)) {
            ++accepted[known->name];
            if (listAll)
                std::cout << "accepted, " << known->name << ": " << what << side("files ", f)
                          << side("server", s) << std::endl;
            continue;
        }
        failures.push_back(what + side("files ", f) + side("server", s));
    }
    std::cout << "Differential over " << count << " statements (seed " << seed << "):";
    for (const auto& [v, n] : figures)
        std::cout << "\n  " << verdictName(v) << ": " << n;
    for (const auto& [name, n] : accepted)
        std::cout << "\n  accepted, " << name << ": " << n;
    std::cout << std::endl;
    const size_t shownFailures = listAll ? failures.size() : 40;
    for (size_t i = 0; i < failures.size() && i < shownFailures; ++i)
        ADD_FAILURE() << failures[i];
    EXPECT_TRUE(failures.empty()) << failures.size() << " statements differ";
}

}  // namespace
