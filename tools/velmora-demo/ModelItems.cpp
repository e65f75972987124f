#include "ModelItems.h"

namespace velmora::demo {

std::vector<ModelItem> modelItems(const AircraftModel& model) {
    std::vector<ModelItem> out;
    const bool twin = (model.traits & kTwin) != 0;
    for (const CatalogItem& item : componentCatalog()) {
        if (!appliesTo(item, model.traits))
            continue;
        QString part = QString::fromLatin1(item.partNumber);
        if (part.isEmpty())
            part = QString();
        else if (part.startsWith(u'-'))
            part = QString::fromLatin1(model.partPrefix) + part;
        const QString maker =
            QString::fromLatin1(item.manufacturer ? item.manufacturer : model.make);
        const QString description = QString::fromLatin1(item.description);
        const int engines = twin && item.perEngine ? 2 : 1;
        for (int e = 1; e <= engines; ++e) {
            const QString d =
                engines == 1 ? description : QStringLiteral("%1, No. %2").arg(description).arg(e);
            out.push_back({&item, static_cast<int>(out.size()) + 1, d, part, maker});
        }
    }
    return out;
}

std::vector<TemplateRow> templateRows(const AircraftModel& model) {
    std::vector<TemplateRow> out;
    for (const ModelItem& mi : modelItems(model)) {
        TemplateRow r;
        r.itemNumber = mi.item->optional ? 0 : mi.itemNumber;
        r.model = QString::fromLatin1(model.model);
        r.year = model.yearIntroduced;
        r.manufacturer = mi.manufacturer;
        r.description = mi.description;
        r.partNum = mi.partNumber;
        r.assembly = QString::fromLatin1(mi.item->assembly);
        r.tbo = mi.item->life;
        r.basis = QString::fromLatin1(mi.item->basis);
        r.cost = mi.item->cost;
        out.push_back(r);
    }
    return out;
}

}  // namespace velmora::demo
