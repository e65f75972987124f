#include "Journal.h"

#include <QCryptographicHash>

#include <cstdio>

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

LineHasher::LineHasher() : sha_(QCryptographicHash::Sha256) {}

QByteArrayView LineHasher::hash(QByteArrayView previousHash, const std::vector<Value>& fields,
                                size_t fieldCount) {
    // Each field is tagged with its kind, so that Null, empty text and "0" hash apart, and
    // ends with a separator that no tag or number contains.
    sha_.reset();
    sha_.addData(previousHash);
    sha_.addData(QByteArrayView("\x1e", 1));
    char number[32];
    for (size_t i = 0; i < fieldCount; ++i) {
        const Value& v = fields[i];
        switch (v.type()) {
            case Value::Type::Null:
                sha_.addData(QByteArrayView("N", 1));
                break;
            case Value::Type::Integer: {
                const int n = std::snprintf(number, sizeof number, "I%lld",
                                            static_cast<long long>(v.toInt()));
                sha_.addData(QByteArrayView(number, n));
                break;
            }
            case Value::Type::Real: {
                const int n = std::snprintf(number, sizeof number, "R%.17g", v.toDouble());
                sha_.addData(QByteArrayView(number, n));
                break;
            }
            case Value::Type::Text:
                sha_.addData(QByteArrayView("T", 1));
                sha_.addData(
                    QByteArrayView(v.utf8().data(), static_cast<qsizetype>(v.utf8().size())));
                break;
        }
        sha_.addData(QByteArrayView("\x1f", 1));
    }
    const QByteArrayView digest = sha_.resultView();
    static const char digits[] = "0123456789abcdef";
    for (qsizetype i = 0; i < digest.size() && i < 32; ++i) {
        const auto b = static_cast<unsigned char>(digest[i]);
        hex_[2 * i] = digits[b >> 4];
        hex_[2 * i + 1] = digits[b & 15];
    }
    return QByteArrayView(hex_, 64);
}

QByteArray lineHash(const QByteArray& previousHash, const std::vector<Value>& fields) {
    LineHasher hasher;
    return hasher.hash(previousHash, fields, fields.size()).toByteArray();
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
