#include "RegisterFilter.h"

#include "StatusTable.h"
#include "TaskText.h"

#include <QMap>

namespace velmora::tasks {

bool matches(const Task& task, const RegisterFilter& filter) {
    if (filter.kind && task.kind != *filter.kind)
        return false;
    const QString authority = filter.authority.trimmed();
    if (!authority.isEmpty() &&
        task.authority.trimmed().compare(authority, Qt::CaseInsensitive) != 0)
        return false;
    const QString text = filter.text.trimmed();
    if (text.isEmpty())
        return true;
    for (const QString& field : {task.number, task.revision, task.title, applicabilityText(task),
                                 task.notes, task.label()}) {
        if (field.contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

std::vector<int> selectTasks(const std::vector<Task>& tasks, const RegisterFilter& filter) {
    std::vector<int> rows;
    for (size_t i = 0; i < tasks.size(); ++i) {
        if (matches(tasks[i], filter))
            rows.push_back(static_cast<int>(i));
    }
    return rows;
}

QStringList authoritiesOf(const std::vector<Task>& tasks) {
    QMap<QString, QString> byKey;  // the first spelling met of each
    for (const Task& t : tasks) {
        const QString a = t.authority.trimmed();
        if (!a.isEmpty() && !byKey.contains(a.toCaseFolded()))
            byKey.insert(a.toCaseFolded(), a);
    }
    return byKey.values();
}

std::vector<int> statusReportColumns(bool oneAircraft) {
    std::vector<int> columns;
    if (!oneAircraft)
        columns.push_back(StatusTable::Registration);
    for (int c :
         {StatusTable::Kind, StatusTable::Number, StatusTable::Revision, StatusTable::RevisionDate,
          StatusTable::Title, StatusTable::AppliesTo, StatusTable::Status, StatusTable::Method,
          StatusTable::LastDone, StatusTable::Recurring, StatusTable::NextDueTime,
          StatusTable::NextDueDate, StatusTable::Expected, StatusTable::Level})
        columns.push_back(c);
    return columns;
}

}  // namespace velmora::tasks
