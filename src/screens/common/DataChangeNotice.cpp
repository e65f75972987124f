#include "DataChangeNotice.h"

#include "data/DataFiles.h"

#include <QFileInfo>

namespace velmora::screens {

DataChangeNotice& DataChangeNotice::instance() {
    static DataChangeNotice notice;
    return notice;
}

void DataChangeNotice::announce(const QString& dataFile) {
    emit instance().dataChanged(dataFile);
}

bool DataChangeNotice::sameFile(const QString& a, const QString& b) {
    if (a.compare(b, Qt::CaseInsensitive) == 0)
        return true;
    auto canonical = [](const QString& f) {
        const QString resolved = data::resolvePathCaseInsensitive(f);
        const QString c = QFileInfo(resolved).canonicalFilePath();
        return c.isEmpty() ? resolved : c;
    };
    return canonical(a) == canonical(b);
}

}  // namespace velmora::screens
