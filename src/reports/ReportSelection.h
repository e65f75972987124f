#pragma once

#include "data/Failure.h"

#include <QString>

namespace velmora::reports {

// A record selection formula: {Source.Field} = 'value', as in
// {Remaining.Aircraft.RegNum} = 'N1'. The value is a literal in single (or double) quotes,
// the quote itself doubled inside it ('O''NEIL').
struct ReportSelection {
    QString source;  // Remaining or Forecast, as written
    QString field;   // Aircraft.RegNum
    QString value;   // the literal's text, quotes undone
};

// Parses a formula. A failure (err::CriteriaSyntax) with a message that quotes the formula
// when it is not of that form; out is kept as it was.
[[nodiscard]] data::MaybeFailure parseSelectionFormula(const QString& formula,
                                                       ReportSelection* out);

// The formula that selects one aircraft from a data source: {Source.Aircraft.RegNum} =
// 'reg', the registration trimmed of blanks and a quote in it doubled.
QString selectionFormulaFor(const QString& source, const QString& regNum);

}  // namespace velmora::reports
