#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace velmora::app {

// A database server as Company Set-up names it: where it is, which database, who logs in and
// how the connection is secured. The data path keeps it as a libpq connection URI, never
// with a password.
struct ServerAddress {
    QString host;  // a name or address, or a folder that holds the server's Unix socket
    int port = 0;  // 0: libpq's default (5432)
    QString database;
    QString user;
    QString sslMode;  // one of sslModes(); empty: libpq's default (prefer)

    // The connection URI: postgresql://user@host:port/database?sslmode=require, or with a
    // socket folder postgresql:///database?host=/run/postgresql&user=... .
    QString toUri() const;
    // What a URI the program wrote (or the user typed) says; std::nullopt for a data path
    // that is no server URI, or one with parts this form cannot show (other parameters).
    static std::optional<ServerAddress> fromUri(const QString& uri);
    // What is missing for a usable address ("the database"), empty when nothing is.
    QString missing() const;

    bool operator==(const ServerAddress&) const = default;
};

// The SSL modes libpq knows, weakest first.
QStringList sslModes();

}  // namespace velmora::app
