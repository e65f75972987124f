#include "JetFunctionCatalog.h"

#include <QString>

#include <iterator>

namespace velmora::data {

namespace {

using K = JetResultKind;

constexpr JetFunctionInfo kCatalog[] = {
    {"abs", 1, 1, K::Number},      {"ccur", 1, 1, K::Number},     {"cdate", 1, 1, K::Text},
    {"cdbl", 1, 1, K::Number},     {"cint", 1, 1, K::Number},     {"clng", 1, 1, K::Number},
    {"cstr", 1, 1, K::Text},       {"date", 0, 0, K::Text},       {"dateadd", 3, 3, K::Text},
    {"datediff", 3, 3, K::Number}, {"dateserial", 3, 3, K::Text}, {"day", 1, 1, K::Number},
    {"fix", 1, 1, K::Number},      {"format", 1, 2, K::Text},     {"iif", 3, 3, K::Unknown},
    {"instr", 2, 3, K::Number},    {"int", 1, 1, K::Number},      {"isnull", 1, 1, K::Number},
    {"lcase", 1, 1, K::Text},      {"left", 2, 2, K::Text},       {"len", 1, 1, K::Number},
    {"ltrim", 1, 1, K::Text},      {"mid", 2, 3, K::Text},        {"month", 1, 1, K::Number},
    {"now", 0, 0, K::Text},        {"nz", 1, 2, K::Unknown},      {"right", 2, 2, K::Text},
    {"round", 1, 2, K::Number},    {"rtrim", 1, 1, K::Text},      {"sgn", 1, 1, K::Number},
    {"sqr", 1, 1, K::Number},      {"str", 1, 1, K::Text},        {"trim", 1, 1, K::Text},
    {"ucase", 1, 1, K::Text},      {"val", 1, 1, K::Number},      {"year", 1, 1, K::Number},
};

}  // namespace

const JetFunctionInfo* findJetFunction(QStringView name) {
    for (const JetFunctionInfo& f : kCatalog) {
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

const JetFunctionInfo* jetFunctionsBegin() {
    return std::begin(kCatalog);
}

const JetFunctionInfo* jetFunctionsEnd() {
    return std::end(kCatalog);
}

}  // namespace velmora::data
