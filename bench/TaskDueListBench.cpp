// The due list with the register's tasks beside the component limits, against the list of
// the limits alone, on the due list's fleet (500 aircraft, a million component rows) with a
// register of 5,000 tasks applied to every aircraft: 200 tasks an aircraft, 100,000
// compliance records.
#include "BenchFleet.h"
#include "due/DueFilter.h"
#include "due/DueList.h"
#include "tasks/TaskDueLines.h"
#include "tasks/TaskWrites.h"
#include "utilisation/PlannedUtilisation.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>

namespace velmora::bench {

namespace {

constexpr int kTasks = 5000;
constexpr int kModels = 25;  // the fleet's aircraft are of 25 models, 20 aircraft each

// Task number n: a directive (or every third a bulletin, every fifth an inspection) of
// model n % 25, recurring in hours, months, landings, cycles or two of them at once.
tasks::Task benchTask(int n) {
    using tasks::Parameter;
    using tasks::slot;
    tasks::Task t;
    t.kind = n % 5 == 0   ? tasks::TaskKind::Inspection
             : n % 3 == 0 ? tasks::TaskKind::Bulletin
                          : tasks::TaskKind::Directive;
    t.number = QStringLiteral("B-%1").arg(n, 5, 10, QLatin1Char('0'));
    t.title = QStringLiteral("Bench task %1").arg(n);
    t.authority = QStringLiteral("FAA");
    t.effectiveDate = QDate(2020, 1, 1).addDays(n % 1500);
    t.make = QStringLiteral("Bench");
    t.model = QStringLiteral("Model %1").arg(n % kModels);
    t.meter = 1 + n % 2;
    switch (n % 5) {
        case 0:
            t.interval[slot(Parameter::Hours)] = 50.0 * (1 + n % 40);
            break;
        case 1:
            t.interval[slot(Parameter::Months)] = 1 + n % 36;
            break;
        case 2:
            t.interval[slot(Parameter::Landings)] = 100.0 * (1 + n % 50);
            break;
        case 3:
            t.interval[slot(Parameter::Cycles)] = 200.0 * (1 + n % 30);
            break;
        default:
            t.interval[slot(Parameter::Hours)] = 100.0 * (1 + n % 20);
            t.interval[slot(Parameter::Months)] = 12;
            break;
    }
    return t;
}

struct TaskFleet {
    BenchFleet* fleet = nullptr;
    int compliance = 0;
    double secondsToApply = 0;
};

// The due list's fleet with the register stored and applied, once per process.
TaskFleet* taskFleet(benchmark::State& state) {
    static TaskFleet made;
    static QString error;
    if (!made.fleet && error.isEmpty()) {
        BenchFleet* fleet = dueListBenchFleet(&error);
        if (fleet) {
            try {
                QElapsedTimer timer;
                timer.start();
                for (int a = 0; a < fleet->spec.aircraft; ++a)
                    fleet->db->execute(
                        QStringLiteral("UPDATE Aircraft SET Make = 'Bench', Model = ?1 "
                                       "WHERE RegNum = ?2"),
                        {data::Value(QStringLiteral("Model %1").arg(a % kModels)),
                         data::Value(fleetRegNum(a))});
                std::vector<tasks::Task> all;
                all.reserve(kTasks);
                for (int n = 0; n < kTasks; ++n)
                    all.push_back(benchTask(n));
                made.compliance = tasks::saveTasks(*fleet->db, std::move(all)).applied;
                made.secondsToApply = static_cast<double>(timer.elapsed()) / 1000.0;
                made.fleet = fleet;
            } catch (const data::DbError& e) {
                error = e.text();
            }
        }
    }
    if (!made.fleet)
        state.SkipWithError(qPrintable(error));
    return made.fleet ? &made : nullptr;
}

// The whole due list computed and put in due-date order: the limits alone (argument 0) or
// with the register's lines (1), on the same file with the same register stored.
void BM_DueListTasks(benchmark::State& state) {
    TaskFleet* made = taskFleet(state);
    if (!made)
        return;
    BenchFleet* fleet = made->fleet;
    const bool withTasks = state.range(0) != 0;
    const due::MoreDueLines taskLines = tasks::taskDueLines();
    size_t rows = 0, taskRows = 0;
    for (auto _ : state) {
        try {
            const auto use = utilisation::PlannedUtilisation::read(*fleet->db);
            due::DueList list =
                due::computeDueList(*fleet->db, use, due::WarningSettings{}, fleet->spec.today);
            const size_t limits = list.entries.size();
            if (withTasks)
                taskLines(*fleet->db, use, due::WarningSettings{}, &list);
            const std::vector<int> order = due::selectDue(list, {});
            rows = order.size();
            taskRows = list.entries.size() - limits;
            benchmark::DoNotOptimize(order.data());
        } catch (const data::DbError& e) {
            state.SkipWithError(qPrintable(e.text()));
            break;
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["taskLines"] = static_cast<double>(taskRows);
    state.counters["complianceRecords"] = made->compliance;
    state.counters["applySeconds"] = made->secondsToApply;
}
BENCHMARK(BM_DueListTasks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

}  // namespace velmora::bench
