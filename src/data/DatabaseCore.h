#pragma once

// What both back ends share: the checks of a transaction's depth and of work that is only
// ever undone, and the stored queries' names, each with its message written once. A back end
// gives the few primitives these are built on.

#include "Database.h"

#include <QString>

namespace velmora::data {

class DatabaseCore : public Database {
  public:
    void beginTransaction() final { openLevel(false); }
    bool inTransaction() const final { return depth_ > 0; }
    void beginScratchTransaction() final;
    void commit() final;
    void rollback() final;

    void createQueryDef(const QString& name, const QString& jetSql) final;
    void deleteQueryDef(const QString& name) final;
    bool hasQueryDef(const QString& name) final;
    QString queryDefSql(const QString& name) final;

  protected:
    // The data for messages: a file's path, or a data set and its server.
    virtual QString shownName() const = 0;

    // Opens a level: the transaction when none is open, else a savepoint inside it; counts
    // it in depth_. Scratch: the work in it is only ever rolled back.
    virtual void openLevel(bool scratch) = 0;
    // Keeps the innermost level's work (the transaction's: commits it) and counts it off
    // depth_ (before or after the server's answer, as the back end's failures require).
    virtual void releaseLevel() = 0;
    // Undoes the work of a level no longer counted in depth_ (0: the whole transaction).
    virtual void undoLevel(int level) = 0;

    // Keeps a stored query under a trimmed name that names neither a table nor a query; the
    // text must be a statement the back end can run.
    virtual void keepQueryDef(const QString& name, const QString& jetSql) = 0;
    // Removes the stored query of a name (without brackets): the number removed.
    virtual int removeQueryDef(const QString& name) = 0;
    // The text of the stored query of a name (without brackets); null when there is none.
    virtual QString queryDefSqlOrNull(const QString& name) = 0;

    // A row read by its id is gone.
    [[noreturn]] static void throwRowNotFound(const QString& table);

    int depth_ = 0;
    int scratchDepth_ = 0;  // the depth of the scratch transaction open, 0 when none
};

}  // namespace velmora::data
