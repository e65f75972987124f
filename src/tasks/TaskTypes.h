#pragma once

#include "due/LifeBasis.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace velmora::tasks {

// What a task of the register is: an airworthiness directive, a service bulletin, or a task
// of the inspection programme (the 100-hour inspection, the annual, a recurring check).
enum class TaskKind { Directive, Bulletin, Inspection };

// The code kept in the file and in the register's CSV: "AD", "SB", "INSP".
QString kindCode(TaskKind kind);
// A code read without regard to letter case and outer blanks; nothing for any other text.
std::optional<TaskKind> kindFromCode(const QString& code);
// For people: "Airworthiness directive", "Service bulletin", "Inspection".
QString kindName(TaskKind kind);

// The measures a task's interval, threshold and tolerance are counted in: flight hours on
// one of the aircraft's time meters, calendar months, landings, cycles and RIN.
enum class Parameter { Hours, Months, Landings, Cycles, Rin };
inline constexpr int kParameterCount = 5;
inline constexpr std::array<Parameter, kParameterCount> kAllParameters = {
    Parameter::Hours, Parameter::Months, Parameter::Landings, Parameter::Cycles, Parameter::Rin};

inline size_t slot(Parameter p) {
    return static_cast<size_t>(p);
}

// "hours", "months", "landings", "cycles", "RIN".
QString parameterUnit(Parameter p);
// The life basis whose warning levels judge the parameter: hours as an inspection (IN),
// months MO, landings LD, cycles CY, RIN RN.
due::Basis basisOf(Parameter p);

// One figure per parameter; unset where the task does not use the parameter.
using Figures = std::array<std::optional<double>, kParameterCount>;

bool anySet(const Figures& f);

// Whom a task applies to: every aircraft of a make and model (within serial-number ranges),
// or every component of a part number (within serial-number ranges) wherever it is fitted.
enum class AppliesTo { Model, Part };

// Where a task's initial threshold is counted from: the task's effective date (with the
// aircraft's totals on that day), or new (the aircraft or the component with no time).
enum class ThresholdFrom { EffectiveDate, New };

// A task of the register.
struct Task {
    std::int64_t id = 0;  // 0 until stored
    TaskKind kind = TaskKind::Directive;
    QString number;
    QString revision;
    QDate revisionDate;
    QDate effectiveDate;
    QString title;
    QString authority;
    AppliesTo appliesTo = AppliesTo::Model;
    QString make;
    QString model;  // empty: every model of the make
    QString partNumber;
    QString serials;    // serial-number ranges (see SerialRanges.h); empty: every serial
    int meter = 1;      // the time meter its hours are counted on
    Figures interval;   // recurring action, whichever comes first; none: a one-time task
    Figures threshold;  // the first action; none: the interval counts from the start
    Figures tolerance;  // how far beyond a due figure the action may still be done
    ThresholdFrom thresholdFrom = ThresholdFrom::EffectiveDate;
    QString notes;
    QString changedBy;
    QDateTime changedAt;

    bool isRecurring() const { return anySet(interval); }
    // "AD 2024-05-12 R1" as people name it.
    QString label() const;
};

// Where a task stands on one aircraft or component.
enum class Status { Open, NotApplicable, Complied, Recurring, Superseded };

// Codes kept in the file: "OPEN", "N/A", "COMPLIED", "RECURRING", "SUPERSEDED".
QString statusCode(Status s);
std::optional<Status> statusFromCode(const QString& code);
// For people: "Open", "Not applicable", "Complied", "Recurring", "Superseded".
QString statusName(Status s);

// The aircraft's totals at one moment; unknown where not recorded.
struct Totals {
    std::optional<double> time, time2, landings, cycles, rin;
    bool operator==(const Totals&) const = default;
};

// The figure of a counted parameter in the totals (hours on the given meter); nothing for
// months and where the totals do not hold it.
std::optional<double> figureOf(const Totals& totals, Parameter p, int meter);
void setFigure(Totals* totals, Parameter p, int meter, std::optional<double> value);

// A task's compliance on one aircraft (partNumber empty) or one component of it.
struct Compliance {
    std::int64_t id = 0;  // 0 while not stored: worked out from the task and the fleet
    std::int64_t taskId = 0;
    QString regNum;
    QString partNumber;
    QString serialNumber;
    Status status = Status::Open;
    QString reason;        // why it does not apply
    QString supersededBy;  // the number that replaces the task
    QString method;        // method of compliance
    QString methodReference;
    // What the initial threshold counts from: the day, and the aircraft totals (hours on the
    // task's meter) the threshold is added to. Unknown where nothing tells them.
    QDate startDate;
    Figures start;
    QString changedBy;
    QDateTime changedAt;

    bool isStored() const { return id != 0; }
    bool isForPart() const { return !partNumber.trimmed().isEmpty(); }
};

// One accomplishment of a task on an aircraft or component: when, the aircraft's totals at
// that time, under which work order or release, and who signed it.
struct Accomplishment {
    std::int64_t id = 0;
    std::int64_t complianceId = 0;
    QString regNum;
    QDate date;
    Totals totals;
    QString workOrder;
    QString signedBy;
    QString certificate;
    bool terminating = false;  // ends a recurring task (a terminating action)
    QString notes;
    QString enteredBy;
    QDateTime enteredAt;
};

}  // namespace velmora::tasks
