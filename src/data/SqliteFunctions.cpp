#include "SqliteFunctions.h"

#include "JetArithmetic.h"
#include "JetCurrency.h"
#include "JetDates.h"
#include "JetFormat.h"
#include "JetFunctionCatalog.h"
#include "JetText.h"
#include "Value.h"

#include <QDateTime>

#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace velmora::data {

namespace {

Value arg(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            return Value(static_cast<std::int64_t>(sqlite3_value_int64(v)));
        case SQLITE_FLOAT:
            return Value(sqlite3_value_double(v));
        case SQLITE_NULL:
            return {};
        default: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
            return Value(std::string(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(v))));
        }
    }
}

void result(sqlite3_context* ctx, const Value& v) {
    switch (v.type()) {
        case Value::Type::Null:
            sqlite3_result_null(ctx);
            break;
        case Value::Type::Integer:
            sqlite3_result_int64(ctx, v.toInt());
            break;
        case Value::Type::Real:
            sqlite3_result_double(ctx, v.toDouble());
            break;
        case Value::Type::Text: {
            const std::string& s = v.utf8();
            sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            break;
        }
    }
}

std::optional<QDateTime> dateArg(const Value& v) {
    if (v.type() == Value::Type::Text)
        return parseJetDateTime(v.toString());
    return std::nullopt;
}

bool anyNull(int argc, const Value* a) {
    for (int i = 0; i < argc; ++i) {
        if (a[i].isNull())
            return true;
    }
    return false;
}

// A number as a whole number the way Jet rounds before integer arithmetic (halves to
// even); false when it does not fit.
bool wholeNumber(const Value& v, std::int64_t lo, std::int64_t hi, std::int64_t* out) {
    if (v.type() == Value::Type::Integer) {
        const std::int64_t i = v.toInt();
        if (i < lo || i > hi)
            return false;
        *out = i;
        return true;
    }
    const double r = std::nearbyint(v.toDouble());
    // Doubles from -2^63 up to (not including) 2^63 convert without overflow.
    if (!std::isfinite(r) || r < -9223372036854775808.0 || r >= 9223372036854775808.0)
        return false;
    const auto i = static_cast<std::int64_t>(r);
    if (i < lo || i > hi)
        return false;
    *out = i;
    return true;
}

constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();

// Int and Fix keep a number's kind: a whole double that does not fit 64 bits stays a
// double (Int(1E+20) is 1E+20).
Value wholePart(const Value& v, double (*cut)(double)) {
    if (v.isNull())
        return {};
    if (v.type() == Value::Type::Integer)
        return v;
    const double r = cut(v.toDouble());
    if (!std::isfinite(r))
        return {};
    if (std::fabs(r) < 9007199254740992.0)  // 2^53: every whole double below is exact
        return Value(static_cast<std::int64_t>(r));
    return Value(r);
}

Value textOf(const Value& v) {
    // Jet has no whole numbers of 16 digits and more: Int(1E+15) and a product of two Longs
    // beyond Long are doubles there, written with 15 significant digits (1E+15).
    constexpr std::int64_t kFifteenDigits = 1000000000000000;
    if (v.type() == Value::Type::Real ||
        (v.type() == Value::Type::Integer &&
         (v.toInt() >= kFifteenDigits || v.toInt() <= -kFifteenDigits)))
        return Value(jetNumberText(v.toDouble()));
    return Value(v.toString());
}

using Fn = Value (*)(int argc, const Value* argv);

struct FunctionDef {
    const char* name;  // without the "jet_" the translated SQL adds
    Fn fn;
};

Value fIIf(int, const Value* a) {
    return (!a[0].isNull() && a[0].toBool()) ? a[1] : a[2];
}
Value fNz(int argc, const Value* a) {
    if (!a[0].isNull())
        return a[0];
    return argc > 1 ? a[1] : Value(0);
}
Value fVal(int, const Value* a) {
    if (a[0].isNull())
        return {};
    if (a[0].isNumber())
        return a[0];
    const auto v = jetVal(a[0].toString());
    if (!v)
        throw jetRuntimeError(err::Overflow,
                              QStringLiteral("Val(\"%1\")").arg(a[0].toString().left(40)));
    return Value(*v);
}
Value datePart(const Value& v, int which) {
    const auto d = dateArg(v);
    if (!d)
        return {};
    return Value(which == 0 ? d->date().year() : which == 1 ? d->date().month() : d->date().day());
}
Value fYear(int, const Value* a) {
    return datePart(a[0], 0);
}
Value fMonth(int, const Value* a) {
    return datePart(a[0], 1);
}
Value fDay(int, const Value* a) {
    return datePart(a[0], 2);
}
Value fNow(int, const Value*) {
    return Value(storedDateText(QDateTime::currentDateTime()));
}
// Today's date, read from the clock at most once a second: a query calls Date() for each
// of its rows, and every reading of the local date looks the time zone up afresh.
Value fDate(int, const Value*) {
    using Clock = std::chrono::steady_clock;
    thread_local Clock::time_point readAt;
    thread_local QDate today;
    const Clock::time_point now = Clock::now();
    if (!today.isValid() || now - readAt >= std::chrono::seconds(1)) {
        today = QDate::currentDate();
        readAt = now;
    }
    return Value(today);
}
Value textFn(const Value& v, QString (*f)(const QString&)) {
    return v.isNull() ? Value() : Value(f(v.toString()));
}
Value fUCase(int, const Value* a) {
    return textFn(a[0], [](const QString& s) { return s.toUpper(); });
}
Value fLCase(int, const Value* a) {
    return textFn(a[0], [](const QString& s) { return s.toLower(); });
}
Value fTrim(int, const Value* a) {
    return textFn(a[0], [](const QString& s) {
        qsizetype b = 0, e = s.size();
        while (b < e && s[b] == u' ')
            ++b;
        while (e > b && s[e - 1] == u' ')
            --e;
        return s.mid(b, e - b);
    });
}
Value fLTrim(int, const Value* a) {
    return textFn(a[0], [](const QString& s) {
        qsizetype b = 0;
        while (b < s.size() && s[b] == u' ')
            ++b;
        return s.mid(b);
    });
}
Value fRTrim(int, const Value* a) {
    return textFn(a[0], [](const QString& s) {
        qsizetype e = s.size();
        while (e > 0 && s[e - 1] == u' ')
            --e;
        return s.left(e);
    });
}
Value fLen(int, const Value* a) {
    return a[0].isNull() ? Value() : Value(static_cast<std::int64_t>(a[0].toString().size()));
}
// A length or position argument: a whole number (rounded) of at least `least`, an invalid
// argument otherwise.
qsizetype count(const Value& v, const char* function, std::int64_t least = 0) {
    const std::int64_t n = v.toInt();
    if (n < least)
        throw jetRuntimeError(
            err::InvalidProcedureCall,
            QStringLiteral("%1 with %2").arg(QLatin1String(function), v.toString()));
    return static_cast<qsizetype>(std::min<std::int64_t>(n, 0x7fffffff));
}
Value fLeft(int, const Value* a) {
    const qsizetype n = count(a[1], "Left");
    return a[0].isNull() ? Value() : Value(a[0].toString().left(n));
}
Value fRight(int, const Value* a) {
    const qsizetype n = count(a[1], "Right");
    return a[0].isNull() ? Value() : Value(a[0].toString().right(n));
}
Value fMid(int argc, const Value* a) {
    const qsizetype start = count(a[1], "Mid", 1) - 1;
    const qsizetype n = argc > 2 ? count(a[2], "Mid") : -1;
    if (a[0].isNull())
        return {};
    return Value(n >= 0 ? a[0].toString().mid(start, n) : a[0].toString().mid(start));
}
void requireInterval(const Value& v, const char* function) {
    if (!v.isNull() && !isJetDateInterval(v.toString()))
        throw jetRuntimeError(err::InvalidProcedureCall,
                              QStringLiteral("%1 with the interval \"%2\"")
                                  .arg(QLatin1String(function), v.toString().left(20)));
}
Value fDateAdd(int, const Value* a) {
    requireInterval(a[0], "DateAdd");
    const auto d = dateArg(a[2]);
    if (!d || a[1].isNull())
        return {};
    const auto r = jetDateAdd(a[0].toString(), a[1].toDouble(), *d);
    return r && isJetDateInRange(r->date()) ? Value(storedDateText(*r)) : Value();
}
Value fDateSerial(int argc, const Value* a) {
    if (anyNull(argc, a))
        return {};
    const auto d = jetDateSerial(a[0].toDouble(), a[1].toDouble(), a[2].toDouble());
    return d ? Value(*d) : Value();
}
Value fDateDiff(int, const Value* a) {
    requireInterval(a[0], "DateDiff");
    const auto d1 = dateArg(a[1]);
    const auto d2 = dateArg(a[2]);
    if (!d1 || !d2 || a[0].isNull())
        return {};
    const auto n = jetDateDiff(a[0].toString(), *d1, *d2);
    return n ? Value(static_cast<std::int64_t>(*n)) : Value();
}
Value fCDate(int, const Value* a) {
    const auto d = dateArg(a[0]);
    return d ? Value(storedDateText(*d)) : Value();
}
Value fFormat(int argc, const Value* a) {
    return jetFormat(a[0], argc > 1 ? a[1].toString() : QString());
}
Value fInStr(int argc, const Value* a) {
    const Value& hay = argc > 2 ? a[1] : a[0];
    const Value& needle = argc > 2 ? a[2] : a[1];
    const qsizetype start = argc > 2 && !a[0].isNull() ? count(a[0], "InStr", 1) - 1 : 0;
    if (hay.isNull() || needle.isNull())
        return {};
    return Value(static_cast<std::int64_t>(
        hay.toString().indexOf(needle.toString(), start, Qt::CaseInsensitive) + 1));
}
Value fCStr(int, const Value* a) {
    return a[0].isNull() ? Value() : textOf(a[0]);
}
Value fCCur(int, const Value* a) {
    return jetCurrency(a[0]);
}
Value fCDbl(int, const Value* a) {
    return a[0].isNull() ? Value() : Value(a[0].toDouble());
}
// CInt and CLng: a number beyond the range of the type is an overflow.
Value wholeIn(const Value& v, std::int64_t lo, std::int64_t hi, const char* function) {
    std::int64_t i = 0;
    if (v.isNull())
        return {};
    if (!wholeNumber(v, lo, hi, &i))
        throw jetRuntimeError(err::Overflow, QStringLiteral("%1(%2)").arg(QLatin1String(function),
                                                                          v.toString().left(40)));
    return Value(i);
}
Value fCLng(int, const Value* a) {
    return wholeIn(a[0], std::numeric_limits<std::int32_t>::min(),
                   std::numeric_limits<std::int32_t>::max(), "CLng");
}
Value fCInt(int, const Value* a) {
    return wholeIn(a[0], std::numeric_limits<std::int16_t>::min(),
                   std::numeric_limits<std::int16_t>::max(), "CInt");
}
Value fInt(int, const Value* a) {
    return wholePart(a[0], [](double d) { return std::floor(d); });
}
Value fFix(int, const Value* a) {
    return wholePart(a[0], [](double d) { return std::trunc(d); });
}
Value fIsNull(int, const Value* a) {
    return Value(a[0].isNull());
}
Value fStr(int, const Value* a) {
    if (a[0].isNull())
        return {};
    const double d = a[0].toDouble();
    return Value((d >= 0 ? QStringLiteral(" ") : QString()) + jetNumberText(d));
}
Value fAbs(int, const Value* a) {
    if (a[0].isNull())
        return {};
    if (a[0].type() == Value::Type::Integer && a[0].toInt() != kMin64)
        return Value(static_cast<std::int64_t>(std::llabs(a[0].toInt())));
    return Value(std::fabs(a[0].toDouble()));
}
Value fSgn(int, const Value* a) {
    if (a[0].isNull())
        return {};
    const double d = a[0].toDouble();
    return Value(d > 0 ? 1 : d < 0 ? -1 : 0);
}
Value fSqr(int, const Value* a) {
    if (a[0].isNull())
        return {};
    if (a[0].toDouble() < 0)
        throw jetRuntimeError(err::InvalidProcedureCall,
                              QStringLiteral("Sqr(%1)").arg(a[0].toString().left(40)));
    return Value(std::sqrt(a[0].toDouble()));
}
// Round: halves to even, as Jet rounds.
Value fRound(int argc, const Value* a) {
    if (anyNull(argc, a))
        return {};
    std::int64_t places = 0;
    if (argc > 1 && !wholeNumber(a[1], 0, kMax64, &places))
        throw jetRuntimeError(err::InvalidProcedureCall,
                              QStringLiteral("Round with %1 places").arg(a[1].toString()));
    // A double holds no more than 15 decimal places that rounding could change.
    places = std::min<std::int64_t>(places, 15);
    const double x = a[0].toDouble();
    const double scale = std::pow(10.0, static_cast<double>(places));
    if (!std::isfinite(x) || std::fabs(x * scale) >= 4503599627370496.0)  // 2^52: no fraction
        return a[0].isNumber() ? a[0] : Value(x);
    return Value(std::nearbyint(x * scale) / scale);
}

// The operators: "+", "-", "*", "/", "\", Mod and "^", the text join "&", Like, and Xor,
// Eqv and Imp.
Value fAdd(int, const Value* a) {
    return jetAdd(a[0], a[1]);
}
Value fSubtract(int, const Value* a) {
    return jetSubtract(a[0], a[1]);
}
Value fMultiply(int, const Value* a) {
    return jetMultiply(a[0], a[1]);
}
Value fDivide(int, const Value* a) {
    return jetDivide(a[0], a[1]);
}
// A chain of "+" and "-" or "*" and "/": the first operand, then each operator's code and
// operand, worked out left to right. The code's low bits name the operator (1 to 4); 8
// added says the operand after it is a date, 16 that the first operand is, as the translator
// knows them. A date moved by days is a date for the next operator too.
Value fArithmetic(int argc, const Value* a) {
    Value acc = argc > 0 ? a[0] : Value();
    bool accIsDate = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const auto code = a[i].toInt();
        const bool nextIsDate = (code & 8) != 0;
        accIsDate = accIsDate || (code & 16) != 0;
        switch (code & 7) {
            case 1:
                acc = jetAdd(acc, a[i + 1], accIsDate, nextIsDate);
                accIsDate = (accIsDate || nextIsDate) && acc.type() == Value::Type::Text;
                break;
            case 2:
                acc = jetSubtract(acc, a[i + 1]);
                accIsDate = accIsDate && acc.type() == Value::Type::Text;
                break;
            case 3:
                acc = jetMultiply(acc, a[i + 1]);
                accIsDate = false;
                break;
            default:
                acc = jetDivide(acc, a[i + 1]);
                accIsDate = false;
                break;
        }
    }
    return acc;
}
Value fIntDivide(int, const Value* a) {
    return jetIntDivide(a[0], a[1]);
}
Value fModulo(int, const Value* a) {
    return jetModulo(a[0], a[1]);
}
Value fPower(int, const Value* a) {
    return jetPower(a[0], a[1]);
}
Value fConcat(int argc, const Value* a) {
    QString out;
    bool any = false;
    for (int i = 0; i < argc; ++i) {
        if (a[i].isNull())
            continue;
        any = true;
        out += textOf(a[i]).toString();
    }
    return any ? Value(out) : Value();
}
Value fLike(int argc, const Value* a) {
    if (anyNull(argc, a))
        return {};
    return Value(jetLike(textOf(a[0]).toString(), a[1].toString()));
}
Value logicalValue(int argc, const Value* a, std::int64_t (*op)(std::int64_t, std::int64_t)) {
    std::int64_t x = 0, y = 0;
    if (anyNull(argc, a) || !wholeNumber(a[0], kMin64, kMax64, &x) ||
        !wholeNumber(a[1], kMin64, kMax64, &y))
        return {};
    return Value(op(x, y));
}
Value fXor(int argc, const Value* a) {
    return logicalValue(argc, a, [](std::int64_t x, std::int64_t y) { return x ^ y; });
}
Value fEqv(int argc, const Value* a) {
    return logicalValue(argc, a, [](std::int64_t x, std::int64_t y) { return ~(x ^ y); });
}
Value fImp(int argc, const Value* a) {
    // False Imp anything is True, and anything Imp True is True, Null or not.
    if (!a[0].isNull() && a[0].toDouble() == 0)
        return Value(true);
    if (!a[1].isNull() && a[1].toDouble() == -1)
        return Value(true);
    return logicalValue(argc, a, [](std::int64_t x, std::int64_t y) { return ~x | y; });
}

const FunctionDef kFunctions[] = {
    {"abs", fAbs},
    {"cdate", fCDate},
    {"ccur", fCCur},
    {"cdbl", fCDbl},
    {"cint", fCInt},
    {"clng", fCLng},
    {"cstr", fCStr},
    {"date", fDate},
    {"dateadd", fDateAdd},
    {"datediff", fDateDiff},
    {"dateserial", fDateSerial},
    {"day", fDay},
    {"fix", fFix},
    {"format", fFormat},
    {"iif", fIIf},
    {"instr", fInStr},
    {"int", fInt},
    {"isnull", fIsNull},
    {"lcase", fLCase},
    {"left", fLeft},
    {"len", fLen},
    {"ltrim", fLTrim},
    {"mid", fMid},
    {"month", fMonth},
    {"now", fNow},
    {"nz", fNz},
    {"right", fRight},
    {"round", fRound},
    {"rtrim", fRTrim},
    {"sgn", fSgn},
    {"sqr", fSqr},
    {"str", fStr},
    {"trim", fTrim},
    {"ucase", fUCase},
    {"val", fVal},
    {"year", fYear},
};

struct OperatorDef {
    const char* name;  // as the translated SQL calls it
    int argc;
    Fn fn;
};

const OperatorDef kOperators[] = {
    {kJetConcat, -1, fConcat},
    {kJetArithmetic, -1, fArithmetic},
    {kJetAdd, 2, fAdd},
    {kJetSubtract, 2, fSubtract},
    {kJetMultiply, 2, fMultiply},
    {kJetDivide, 2, fDivide},
    {kJetIntDivide, 2, fIntDivide},
    {kJetModulo, 2, fModulo},
    {kJetPower, 2, fPower},
    {kJetLike, 2, fLike},
    {kJetXor, 2, fXor},
    {kJetEqv, 2, fEqv},
    {kJetImp, 2, fImp},
};

void call(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const Fn fn = *static_cast<const Fn*>(sqlite3_user_data(ctx));
    // Room for the arguments of nearly every call without allocating: an arithmetic chain
    // such as a - b - c passes five.
    Value small[8];
    std::vector<Value> many;
    Value* args = small;
    if (argc > 8) {
        many.resize(static_cast<size_t>(argc));
        args = many.data();
    }
    for (int i = 0; i < argc; ++i)
        args[i] = arg(argv[i]);
    try {
        result(ctx, fn(argc, args));
    } catch (const DbError& e) {
        // A runtime error of the expression: the statement fails with its number.
        const QByteArray message = functionErrorMessage(e);
        sqlite3_result_error(ctx, message.constData(), static_cast<int>(message.size()));
    } catch (...) {
        sqlite3_result_error(ctx, "a function of the expression failed", -1);
        sqlite3_result_error_code(ctx, SQLITE_MISMATCH);
    }
}

// Every function of the engine is free of side effects and reads nothing but its arguments
// (and the clock): innocuous, so that the CHECK constraints and defaults of the engine's
// own tables may call them while the triggers and views of a file are not trusted.
int create(sqlite3* db, const char* name, int argc, const Fn* fn, bool deterministic) {
    const int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (deterministic ? SQLITE_DETERMINISTIC : 0);
    return sqlite3_create_function_v2(db, name, argc, flags,
                                      const_cast<void*>(static_cast<const void*>(fn)), call,
                                      nullptr, nullptr, nullptr);
}

const Fn* implementation(const char* name) {
    for (const FunctionDef& f : kFunctions) {
        if (std::strcmp(f.name, name) == 0)
            return &f.fn;
    }
    return nullptr;
}

int compareText(void*, int aBytes, const void* a, int bBytes, const void* b) {
    return jetTextCompare(static_cast<const char*>(a), aBytes, static_cast<const char*>(b), bBytes);
}

}  // namespace

int registerJetCollation(sqlite3* db) {
    return sqlite3_create_collation_v2(db, kJetTextCollation, SQLITE_UTF8, nullptr, compareText,
                                       nullptr);
}

int registerJetFunctions(sqlite3* db) {
    int rc = registerJetCollation(db);
    if (rc != SQLITE_OK)
        return rc;
    for (const JetFunctionInfo* f = jetFunctionsBegin(); f != jetFunctionsEnd(); ++f) {
        const Fn* fn = implementation(f->name);
        if (!fn)
            return SQLITE_ERROR;
        const bool deterministic =
            std::strcmp(f->name, "now") != 0 && std::strcmp(f->name, "date") != 0;
        // The plain names serve SQL typed against the file by other tools too; SQLite's own
        // round() and abs() keep their names, which the engine's own statements use.
        const bool plainName =
            std::strcmp(f->name, "round") != 0 && std::strcmp(f->name, "abs") != 0;
        for (int argc = f->minArgs; argc <= f->maxArgs; ++argc) {
            const std::string jetName = std::string("jet_") + f->name;
            rc = create(db, jetName.c_str(), argc, fn, deterministic);
            if (rc == SQLITE_OK && plainName)
                rc = create(db, f->name, argc, fn, deterministic);
            if (rc != SQLITE_OK)
                return rc;
        }
    }
    for (const OperatorDef& op : kOperators) {
        rc = create(db, op.name, op.argc, &op.fn, true);
        if (rc != SQLITE_OK)
            return rc;
    }
    return registerJetGroupFunctions(db);
}

}  // namespace velmora::data
