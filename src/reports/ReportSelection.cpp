#include "ReportSelection.h"

#include "data/DbError.h"
#include "data/JetSqlTranslator.h"
#include "data/JetText.h"

namespace velmora::reports {

namespace {

class FormulaReader {
  public:
    explicit FormulaReader(const QString& text) : s_(text) {}

    // The selection the formula makes; throws DbError (err::CriteriaSyntax) when it is not
    // of that form.
    ReportSelection read() {
        ReportSelection out;
        skipBlanks();
        if (!take(u'{'))
            fail(QStringLiteral("it must begin with \"{\""));
        const qsizetype close = s_.indexOf(u'}', i_);
        if (close < 0)
            fail(QStringLiteral("the field name has no closing \"}\""));
        const QString name = s_.mid(i_, close - i_).trimmed();
        i_ = close + 1;
        const qsizetype dot = name.indexOf(u'.');
        if (dot <= 0 || dot == name.size() - 1)
            fail(QStringLiteral("\"{%1}\" must name a data source and a field, as "
                                "in {Remaining.Aircraft.RegNum}")
                     .arg(name));
        out.source = name.left(dot).trimmed();
        out.field = name.mid(dot + 1).trimmed();
        if (out.source.isEmpty() || out.field.isEmpty() || out.field.contains(u'{'))
            fail(QStringLiteral("\"{%1}\" is not a field name").arg(name));
        skipBlanks();
        if (!take(u'='))
            fail(QStringLiteral("the field must be followed by \"=\""));
        skipBlanks();
        if (i_ >= s_.size() || (s_[i_] != u'\'' && s_[i_] != u'"'))
            fail(QStringLiteral("the value must be written in quotes"));
        const QChar quote = s_[i_++];
        QString value;
        bool closed = false;
        while (i_ < s_.size()) {
            const QChar c = s_[i_++];
            if (c == quote) {
                if (i_ < s_.size() && s_[i_] == quote) {
                    value += quote;
                    ++i_;
                    continue;
                }
                closed = true;
                break;
            }
            value += c;
        }
        if (!closed)
            fail(QStringLiteral("the quoted value is not closed"));
        skipBlanks();
        if (i_ < s_.size())
            fail(QStringLiteral("\"%1\" follows the value (a quote inside the value "
                                "must be doubled)")
                     .arg(s_.mid(i_)));
        out.value = value;
        return out;
    }

  private:
    void skipBlanks() {
        while (i_ < s_.size() && s_[i_].isSpace())
            ++i_;
    }
    bool take(QChar c) {
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    [[noreturn]] void fail(const QString& why) const {
        throw data::DbError(
            data::err::CriteriaSyntax,
            QStringLiteral("The selection formula \"%1\" cannot be read: %2.").arg(s_, why));
    }

    const QString& s_;
    qsizetype i_ = 0;
};

}  // namespace

data::MaybeFailure parseSelectionFormula(const QString& formula, ReportSelection* out) {
    try {
        *out = FormulaReader(formula).read();
    } catch (const data::DbError& e) {
        return data::Failure::of(e);
    }
    return std::nullopt;
}

QString selectionFormulaFor(const QString& source, const QString& regNum) {
    return u'{' + source + QStringLiteral(".Aircraft.RegNum} = ") +
           data::quoteJetLiteral(data::trimBlanks(regNum));
}

}  // namespace velmora::reports
