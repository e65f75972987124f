#pragma once

#include "ComponentTypes.h"

#include <QStandardItemModel>

#include <memory>
#include <vector>

// The stores and a component's history as tables: for the windows' grids, their CSV and
// printed pages, and velmora-component.
namespace velmora::components {

// The cells of these tables and of the record card: figures to 12 digits, dates in ISO form,
// read-only text items.
QString figureText(const std::optional<double>& d);
QString isoDateText(const QDate& d);
std::unique_ptr<QStandardItemModel> textTable(const QStringList& headers);
void appendTextRow(QStandardItemModel* model, const QStringList& cells);

enum StoresColumn {
    StoresPartNumber,
    StoresSerial,
    StoresDescription,
    StoresLocation,
    StoresSince,
    StoresRemovedFrom,
    StoresRemaining,
    StoresReason,
    StoresReference,
    StoresColumnCount
};
std::unique_ptr<QStandardItemModel> storesTable(const std::vector<StoredComponent>& stores);

enum HistoryColumn {
    HistoryDate,
    HistoryEvent,
    HistoryAircraft,
    HistoryItem,
    HistoryTotalTime,
    HistoryTotalTime2,
    HistoryLandings,
    HistoryCycles,
    HistoryRin,
    HistoryLife,
    HistoryReason,
    HistoryWhere,
    HistoryReference,
    HistoryWho,
    HistoryColumnCount
};
std::unique_ptr<QStandardItemModel> historyTable(const std::vector<ComponentEvent>& events);

// What remains of each limit of a stored component: "RT 4600 hours; MO 2026-01-31".
QString remainingText(const StoredComponent& c);
// Each limit's life at an event: "RT 400 > 400 (4600 left)".
QString lifeText(const ComponentEvent& e);

}  // namespace velmora::components
