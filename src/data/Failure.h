#pragma once

#include "DbError.h"

#include <QString>

#include <optional>

namespace velmora::data {

// A failure handed back as a value instead of thrown: the number and the text a DbError
// carries. Used where the caller goes on after a failure (a program's options, a file the
// user chose, a definition read before a report) and a catch would stand in the middle of
// ordinary code.
struct Failure {
    ErrorNumber number = ErrorNumber::Internal;
    QString text;

    static Failure of(const DbError& error) { return {error.number(), error.text()}; }
    // The failure thrown, for a caller whose boundary catches DbError.
    [[noreturn]] void raise() const { throw DbError(number, text); }
};

// What a step that can fail returns: nothing when it succeeded (what it makes goes to its
// out-parameters), else the failure.
//     if (const auto failure = writeCsvFile(path, csv)) { report(failure->text); return; }
using MaybeFailure = std::optional<Failure>;

}  // namespace velmora::data
