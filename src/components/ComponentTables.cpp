#include "ComponentTables.h"

#include <QLocale>

namespace velmora::components {

QString figureText(const std::optional<double>& d) {
    return d ? QLocale::c().toString(*d, 'g', 12) : QString();
}

QString isoDateText(const QDate& d) {
    return d.isValid() ? d.toString(Qt::ISODate) : QString();
}

std::unique_ptr<QStandardItemModel> textTable(const QStringList& headers) {
    auto model = std::make_unique<QStandardItemModel>(0, static_cast<int>(headers.size()));
    model->setHorizontalHeaderLabels(headers);
    return model;
}

void appendTextRow(QStandardItemModel* model, const QStringList& cells) {
    QList<QStandardItem*> items;
    for (const QString& c : cells) {
        auto* item = new QStandardItem(c);
        item->setEditable(false);
        items << item;
    }
    model->appendRow(items);
}

QString remainingText(const StoredComponent& c) {
    QStringList parts;
    for (const StoredLimit& s : c.limits) {
        const auto b = s.limit.basis();
        const QString code = b ? due::basisCode(*b) : s.limit.basisCode().trimmed();
        if (b && *b == due::Basis::MO) {
            parts << QStringLiteral("%1 %2").arg(code, isoDateText(s.retireDate()));
            continue;
        }
        const auto left = s.remaining();
        parts << QStringLiteral("%1 %2%3").arg(
            code, left ? figureText(left) : QStringLiteral("?"),
            b ? QStringLiteral(" ") + due::basisUnit(*b) : QString());
    }
    return parts.join(QStringLiteral("; "));
}

QString lifeText(const ComponentEvent& e) {
    QStringList parts;
    for (const EventLimit& l : e.limits) {
        QString t = l.basis.trimmed() + QLatin1Char(' ');
        if (l.usedBefore && l.usedAfter && *l.usedBefore != *l.usedAfter)
            t += figureText(l.usedBefore) + QStringLiteral(" > ") + figureText(l.usedAfter);
        else
            t += l.usedAfter ? figureText(l.usedAfter) : QStringLiteral("?");
        if (l.life)
            t += QStringLiteral(" of ") + figureText(l.life);
        parts << t;
    }
    return parts.join(QStringLiteral("; "));
}

std::unique_ptr<QStandardItemModel> storesTable(const std::vector<StoredComponent>& stores) {
    auto model = textTable({QStringLiteral("Part Number"), QStringLiteral("Serial #"),
                            QStringLiteral("Component Name"), QStringLiteral("Where"),
                            QStringLiteral("Since"), QStringLiteral("Removed From"),
                            QStringLiteral("Remaining"), QStringLiteral("Reason"),
                            QStringLiteral("Reference")});
    for (const StoredComponent& c : stores) {
        appendTextRow(model.get(), {c.key.partNumber, c.key.serialNumber, c.description,
                                    locationText(c.location), isoDateText(c.removedDate),
                                    c.removedFrom, remainingText(c), c.reason, c.reference});
    }
    return model;
}

std::unique_ptr<QStandardItemModel> historyTable(const std::vector<ComponentEvent>& events) {
    auto model = textTable(
        {QStringLiteral("Date"), QStringLiteral("Event"), QStringLiteral("Aircraft"),
         QStringLiteral("Item #"), QStringLiteral("Total Time"), QStringLiteral("Total Time 2"),
         QStringLiteral("Landings"), QStringLiteral("Cycles"), QStringLiteral("RIN"),
         QStringLiteral("Life Used (of Limit)"), QStringLiteral("Reason"), QStringLiteral("Where"),
         QStringLiteral("Reference"), QStringLiteral("Entered By")});
    for (const ComponentEvent& e : events) {
        appendTextRow(model.get(), {isoDateText(e.date), e.kind, e.regNum,
                                    e.itemNumber ? QString::number(*e.itemNumber) : QString(),
                                    figureText(e.totals.time), figureText(e.totals.time2),
                                    figureText(e.totals.landings), figureText(e.totals.cycles),
                                    figureText(e.totals.rin), lifeText(e), e.reason, e.location,
                                    e.reference, e.enteredBy});
    }
    return model;
}

}  // namespace velmora::components
