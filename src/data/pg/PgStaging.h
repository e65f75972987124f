#pragma once

// Data sets copied onto a database server whole or not at all. Internal to the engine.

#include <QString>
#include <QStringList>

#include <memory>

struct pg_conn;

namespace velmora::data::pg {

// The data sets of one data path (a database) while they are copied in: each is made under
// a name of its own ("TimeMgr" as "velmora_copy_TimeMgr"), where no workstation sees it,
// and all take their places in one transaction at the end. A copy that fails leaves them
// under the names of their own, which abandon() removes, or the next copy into the same
// database when the server could not be reached.
class Staging {
  public:
    // Connects to the data path's database and removes what a copy that failed earlier left.
    // Throws DbError 3151 when the server cannot be reached.
    explicit Staging(const QString& dataPath);
    ~Staging();
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;

    // Where a data file is copied in: the data set's location under its name of its own.
    QString location(const QString& fileName) const;
    // The data set's own name in a text about its name of its own (a message).
    static QString ownNames(const QString& text);

    // Gives the data sets copied in their own names, in one transaction. Throws DbError:
    // 3012 when one of the names holds a data set meanwhile; nothing changes then.
    void publish(const QStringList& fileNames);
    // Removes the data sets copied in, and the engine's functions when this copy made them
    // and the database holds no table any more. Does nothing that fails: a server that
    // cannot be reached keeps them until the next copy.
    void abandon() noexcept;

  private:
    QString dataPath_;
    QString uri_;
    std::unique_ptr<pg_conn, void (*)(pg_conn*)> conn_;
    bool functionsExisted_ = true;
};

}  // namespace velmora::data::pg
