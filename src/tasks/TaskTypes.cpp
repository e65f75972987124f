#include "TaskTypes.h"

namespace velmora::tasks {

namespace {

QString folded(const QString& code) {
    return code.trimmed().toUpper();
}

}  // namespace

QString kindCode(TaskKind kind) {
    switch (kind) {
        case TaskKind::Directive:
            return QStringLiteral("AD");
        case TaskKind::Bulletin:
            return QStringLiteral("SB");
        case TaskKind::Inspection:
            break;
    }
    return QStringLiteral("INSP");
}

std::optional<TaskKind> kindFromCode(const QString& code) {
    const QString c = folded(code);
    if (c == u"AD")
        return TaskKind::Directive;
    if (c == u"SB")
        return TaskKind::Bulletin;
    if (c == u"INSP")
        return TaskKind::Inspection;
    return std::nullopt;
}

QString kindName(TaskKind kind) {
    switch (kind) {
        case TaskKind::Directive:
            return QStringLiteral("Airworthiness directive");
        case TaskKind::Bulletin:
            return QStringLiteral("Service bulletin");
        case TaskKind::Inspection:
            break;
    }
    return QStringLiteral("Inspection");
}

QString parameterUnit(Parameter p) {
    switch (p) {
        case Parameter::Hours:
            return QStringLiteral("hours");
        case Parameter::Months:
            return QStringLiteral("months");
        case Parameter::Landings:
            return QStringLiteral("landings");
        case Parameter::Cycles:
            return QStringLiteral("cycles");
        case Parameter::Rin:
            break;
    }
    return QStringLiteral("RIN");
}

due::Basis basisOf(Parameter p) {
    switch (p) {
        case Parameter::Hours:
            return due::Basis::IN;
        case Parameter::Months:
            return due::Basis::MO;
        case Parameter::Landings:
            return due::Basis::LD;
        case Parameter::Cycles:
            return due::Basis::CY;
        case Parameter::Rin:
            break;
    }
    return due::Basis::RN;
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
    switch (s) {
        case Status::Open:
            return QStringLiteral("OPEN");
        case Status::NotApplicable:
            return QStringLiteral("N/A");
        case Status::Complied:
            return QStringLiteral("COMPLIED");
        case Status::Recurring:
            return QStringLiteral("RECURRING");
        case Status::Superseded:
            break;
    }
    return QStringLiteral("SUPERSEDED");
}

std::optional<Status> statusFromCode(const QString& code) {
    const QString c = folded(code);
    for (Status s : {Status::Open, Status::NotApplicable, Status::Complied, Status::Recurring,
                     Status::Superseded}) {
        if (c == statusCode(s))
            return s;
    }
    return std::nullopt;
}

QString statusName(Status s) {
    switch (s) {
        case Status::Open:
            return QStringLiteral("Open");
        case Status::NotApplicable:
            return QStringLiteral("Not applicable");
        case Status::Complied:
            return QStringLiteral("Complied");
        case Status::Recurring:
            return QStringLiteral("Recurring");
        case Status::Superseded:
            break;
    }
    return QStringLiteral("Superseded");
}

std::optional<double> figureOf(const Totals& totals, Parameter p, int meter) {
    switch (p) {
        case Parameter::Hours:
            return meter == 2 ? totals.time2 : meter == 1 ? totals.time : std::nullopt;
        case Parameter::Landings:
            return totals.landings;
        case Parameter::Cycles:
            return totals.cycles;
        case Parameter::Rin:
            return totals.rin;
        case Parameter::Months:
            break;
    }
    return std::nullopt;
}

void setFigure(Totals* totals, Parameter p, int meter, std::optional<double> value) {
    switch (p) {
        case Parameter::Hours:
            (meter == 2 ? totals->time2 : totals->time) = value;
            break;
        case Parameter::Landings:
            totals->landings = value;
            break;
        case Parameter::Cycles:
            totals->cycles = value;
            break;
        case Parameter::Rin:
            totals->rin = value;
            break;
        case Parameter::Months:
            break;
    }
}

}  // namespace velmora::tasks
