#include "SqliteFunctions.h"

#include "JetDates.h"
#include "JetFormat.h"
#include "Value.h"

#include <QDateTime>

#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <string>

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

// Numbers that read from the start of a text, as Val() does: "12abc" is 12.
double valOf(const QString& text) {
    QString digits;
    for (QChar c : text) {
        if (c == u' ' || c == u'\t')
            continue;
        digits += c;
    }
    int end = 0;
    const int n = static_cast<int>(digits.size());
    if (end < n && (digits[end] == u'+' || digits[end] == u'-'))
        ++end;
    while (end < n && digits[end].isDigit())
        ++end;
    if (end < n && digits[end] == u'.') {
        ++end;
        while (end < n && digits[end].isDigit())
            ++end;
    }
    bool ok = false;
    const double d = digits.left(end).toDouble(&ok);
    return ok ? d : 0.0;
}

using Fn = Value (*)(int argc, const Value* argv);

struct FunctionDef {
    const char* name;
    int argc;
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
    return Value(valOf(a[0].toString()));
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
qsizetype count(const Value& v) {
    return std::max<qsizetype>(0, v.toInt());
}
Value fLeft(int, const Value* a) {
    return a[0].isNull() ? Value() : Value(a[0].toString().left(count(a[1])));
}
Value fRight(int, const Value* a) {
    return a[0].isNull() ? Value() : Value(a[0].toString().right(count(a[1])));
}
Value fMid(int argc, const Value* a) {
    if (a[0].isNull())
        return {};
    const qsizetype start = std::max<qsizetype>(1, a[1].toInt()) - 1;
    return Value(argc > 2 ? a[0].toString().mid(start, count(a[2])) : a[0].toString().mid(start));
}
Value fDateAdd(int, const Value* a) {
    const auto d = dateArg(a[2]);
    if (!d || a[1].isNull())
        return {};
    const auto r = jetDateAdd(a[0].toString(), a[1].toDouble(), *d);
    return r ? Value(storedDateText(*r)) : Value();
}
Value fDateSerial(int, const Value* a) {
    QDate d(static_cast<int>(a[0].toInt()), 1, 1);
    d = d.addMonths(static_cast<int>(a[1].toInt()) - 1).addDays(a[2].toInt() - 1);
    return d.isValid() ? Value(d) : Value();
}
Value fDateDiff(int, const Value* a) {
    const auto d1 = dateArg(a[1]);
    const auto d2 = dateArg(a[2]);
    if (!d1 || !d2)
        return {};
    const QString iv = a[0].toString().toLower();
    if (iv == u"d" || iv == u"y")
        return Value(static_cast<std::int64_t>(d1->date().daysTo(d2->date())));
    if (iv == u"m")
        return Value((d2->date().year() - d1->date().year()) * 12 + d2->date().month() -
                     d1->date().month());
    if (iv == u"yyyy")
        return Value(d2->date().year() - d1->date().year());
    return {};
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
    const qsizetype start = argc > 2 ? std::max<qsizetype>(1, a[0].toInt()) - 1 : 0;
    if (hay.isNull() || needle.isNull())
        return {};
    return Value(static_cast<std::int64_t>(
        hay.toString().indexOf(needle.toString(), start, Qt::CaseInsensitive) + 1));
}
Value fCStr(int, const Value* a) {
    return a[0].isNull() ? Value() : Value(a[0].toString());
}
Value fCDbl(int, const Value* a) {
    return Value(a[0].toDouble());
}
Value fCLng(int, const Value* a) {
    return Value(a[0].toInt());
}
Value fInt(int, const Value* a) {
    return a[0].isNull() ? Value() : Value(static_cast<std::int64_t>(std::floor(a[0].toDouble())));
}
Value fFix(int, const Value* a) {
    return a[0].isNull() ? Value() : Value(static_cast<std::int64_t>(std::trunc(a[0].toDouble())));
}
Value fIsNull(int, const Value* a) {
    return Value(a[0].isNull());
}
Value fStr(int, const Value* a) {
    if (a[0].isNull())
        return {};
    const double d = a[0].toDouble();
    return Value((d >= 0 ? QStringLiteral(" ") : QString()) + formatNumber(d));
}

const FunctionDef kFunctions[] = {
    {"iif", 3, fIIf},           {"nz", 1, fNz},           {"nz", 2, fNz},
    {"val", 1, fVal},           {"year", 1, fYear},       {"month", 1, fMonth},
    {"day", 1, fDay},           {"now", 0, fNow},         {"date", 0, fDate},
    {"ucase", 1, fUCase},       {"lcase", 1, fLCase},     {"trim", 1, fTrim},
    {"ltrim", 1, fLTrim},       {"rtrim", 1, fRTrim},     {"len", 1, fLen},
    {"left", 2, fLeft},         {"right", 2, fRight},     {"mid", 2, fMid},
    {"mid", 3, fMid},           {"dateadd", 3, fDateAdd}, {"format", 1, fFormat},
    {"format", 2, fFormat},     {"instr", 2, fInStr},     {"instr", 3, fInStr},
    {"cstr", 1, fCStr},         {"cdbl", 1, fCDbl},       {"clng", 1, fCLng},
    {"cint", 1, fCLng},         {"int", 1, fInt},         {"fix", 1, fFix},
    {"isnull", 1, fIsNull},     {"str", 1, fStr},         {"dateserial", 3, fDateSerial},
    {"datediff", 3, fDateDiff}, {"cdate", 1, fCDate},
};

void call(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const Fn fn = static_cast<const FunctionDef*>(sqlite3_user_data(ctx))->fn;
    Value args[4];
    for (int i = 0; i < argc && i < 4; ++i)
        args[i] = arg(argv[i]);
    try {
        result(ctx, fn(argc, args));
    } catch (...) {
        sqlite3_result_error(ctx, "function failed", -1);
    }
}

}  // namespace

int registerJetFunctions(sqlite3* db) {
    for (const FunctionDef& f : kFunctions) {
        void* user = const_cast<FunctionDef*>(&f);
        const bool volatileFn = std::string(f.name) == "now" || std::string(f.name) == "date";
        const int flags = SQLITE_UTF8 | (volatileFn ? 0 : SQLITE_DETERMINISTIC);
        const std::string jetName = std::string("jet_") + f.name;
        int rc = sqlite3_create_function_v2(db, jetName.c_str(), f.argc, flags, user, call, nullptr,
                                            nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
        // The plain names serve SQL typed against the file by other tools too; the few that
        // SQLite's grammar reserves (left, right) simply stay unused there.
        rc = sqlite3_create_function_v2(db, f.name, f.argc, flags, user, call, nullptr, nullptr,
                                        nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

}  // namespace velmora::data
