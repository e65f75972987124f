#include "TaskTypes.h"

#include "data/ConstantTable.h"

namespace velmora::tasks {

namespace {

QString folded(const QString& code) {
    return code.trimmed().toUpper();
}

struct KindRow {
    TaskKind kind;
    const char* code;  // kept in the file and the register's CSV
    const char* name;  // for people
};

constexpr std::array<KindRow, 3> kKinds = {{
    {TaskKind::Directive, "AD", "Airworthiness directive"},
    {TaskKind::Bulletin, "SB", "Service bulletin"},
    {TaskKind::Inspection, "INSP", "Inspection"},
}};

// A parameter's unit, the life basis whose warning levels judge it, and the member of the
// totals that holds its figure (hours: on meter 1; none for months).
struct ParameterRow {
    Parameter parameter;
    const char* unit;
    due::Basis basis;
    std::optional<double> Totals::*figure;
};

constexpr std::array<ParameterRow, kParameterCount> kParameters = {{
    {Parameter::Hours, "hours", due::Basis::IN, &Totals::time},
    {Parameter::Months, "months", due::Basis::MO, nullptr},
    {Parameter::Landings, "landings", due::Basis::LD, &Totals::landings},
    {Parameter::Cycles, "cycles", due::Basis::CY, &Totals::cycles},
    {Parameter::Rin, "RIN", due::Basis::RN, &Totals::rin},
}};

struct StatusRow {
    Status status;
    const char* code;  // kept in the file
    const char* name;  // for people
};

constexpr std::array<StatusRow, 5> kStatuses = {{
    {Status::Open, "OPEN", "Open"},
    {Status::NotApplicable, "N/A", "Not applicable"},
    {Status::Complied, "COMPLIED", "Complied"},
    {Status::Recurring, "RECURRING", "Recurring"},
    {Status::Superseded, "SUPERSEDED", "Superseded"},
}};

// The member of the totals holding a parameter's figure: hours on meter 2 where the meter
// is 2, on meter 1 otherwise; null for months.
std::optional<double> Totals::*figureIn(Parameter p, int meter) {
    if (p == Parameter::Hours && meter == 2)
        return &Totals::time2;
    return data::rowFor(kParameters, &ParameterRow::parameter, p).figure;
}

}  // namespace

QString kindCode(TaskKind kind) {
    return QString::fromLatin1(data::rowFor(kKinds, &KindRow::kind, kind).code);
}

std::optional<TaskKind> kindFromCode(const QString& code) {
    const KindRow* k = data::rowWhere(kKinds, &KindRow::code, folded(code));
    return k ? std::optional(k->kind) : std::nullopt;
}

QString kindName(TaskKind kind) {
    return QString::fromLatin1(data::rowFor(kKinds, &KindRow::kind, kind).name);
}

QString parameterUnit(Parameter p) {
    return QString::fromLatin1(data::rowFor(kParameters, &ParameterRow::parameter, p).unit);
}

due::Basis basisOf(Parameter p) {
    return data::rowFor(kParameters, &ParameterRow::parameter, p).basis;
}

bool anySet(const Figures& f) {
    for (const auto& v : f) {
        if (v)
            return true;
    }
    return false;
}

QString Task::label() const {
    QString text = kindCode(kind) + u' ' + number.trimmed();
    if (!revision.trimmed().isEmpty())
        text += u' ' + revision.trimmed();
    return text;
}

QString statusCode(Status s) {
    return QString::fromLatin1(data::rowFor(kStatuses, &StatusRow::status, s).code);
}

std::optional<Status> statusFromCode(const QString& code) {
    const StatusRow* r = data::rowWhere(kStatuses, &StatusRow::code, folded(code));
    return r ? std::optional(r->status) : std::nullopt;
}

QString statusName(Status s) {
    return QString::fromLatin1(data::rowFor(kStatuses, &StatusRow::status, s).name);
}

std::optional<double> figureOf(const Totals& totals, Parameter p, int meter) {
    if (p == Parameter::Hours && meter != 1 && meter != 2)
        return std::nullopt;
    const auto member = figureIn(p, meter);
    return member ? totals.*member : std::nullopt;
}

void setFigure(Totals* totals, Parameter p, int meter, std::optional<double> value) {
    if (const auto member = figureIn(p, meter))
        totals->*member = value;
}

}  // namespace velmora::tasks
