#pragma once

#include <QString>

#include <vector>

namespace velmora::data {

// One lexical piece of Jet SQL text.
struct JetToken {
    enum class Kind {
        Space,      // blanks, tabs, line breaks
        Word,       // unbracketed name or keyword
        Bracket,    // [name], brackets included
        String,     // 'text' or "text", quotes included
        Number,     // 12, 1.5, 1E3
        Date,       // #1/31/2005#, hashes included
        Symbol,     // operators and punctuation: ( ) , . ; = <> <= >= < > + - * / \ & ^ !
        Parameter,  // ?1, ?2, ...: a marker for a value bound when the statement runs
    };
    Kind kind;
    QString text;
    int pos;  // offset in the statement, for messages

    bool is(Kind k) const { return kind == k; }
    bool isSymbol(QStringView s) const { return kind == Kind::Symbol && text == s; }
    bool isWord(QStringView w) const {
        return kind == Kind::Word && text.compare(w, Qt::CaseInsensitive) == 0;
    }
};

// Splits Jet SQL text into tokens. Throws DbError (syntax error) on an unterminated
// string, bracketed name or date literal, or a character that has no place in SQL.
std::vector<JetToken> tokenizeJetSql(const QString& sql);

// The text of a string token without its quotes, doubled quotes undone.
QString jetStringContent(const JetToken& t);

}  // namespace velmora::data
