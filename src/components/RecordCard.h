#pragma once

#include "ComponentTypes.h"
#include "export/TablePrinter.h"

#include <QDateTime>
#include <QStandardItemModel>

#include <memory>
#include <optional>
#include <vector>

namespace velmora::data {
class Database;
}

// A component's record card: what identifies it, each aircraft it was fitted to (when and
// at which aircraft totals it went on and came off), and every event with the component's
// life at that moment, the reason, the work order or release certificate and who entered it.
namespace velmora::components {

struct RecordCard {
    ComponentKey key;
    QString description, manufacturer;   // from its rows on an aircraft or in stores
    std::vector<ComponentEvent> events;  // oldest first
};

// Reads the card; no events when the component is neither on an aircraft nor in stores and
// has no history. Throws data::DbError when the file cannot be read.
RecordCard readRecordCard(data::Database& db, const ComponentKey& key);

// The component's life after an event, in hours and in cycles (landings where it has no
// cycles limit): since new, a retire limit's life used with what overhauls set back until
// then added again; since overhaul, the overhaul limit's life used, or after a recorded
// overhaul the retire (cycles) limit's life used since it. Nothing where it is not known.
struct LifeAtEvent {
    std::optional<double> tsn, csn, tso, cso;
};
std::vector<LifeAtEvent> lifeAtEvents(const std::vector<ComponentEvent>& events);

enum CardEventColumn {
    CardDate,
    CardEvent,
    CardAircraft,
    CardItem,
    CardTotals,
    CardTsn,
    CardCsn,
    CardTso,
    CardCso,
    CardLife,
    CardReason,
    CardReference,
    CardSigned,
    CardEventColumnCount
};
std::unique_ptr<QStandardItemModel> recordCardEvents(const RecordCard& card);

enum CardFittedColumn {
    FittedAircraft,
    FittedItem,
    FittedInstalled,
    FittedTotalsOn,
    FittedRemoved,
    FittedTotalsOff,
    FittedReason,
    FittedColumnCount
};
// One row per time the component was fitted to an aircraft, from its installed and removed
// events; one still fitted shows no removal.
std::unique_ptr<QStandardItemModel> recordCardFitted(const RecordCard& card);

// The printed card: its tables (kept here, as the job points at them) and the job.
struct RecordCardPrint {
    std::unique_ptr<QStandardItemModel> events, fitted;
    exporting::TablePrintJob job;
};
std::unique_ptr<RecordCardPrint> recordCardPrint(const RecordCard& card, const QDateTime& printed);

}  // namespace velmora::components
