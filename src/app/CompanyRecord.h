#pragma once

#include "data/Database.h"
#include "data/Value.h"

#include <QString>

#include <memory>

namespace velmora::app {

// The company record the main menu holds open for the life of the process: the first row
// of CompanyInfo in the program folder's settings file. Values are read from the file each
// time, so a change saved in company set-up is seen by screens opened afterwards.
class CompanyRecord {
  public:
    // Opens the settings file; false with the engine's error when it cannot be opened.
    bool open(const QString& settingsFile, data::DbError* error);
    bool isOpen() const { return db_ != nullptr; }
    const QString& fileName() const { return file_; }

    // A column of the company row; Null when the file or row is not there.
    data::Value value(const QString& column) const;
    QString pathData() const { return value(QStringLiteral("PathData")).toString(); }

  private:
    QString file_;
    std::shared_ptr<data::Database> db_;
};

}  // namespace velmora::app
