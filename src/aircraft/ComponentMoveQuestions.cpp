#include "ComponentMoveQuestions.h"

#include "components/ComponentMoves.h"
#include "components/ComponentRead.h"
#include "components/ComponentTables.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "screens/common/Dialogs.h"

namespace velmora::aircraft {

namespace {

using screens::Dialogs;
using screens::MsgAnswer;
using screens::MsgButtons;
using screens::MsgIcon;

void tell(QWidget* parent, const QString& title, const QString& text) {
    screens::msgBox(parent, text, MsgButtons::Ok, MsgIcon::Exclamation, title, MsgAnswer::Ok);
    screens::reactivateWindow(parent);
}

std::optional<QString> askLine(QWidget* parent, const QString& title, const QString& prompt,
                               const QString& initial = {}) {
    screens::TextRequest r;
    r.title = title;
    r.prompt = prompt;
    r.initialText = initial;
    const auto typed = Dialogs::current().askText(parent, r);
    screens::reactivateWindow(parent);
    return typed;
}

std::optional<int> askChoice(QWidget* parent, const QString& title, const QString& prompt,
                             const QStringList& columns, const std::vector<QStringList>& rows) {
    screens::ChoiceRequest r;
    r.title = title;
    r.prompt = prompt;
    r.columns = columns;
    r.rows = rows;
    r.acceptText = QStringLiteral("OK");
    const auto chosen = Dialogs::current().choose(parent, r);
    screens::reactivateWindow(parent);
    return chosen;
}

// A date typed as YYYY-MM-DD, asked again until it reads as one or the box is cancelled.
std::optional<QDate> askDate(QWidget* parent, const QString& title, const QString& prompt,
                             const QDate& today) {
    QString initial = today.toString(Qt::ISODate);
    for (;;) {
        const auto typed = askLine(parent, title, prompt, initial);
        if (!typed)
            return std::nullopt;
        const QDate d = QDate::fromString(typed->trimmed(), Qt::ISODate);
        if (d.isValid())
            return d;
        tell(parent, title,
             QStringLiteral("'%1' is not a date: type it as YYYY-MM-DD.").arg(typed->trimmed()));
        initial = *typed;
    }
}

}  // namespace

QStringList removalReasons() {
    return {QStringLiteral("Scheduled: life reached"), QStringLiteral("Scheduled: overhaul"),
            QStringLiteral("Scheduled: inspection"), QStringLiteral("Unscheduled: defect"),
            QStringLiteral("To another aircraft")};
}

bool askAndRemove(QWidget* parent, data::Database& db, const components::ComponentKey& key,
                  const QString& regNum, const QDate& today) {
    if (key.isBlank()) {
        tell(parent, kRemoveTitle,
             QStringLiteral("Choose a component with a part number and a serial number: a "
                            "component is known by both."));
        return false;
    }
    components::Removal r;
    r.key = key;
    r.regNum = regNum;
    const auto date = askDate(
        parent, kRemoveTitle,
        QStringLiteral("Date %1 came off %2 (YYYY-MM-DD):").arg(key.label(), regNum), today);
    if (!date)
        return false;
    r.date = *date;
    std::vector<QStringList> reasons;
    for (const QString& reason : removalReasons())
        reasons.push_back({reason});
    const auto reason = askChoice(parent, kRemoveTitle, QStringLiteral("Reason for the removal:"),
                                  {QStringLiteral("Reason")}, reasons);
    if (!reason)
        return false;
    r.reason = removalReasons().at(*reason);
    if (*reason == 3) {
        const auto defect = askLine(parent, kRemoveTitle, QStringLiteral("The defect found:"));
        if (!defect)
            return false;
        r.reason = QStringLiteral("Unscheduled: defect: ") + defect->trimmed();
    }
    std::vector<QStringList> places;
    for (const QString& place : components::locationTexts())
        places.push_back({place});
    const auto where = askChoice(parent, kRemoveTitle, QStringLiteral("Where it goes:"),
                                 {QStringLiteral("Where")}, places);
    if (!where)
        return false;
    r.location = *components::locationFrom(components::locationTexts().at(*where));
    const auto reference =
        askLine(parent, kRemoveTitle, QStringLiteral("Work order or release certificate number:"));
    if (!reference)
        return false;
    r.reference = *reference;
    try {
        components::removeComponent(db, r, today);
    } catch (const data::DbError& e) {
        tell(parent, kRemoveTitle, e.text());
        return false;
    }
    return true;
}

bool askAndInstall(QWidget* parent, data::Database& db, const QString& regNum, const QDate& today) {
    std::vector<components::StoredComponent> stores;
    try {
        for (auto& c : components::readStores(db)) {
            if (c.location != components::Location::Scrapped)
                stores.push_back(std::move(c));
        }
    } catch (const data::DbError& e) {
        tell(parent, kInstallTitle, e.text());
        return false;
    }
    if (stores.empty()) {
        tell(parent, kInstallTitle,
             QStringLiteral("No component is in stores: a component removed from an aircraft "
                            "goes there."));
        return false;
    }
    std::vector<QStringList> rows;
    for (const auto& c : stores) {
        rows.push_back({c.key.partNumber, c.key.serialNumber, c.description,
                        components::locationText(c.location), c.removedDate.toString(Qt::ISODate),
                        components::remainingText(c)});
    }
    const auto chosen =
        askChoice(parent, kInstallTitle, QStringLiteral("Component to install on %1:").arg(regNum),
                  {QStringLiteral("Part Number"), QStringLiteral("Serial #"),
                   QStringLiteral("Component Name"), QStringLiteral("Where"),
                   QStringLiteral("Since"), QStringLiteral("Remaining")},
                  rows);
    if (!chosen)
        return false;
    const components::StoredComponent& c = stores.at(static_cast<size_t>(*chosen));
    components::Installation in;
    in.key = c.key;
    in.regNum = regNum;
    for (;;) {
        const auto item = askLine(parent, kInstallTitle, QStringLiteral("Item number:"));
        if (!item)
            return false;
        bool ok = false;
        in.itemNumber = item->trimmed().toInt(&ok);
        if (ok)
            break;
        tell(parent, kInstallTitle, QStringLiteral("The item number is a whole number."));
    }
    const auto meter = askChoice(
        parent, kInstallTitle, QStringLiteral("Time meter that drives its hours:"),
        {QStringLiteral("Meter")}, {{QStringLiteral("Meter #1")}, {QStringLiteral("Meter #2")}});
    if (!meter)
        return false;
    in.meter = *meter + 1;
    const auto date =
        askDate(parent, kInstallTitle, QStringLiteral("Date installed (YYYY-MM-DD):"), today);
    if (!date)
        return false;
    in.date = *date;
    const auto reference =
        askLine(parent, kInstallTitle, QStringLiteral("Work order or release certificate number:"));
    if (!reference)
        return false;
    in.reference = *reference;
    if (const QStringList reached = components::reachedLimits(c, in.date); !reached.isEmpty()) {
        const MsgAnswer go = screens::msgBox(
            parent,
            QStringLiteral("%1 has reached its limit:\n%2\n\nInstall it all the same?")
                .arg(c.key.label(), reached.join(u'\n')),
            MsgButtons::YesNo, MsgIcon::Exclamation, kInstallTitle, MsgAnswer::No);
        screens::reactivateWindow(parent);
        if (go != MsgAnswer::Yes)
            return false;
        in.acceptReachedLimits = true;
    }
    try {
        components::installComponent(db, in, today);
    } catch (const data::DbError& e) {
        tell(parent, kInstallTitle, e.text());
        return false;
    }
    return true;
}

}  // namespace velmora::aircraft
