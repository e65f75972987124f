#pragma once

#include "components/ComponentTypes.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace velmora::aircraft {

// A window that lists components off their aircraft (the stores) or the events of one
// component (its history, the record card), read from the main data file each time it is
// shown again; its context menu exports and prints the list as every grid's does.
class frmComponentTable : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { Stores, History };
    // mainFile: the main data file (or server data set); key: the component of a history.
    frmComponentTable(Kind kind, const QString& mainFile, const components::ComponentKey& key = {},
                      QWidget* parent = nullptr);
    ~frmComponentTable() override;

    // Reads the list again; a failure is shown with its reason and leaves the list empty.
    void Refresh();
    // Stores: opens the history of the component of the current row.
    void cmdHistory_Click();

    QTableView* grdList = nullptr;
    QLabel* lblTitle = nullptr;
    QPushButton* cmdHistory = nullptr;  // stores only
    QPushButton* cmdClose = nullptr;
    const QStandardItemModel* model() const { return model_.get(); }

  private:
    QString title() const;

    Kind kind_;
    QString mainFile_;
    components::ComponentKey key_;
    std::vector<components::StoredComponent> stores_;
    std::unique_ptr<QStandardItemModel> model_;
};

}  // namespace velmora::aircraft
