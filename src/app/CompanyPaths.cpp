#include "CompanyPaths.h"

#include <QFileInfo>

namespace velmora::app {

QString folderOfChosenFile(const QString& chosenFile) {
    const QString bare = QFileInfo(chosenFile).fileName();
    if (bare.isEmpty())
        return chosenFile;
    const qsizetype at = chosenFile.indexOf(bare);
    return at < 0 ? chosenFile : chosenFile.left(at);
}

}  // namespace velmora::app
