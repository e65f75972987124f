#pragma once

#include <QString>

#include <optional>

namespace velmora::due {

// A figure typed into a cell: empty text is no figure; a number in the locale's form or
// with a decimal point; false for anything else or a number below zero.
bool readFigure(const QString& text, std::optional<double>* out);

// A figure as a cell shows it: shortest form, empty for none.
QString figureText(const std::optional<double>& figure);

}  // namespace velmora::due
