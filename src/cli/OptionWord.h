#pragma once

#include "data/Failure.h"

#include <QString>
#include <QStringList>

namespace velmora::cli {

// One argument of a command line read as an option: "--name=value" carries its value,
// any other word is a name alone whose value, if it takes one, is the next argument.
struct OptionWord {
    QString name;
    QString value;
    bool inlineValue = false;  // the value came after '='
};

OptionWord splitOptionWord(const QString& argument);

// Gives the option its value: the one after '=', else the next argument, which is then
// used up (index moves on to it). False when the option is the last argument.
bool takeOptionValue(OptionWord& word, const QStringList& arguments, int& index);

// A command line the program cannot take, as a failure (err::InvalidProcedureCall: an
// argument it cannot take) whose text says what is wrong with it.
inline data::Failure wrongCommandLine(const QString& reason) {
    return {data::err::InvalidProcedureCall, reason};
}

}  // namespace velmora::cli
