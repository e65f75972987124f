#pragma once

// What every fuzz target shares: reading the input as text, and stopping with a message
// (an abort, which libFuzzer records with the input) when a rule is broken.

#include "data/DbError.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace velmora::fuzz {

[[noreturn]] inline void fail(const char* rule, const QString& detail = {}) {
    std::fprintf(stderr, "\n*** broken rule: %s\n%s\n", rule, detail.toUtf8().constData());
    std::abort();
}

inline void check(bool holds, const char* rule, const QString& detail = {}) {
    if (!holds)
        fail(rule, detail);
}

// The input as text: UTF-8, any byte sequence the toolkit cannot read becoming U+FFFD, as
// text typed or pasted into the program would.
inline QString inputText(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Every failure the engine reports carries a number in Jet's range and a text for the user.
inline void checkNumbered(const data::DbError& e, const QString& context) {
    const int n = e.code();
    check((n >= 3000 && n < 4000) || n == 5 || n == 6 || n == 11,
          "an engine error has a Jet number: from 3000 on, or a runtime error (5, 6, 11)",
          QStringLiteral("%1: %2 (%3)").arg(n).arg(e.text(), context));
    check(!e.text().trimmed().isEmpty(), "an engine error has a text", context);
}

}  // namespace velmora::fuzz
