#include "JetSqlTokenizer.h"

#include "DbError.h"

namespace velmora::data {

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isWordPart(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

[[noreturn]] void fail(const QString& sql, int pos, const QString& what) {
    throw DbError(err::SyntaxError,
                  QStringLiteral("Syntax error in SQL statement: %1 at position %2 "
                                 "of \"%3\".")
                      .arg(what)
                      .arg(pos + 1)
                      .arg(sql));
}

}  // namespace

std::vector<JetToken> tokenizeJetSql(const QString& sql) {
    std::vector<JetToken> out;
    const int n = static_cast<int>(sql.size());
    int i = 0;
    auto push = [&](JetToken::Kind k, int from, int to) {
        out.push_back({k, sql.mid(from, to - from), from});
    };
    while (i < n) {
        const QChar c = sql[i];
        const int start = i;
        if (c.isSpace()) {
            while (i < n && sql[i].isSpace())
                ++i;
            push(JetToken::Kind::Space, start, i);
        } else if (isWordStart(c)) {
            while (i < n && isWordPart(sql[i]))
                ++i;
            push(JetToken::Kind::Word, start, i);
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            while (i < n && sql[i].isDigit())
                ++i;
            if (i < n && sql[i] == u'.') {
                ++i;
                while (i < n && sql[i].isDigit())
                    ++i;
            }
            if (i < n && (sql[i] == u'e' || sql[i] == u'E')) {
                int j = i + 1;
                if (j < n && (sql[j] == u'+' || sql[j] == u'-'))
                    ++j;
                if (j < n && sql[j].isDigit()) {
                    i = j;
                    while (i < n && sql[i].isDigit())
                        ++i;
                }
            }
            push(JetToken::Kind::Number, start, i);
        } else if (c == u'[') {
            const int close = sql.indexOf(u']', i + 1);
            if (close < 0)
                fail(sql, start, QStringLiteral("a name in brackets is not closed"));
            i = close + 1;
            push(JetToken::Kind::Bracket, start, i);
        } else if (c == u'\'' || c == u'"') {
            ++i;
            for (;;) {
                if (i >= n)
                    fail(sql, start, QStringLiteral("a text in quotes is not closed"));
                if (sql[i] == c) {
                    if (i + 1 < n && sql[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            push(JetToken::Kind::String, start, i);
        } else if (c == u'#') {
            const int close = sql.indexOf(u'#', i + 1);
            if (close < 0)
                fail(sql, start, QStringLiteral("a date between # signs is not closed"));
            i = close + 1;
            push(JetToken::Kind::Date, start, i);
        } else {
            static const QString two[] = {QStringLiteral("<>"), QStringLiteral("<="),
                                          QStringLiteral(">="), QStringLiteral("!=")};
            bool matched = false;
            for (const auto& op : two) {
                if (QStringView(sql).mid(i, 2) == op) {
                    i += 2;
                    matched = true;
                    break;
                }
            }
            if (!matched) {
                static const QString one = QStringLiteral("(),.;=<>+-*/\\&^!%");
                if (!one.contains(c))
                    fail(sql, start, QStringLiteral("unexpected character '%1'").arg(c));
                ++i;
            }
            push(JetToken::Kind::Symbol, start, i);
        }
    }
    return out;
}

QString jetStringContent(const JetToken& t) {
    const QChar q = t.text.front();
    QString inner = t.text.mid(1, t.text.size() - 2);
    inner.replace(QString(2, q), QString(q));
    return inner;
}

}  // namespace velmora::data
