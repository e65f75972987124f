#pragma once

// The queries a connection keeps prepared on the database server. Internal to the engine.

#include <QByteArray>
#include <QHash>
#include <QSet>

#include <optional>

namespace velmora::data::pg {

// A query is prepared the second time the connection runs it (a screen opened again, the
// same aircraft's list rebuilt, the next aircraft of the fleet with its row id as a value),
// and from then on is neither parsed nor planned again. Queries run once cost nothing more.
class PreparedStatements {
  public:
    struct Use {
        QByteArray name;  // the name the statement is prepared under
        bool prepareNow;  // not prepared yet: prepare it under the name before running it
    };

    // How to run the query of this text with values of these types (the key); none when it
    // is to run unprepared.
    std::optional<Use> use(const QByteArray& key);
    // The statement of the key is not (or no longer) prepared: after a failure.
    void forget(const QByteArray& key) { prepared_.remove(key); }
    // Nothing is prepared any more: a new session, or tables changed.
    void forgetAll() {
        prepared_.clear();
        seen_.clear();
    }

  private:
    static constexpr int kMostPrepared = 256;
    static constexpr int kMostRemembered = 4096;
    QHash<QByteArray, QByteArray> prepared_;
    QSet<QByteArray> seen_;
    int next_ = 0;
};

}  // namespace velmora::data::pg
