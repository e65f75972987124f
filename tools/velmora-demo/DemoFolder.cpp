#include "DemoFolder.h"

#include "data/DataFiles.h"

#include <QDir>

namespace velmora::demo {

QStringList existingDataFiles(const QString& folder) {
    QStringList found;
    const QDir dir(folder);
    if (!dir.exists())
        return found;
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        if (e.compare(data::files::kMain, Qt::CaseInsensitive) == 0 ||
            e.compare(data::files::kTemplates, Qt::CaseInsensitive) == 0)
            found << e;
    }
    return found;
}

}  // namespace velmora::demo
