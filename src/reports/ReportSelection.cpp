#include "ReportSelection.h"

#include "data/JetSqlTranslator.h"
#include "data/JetText.h"

namespace velmora::reports {

namespace {

class FormulaReader {
  public:
    explicit FormulaReader(const QString& text) : s_(text) {}

    bool read(ReportSelection* out, QString* why) {
        skipBlanks();
        if (!take(u'{'))
            return fail(why, QStringLiteral("it must begin with \"{\""));
        const qsizetype close = s_.indexOf(u'}', i_);
        if (close < 0)
            return fail(why, QStringLiteral("the field name has no closing \"}\""));
        const QString name = s_.mid(i_, close - i_).trimmed();
        i_ = close + 1;
        const qsizetype dot = name.indexOf(u'.');
        if (dot <= 0 || dot == name.size() - 1)
            return fail(why, QStringLiteral("\"{%1}\" must name a data source and a field, as "
                                            "in {Remaining.Aircraft.RegNum}")
                                 .arg(name));
        out->source = name.left(dot).trimmed();
        out->field = name.mid(dot + 1).trimmed();
        if (out->source.isEmpty() || out->field.isEmpty() || out->field.contains(u'{'))
            return fail(why, QStringLiteral("\"{%1}\" is not a field name").arg(name));
        skipBlanks();
        if (!take(u'='))
            return fail(why, QStringLiteral("the field must be followed by \"=\""));
        skipBlanks();
        if (i_ >= s_.size() || (s_[i_] != u'\'' && s_[i_] != u'"'))
            return fail(why, QStringLiteral("the value must be written in quotes"));
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
            return fail(why, QStringLiteral("the quoted value is not closed"));
        skipBlanks();
        if (i_ < s_.size())
            return fail(why, QStringLiteral("\"%1\" follows the value (a quote inside the value "
                                            "must be doubled)")
                                 .arg(s_.mid(i_)));
        out->value = value;
        return true;
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
    static bool fail(QString* why, const QString& text) {
        *why = text;
        return false;
    }

    const QString& s_;
    qsizetype i_ = 0;
};

}  // namespace

bool parseSelectionFormula(const QString& formula, ReportSelection* out, QString* error) {
    ReportSelection sel;
    QString why;
    FormulaReader reader(formula);
    if (!reader.read(&sel, &why)) {
        if (error)
            *error = QStringLiteral("The selection formula \"%1\" cannot be read: %2.")
                         .arg(formula, why);
        return false;
    }
    *out = sel;
    return true;
}

QString selectionFormulaFor(const QString& source, const QString& regNum) {
    return u'{' + source + QStringLiteral(".Aircraft.RegNum} = ") +
           data::quoteJetLiteral(data::trimBlanks(regNum));
}

}  // namespace velmora::reports
