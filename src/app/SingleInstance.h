#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace velmora::app {

// Makes sure one copy of the program runs per user and installation. The first copy
// listens on a local socket; a later copy asks it to bring its main window forward and
// then ends without showing anything.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(const QString& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this copy is the only one; it then listens for later copies. False when
    // another copy answered and has been asked to come forward.
    bool claim();

    static QString serverNameFor(const QString& programFolder);
    // Whether a copy listens under that name, without asking it for anything.
    static bool isRunning(const QString& name);

  signals:
    void activationRequested();

  private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace velmora::app
