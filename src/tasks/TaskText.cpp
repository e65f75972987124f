#include "TaskText.h"

#include "SerialRanges.h"
#include "data/JetFormat.h"

#include <QStringList>

namespace velmora::tasks {

namespace {

QString number(double v, bool tenths) {
    return data::formatNumberPicture(v, tenths ? QStringLiteral("0.0") : QStringLiteral("0"));
}

}  // namespace

QString amountText(Parameter p, double amount, int meter) {
    switch (p) {
        case Parameter::Hours:
            return number(amount, true) +
                   (meter == 2 ? QStringLiteral(" hours on meter 2") : QStringLiteral(" hours"));
        case Parameter::Months:
            return number(amount, amount != static_cast<double>(static_cast<long long>(amount))) +
                   QStringLiteral(" months");
        default:
            return number(amount, false) + u' ' + parameterUnit(p);
    }
}

QString figuresText(const Figures& figures, int meter) {
    QStringList parts;
    for (Parameter p : kAllParameters) {
        if (const auto& v = figures[slot(p)])
            parts << amountText(p, *v, meter);
    }
    return parts.join(QStringLiteral(", "));
}

QString applicabilityText(const Task& task) {
    QString text;
    if (task.appliesTo == AppliesTo::Part)
        text = QStringLiteral("P/N ") + task.partNumber.trimmed();
    else if (task.model.trimmed().isEmpty())
        text = task.make.trimmed() + QStringLiteral(" (every model)");
    else
        text = task.make.trimmed() + u' ' + task.model.trimmed();
    if (!task.serials.trimmed().isEmpty())
        text += QStringLiteral(", S/N ") + task.serials.trimmed();
    return text;
}

QString targetText(const Compliance& c) {
    if (!c.isForPart())
        return QStringLiteral("Aircraft");
    QString text = QStringLiteral("P/N ") + c.partNumber.trimmed();
    if (!c.serialNumber.trimmed().isEmpty())
        text += QStringLiteral(" S/N ") + c.serialNumber.trimmed();
    return text;
}

QString statusText(const Compliance& c, Status status) {
    switch (status) {
        case Status::NotApplicable:
            return QStringLiteral("Not applicable: ") + c.reason.trimmed();
        case Status::Superseded:
            return QStringLiteral("Superseded by ") + c.supersededBy.trimmed();
        default:
            return statusName(status);
    }
}

QString methodText(const Compliance& c) {
    const QString method = c.method.trimmed();
    const QString ref = c.methodReference.trimmed();
    if (ref.isEmpty())
        return method;
    if (method.isEmpty())
        return ref;
    return method + QStringLiteral(" (") + ref + u')';
}

QString nextDueTimeText(const Schedule& s, int meter) {
    QStringList parts;
    for (const ScheduledFigure& f : s.figures) {
        if (f.parameter != Parameter::Months && f.dueAt)
            parts << amountText(f.parameter, *f.dueAt, meter);
    }
    return parts.join(QStringLiteral("; "));
}

QString nextDueDateText(const Schedule& s) {
    for (const ScheduledFigure& f : s.figures) {
        if (f.parameter == Parameter::Months && f.dueDate.isValid())
            return f.dueDate.toString(Qt::ISODate);
    }
    return {};
}

QString expectedText(const JudgedFigure& f) {
    switch (f.projection) {
        case due::Projection::Dated:
            return f.dueDate().toString(Qt::ISODate);
        case due::Projection::NoUseRecorded:
            return QStringLiteral("no use recorded");
        case due::Projection::BeyondReach:
            return f.dueDay < 0 ? QStringLiteral("over 100 years ago")
                                : QStringLiteral("over 100 years");
        case due::Projection::NoFigure:
            break;
    }
    return QStringLiteral("no remaining figure");
}

QString remainingText(const JudgedFigure& f, int meter) {
    if (!f.remaining)
        return {};
    return amountText(f.figure.parameter, *f.remaining, meter);
}

QString lastDoneText(const Schedule& s, int meter) {
    if (!s.last)
        return {};
    QString text = s.last->date.toString(Qt::ISODate);
    if (const auto h = figureOf(s.last->totals, Parameter::Hours, meter))
        text += QStringLiteral(" at ") + amountText(Parameter::Hours, *h, meter);
    return text;
}

}  // namespace velmora::tasks
