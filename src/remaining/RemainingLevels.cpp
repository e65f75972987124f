#include "RemainingLevels.h"

#include "data/JetDates.h"
#include "data/ValueNumber.h"
#include "due/DueList.h"

namespace velmora::remaining {

namespace {

using due::Basis;

// The basis and meter (0: any) whose figure each computed column holds.
struct ColumnBasis {
    const char* column;
    Basis basis;
    int meter;
};

const ColumnBasis kColumns[] = {
    {"TTtoRET", Basis::RT, 1},  {"TTtoRET2", Basis::RT, 2}, {"LNDtoRET", Basis::LD, 0},
    {"CYCtoRET", Basis::CY, 0}, {"RINtoRET", Basis::RN, 0}, {"TTtoOH", Basis::OH, 1},
    {"TTtoIN", Basis::IN, 1},   {"MTHStoRT", Basis::MO, 0}, {"TTtoOH2", Basis::OH, 2},
    {"TTtoIN2", Basis::IN, 2},
};

}  // namespace

due::WarningLevel RemainingLevels::level(const QString& column, const data::Value& shown,
                                         const screens::RowReader& row) const {
    const ColumnBasis* c = nullptr;
    for (const ColumnBasis& k : kColumns) {
        if (column.compare(QLatin1String(k.column), Qt::CaseInsensitive) == 0)
            c = &k;
    }
    if (!c)
        return due::WarningLevel::None;
    const data::Value code = row(QStringLiteral("LifeBasis"));
    const auto basis = code.isNull() ? std::nullopt : due::basisFromCode(code.toString());
    const auto meter = data::numberIn(row(QStringLiteral("MeterNumber")));
    // A row is judged in the column of its own figure only: the others hold Null, a blank
    // or (cycles) a zero that is no remaining life.
    if (basis != c->basis || (c->meter != 0 && meter != static_cast<double>(c->meter)))
        return due::WarningLevel::None;
    QDate retires;
    if (c->basis == Basis::MO) {
        const auto date = data::parseJetDateTime(shown.toString());
        if (shown.isNull() || !date)
            return due::WarningLevel::None;
        retires = date->date();
    }
    const auto rate = due::rateFor(use_, c->basis, c->meter);
    return due::judgeLimit(warnings_, c->basis, data::numberIn(shown), retires,
                           data::numberIn(row(QStringLiteral("LifeNumber"))), rate, today_)
        .level;
}

}  // namespace velmora::remaining
