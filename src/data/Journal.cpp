#include "Journal.h"

#include <QCryptographicHash>

#include <string>

namespace velmora::data::journal {

namespace {

struct Settings {
    std::function<QString()> screen;
    std::function<QDateTime()> clock;
    std::function<void(const QString&)> beforeMigration;
};

Settings& settings() {
    static Settings s;
    return s;
}

}  // namespace

const QStringList& journalledTables() {
    static const QStringList t = {QStringLiteral("Aircraft"), QStringLiteral("Parts"),
                                  QStringLiteral("Oil"), QStringLiteral("PlannedUtilisation")};
    return t;
}

const QStringList& columnNames() {
    static const QStringList c = {
        QStringLiteral("Seq"),       QStringLiteral("ChangedAt"),  QStringLiteral("UserName"),
        QStringLiteral("HostName"),  QStringLiteral("Program"),    QStringLiteral("Screen"),
        QStringLiteral("TableName"), QStringLiteral("RegNum"),     QStringLiteral("ItemNumber"),
        QStringLiteral("RowKey"),    QStringLiteral("ColumnName"), QStringLiteral("OldValue"),
        QStringLiteral("NewValue"),  QStringLiteral("Hash")};
    return c;
}

QByteArray lineHash(const QByteArray& previousHash, const std::vector<Value>& fields) {
    // Each field is tagged with its kind, so that Null, empty text and "0" hash apart, and
    // ends with a separator that no tag or number contains.
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(previousHash);
    h.addData(QByteArrayView("\x1e", 1));
    for (const Value& v : fields) {
        switch (v.type()) {
            case Value::Type::Null:
                h.addData(QByteArrayView("N", 1));
                break;
            case Value::Type::Integer: {
                const std::string s = std::to_string(v.toInt());
                h.addData(QByteArrayView("I", 1));
                h.addData(QByteArrayView(s.data(), static_cast<qsizetype>(s.size())));
                break;
            }
            case Value::Type::Real: {
                const QByteArray s = QByteArray::number(v.toDouble(), 'g', 17);
                h.addData(QByteArrayView("R", 1));
                h.addData(s);
                break;
            }
            case Value::Type::Text:
                h.addData(QByteArrayView("T", 1));
                h.addData(QByteArrayView(v.utf8().data(), static_cast<qsizetype>(v.utf8().size())));
                break;
        }
        h.addData(QByteArrayView("\x1f", 1));
    }
    return h.result().toHex();
}

void setScreenProvider(std::function<QString()> provider) {
    settings().screen = std::move(provider);
}

void setClock(std::function<QDateTime()> clock) {
    settings().clock = std::move(clock);
}

QDateTime now() {
    return settings().clock ? settings().clock().toUTC() : QDateTime::currentDateTimeUtc();
}

void setBeforeMigration(std::function<void(const QString&)> hook) {
    settings().beforeMigration = std::move(hook);
}

// For the engine's hook.
QString currentScreen() {
    return settings().screen ? settings().screen() : QString();
}

void runBeforeMigration(const QString& file) {
    if (settings().beforeMigration)
        settings().beforeMigration(file);
}

}  // namespace velmora::data::journal
