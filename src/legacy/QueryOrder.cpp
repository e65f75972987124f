#include "QueryOrder.h"

#include "data/DbError.h"
#include "data/JetSqlTokenizer.h"

#include <QHash>

#include <algorithm>

namespace velmora::legacy {

namespace {

using K = data::JetToken::Kind;

// The names a query's text holds (bracketed or not), in lower case.
QStringList namesIn(const QString& sql) {
    QStringList out;
    std::vector<data::JetToken> tokens;
    try {
        tokens = data::tokenizeJetSql(sql);
    } catch (const data::DbError&) {
        return out;  // text the engine cannot read is refused when it is kept
    }
    for (const data::JetToken& t : tokens) {
        if (t.is(K::Word))
            out << t.text.toLower();
        else if (t.is(K::Bracket))
            out << t.text.mid(1, t.text.size() - 2).toLower();
    }
    return out;
}

}  // namespace

QueryOrder orderQueries(const std::vector<SourceQuery>& queries) {
    const size_t n = queries.size();
    QueryOrder out;
    out.reads.resize(n);
    out.circle.resize(n);
    QHash<QString, size_t> byName;
    for (size_t i = 0; i < n; ++i)
        byName.insert(queries[i].name.toLower(), i);
    std::vector<std::vector<size_t>> edges(n);
    for (size_t i = 0; i < n; ++i) {
        for (const QString& name : namesIn(queries[i].sql)) {
            const auto it = byName.constFind(name);
            if (it == byName.constEnd() || *it == i)
                continue;
            if (std::find(edges[i].begin(), edges[i].end(), *it) != edges[i].end())
                continue;
            edges[i].push_back(*it);
            out.reads[i] << queries[*it].name;
        }
    }
    // Depth first, without recursion: a chain of queries may be long.
    enum class Mark { New, Open, Done };
    std::vector<Mark> mark(n, Mark::New);
    for (size_t start = 0; start < n; ++start) {
        if (mark[start] != Mark::New)
            continue;
        std::vector<std::pair<size_t, size_t>> stack{{start, 0}};
        mark[start] = Mark::Open;
        while (!stack.empty()) {
            auto& [at, next] = stack.back();
            if (next < edges[at].size()) {
                const size_t to = edges[at][next++];
                if (mark[to] == Mark::New) {
                    mark[to] = Mark::Open;
                    stack.emplace_back(to, 0);
                } else if (mark[to] == Mark::Open) {
                    // A circle: the queries on the stack from `to` up to here.
                    QStringList names;
                    size_t k = 0;
                    while (stack[k].first != to)
                        ++k;
                    for (size_t j = k; j < stack.size(); ++j)
                        names << queries[stack[j].first].name;
                    names << queries[to].name;
                    const QString why = QStringLiteral("it reads itself through other queries (%1)")
                                            .arg(names.join(QStringLiteral(" \u2192 ")));
                    for (size_t j = k; j < stack.size(); ++j) {
                        if (out.circle[stack[j].first].isEmpty())
                            out.circle[stack[j].first] = why;
                    }
                }
                continue;
            }
            mark[at] = Mark::Done;
            out.order.push_back(at);
            stack.pop_back();
        }
    }
    return out;
}

}  // namespace velmora::legacy
