#include "SpreadsheetText.h"

#include <QRegularExpression>

namespace velmora::exporting {

namespace {

// A number as a table shows it: a sign, digits (in groups of three or not), a decimal
// part, an exponent.
bool isNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?(?=\.?\d)(?:\d{1,3}(?:,\d{3})+|\d*)(?:\.\d*)?(?:[eE][+-]?\d+)?$)"));
    return number.match(text).hasMatch();
}

}  // namespace

bool readsAsFormula(const QString& text) {
    if (text.isEmpty())
        return false;
    switch (text.front().unicode()) {
        case u'=':
        case u'@':
        case u'\t':
        case u'\r':
            return true;
        case u'+':
        case u'-':
            return !isNumber(text);
        default:
            return false;
    }
}

QString spreadsheetText(const QString& text) {
    return readsAsFormula(text) ? u'\'' + text : text;
}

}  // namespace velmora::exporting
