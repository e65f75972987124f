#include "Journal.h"

#include <openssl/sha.h>

#include <charconv>
#include <cstdio>

#include <string>

namespace velmora::data::journal {

namespace {

struct Settings {
    std::function<QString()> screen;
    std::function<QDateTime()> clock;
    std::function<void(const QString&)> beforeMigration;
    AfterCommitHook afterCommit;
};

Settings& settings() {
    static Settings s;
    return s;
}

}  // namespace

const QStringList& journalledTables() {
    static const QStringList t = {QStringLiteral("Aircraft"),
                                  QStringLiteral("Parts"),
                                  QStringLiteral("Oil"),
                                  QStringLiteral("PlannedUtilisation"),
                                  QStringLiteral("Tasks"),
                                  QStringLiteral("TaskCompliance"),
                                  QStringLiteral("TaskAccomplishments"),
                                  QStringLiteral("ComponentStores"),
                                  QStringLiteral("ComponentEvents"),
                                  QStringLiteral("ComponentEventLimits")};
    return t;
}

const QStringList& columnNames() {
    static const QStringList c = {
        QStringLiteral("Seq"),       QStringLiteral("ChangedAt"),  QStringLiteral("UserName"),
        QStringLiteral("HostName"),  QStringLiteral("Program"),    QStringLiteral("Screen"),
        QStringLiteral("TableName"), QStringLiteral("RegNum"),     QStringLiteral("ItemNumber"),
        QStringLiteral("RowKey"),    QStringLiteral("ColumnName"), QStringLiteral("OldValue"),
        QStringLiteral("NewValue"),  QStringLiteral("Hash"),       QStringLiteral("Entry")};
    return c;
}

LineHasher::LineHasher() = default;

QByteArrayView LineHasher::hash(QByteArrayView previousHash, const std::vector<Value>& fields,
                                size_t fieldCount) {
    // Each field is tagged with its kind, so that Null, empty text and "0" hash apart, and
    // ends with a separator that no tag or number contains. The line is put together first
    // and hashed in one call.
    line_.clear();
    line_.append(previousHash.data(), static_cast<size_t>(previousHash.size()));
    line_ += '\x1e';
    char number[32];
    for (size_t i = 0; i < fieldCount; ++i) {
        const Value& v = fields[i];
        switch (v.type()) {
            case Value::Type::Null:
                line_ += 'N';
                break;
            case Value::Type::Integer: {
                line_ += 'I';
                const auto r = std::to_chars(number, number + sizeof number, v.toInt());
                line_.append(number, r.ptr);
                break;
            }
            case Value::Type::Real: {
                const int n = std::snprintf(number, sizeof number, "R%.17g", v.toDouble());
                line_.append(number, static_cast<size_t>(n));
                break;
            }
            case Value::Type::Text:
                line_ += 'T';
                line_ += v.utf8();
                break;
        }
        line_ += '\x1f';
    }
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(line_.data()), line_.size(), digest);
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < SHA256_DIGEST_LENGTH; ++i) {
        hex_[2 * i] = digits[digest[i] >> 4];
        hex_[2 * i + 1] = digits[digest[i] & 15];
    }
    return QByteArrayView(hex_, 64);
}

QByteArrayView LineHasher::lineHash(QByteArrayView previousHash, const std::vector<Value>& line) {
    if (line.size() <= Entry || line[Entry].isNull())
        return hash(previousHash, line, kHashedFields);
    // The entry joins the hashed fields: a line cannot be moved into another entry, nor its
    // entry taken away, without breaking the chain.
    entryLine_.assign(line.begin(), line.begin() + kHashedFields);
    entryLine_.push_back(line[Entry]);
    return hash(previousHash, entryLine_, entryLine_.size());
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

namespace {
int carrying = 0;
}  // namespace

CarryingJournal::CarryingJournal() {
    ++carrying;
}

CarryingJournal::~CarryingJournal() {
    --carrying;
}

bool carryingJournal() {
    return carrying > 0;
}

void setAfterCommit(AfterCommitHook hook) {
    settings().afterCommit = std::move(hook);
}

// For the engine's hook.
void runAfterCommit(const QString& file, std::int64_t seq, const QByteArray& hash) {
    if (!settings().afterCommit)
        return;
    try {
        settings().afterCommit(file, seq, hash);
    } catch (...) {
        // The change stands; only its anchor outside the file lags behind.
    }
}

QString currentScreen() {
    return settings().screen ? settings().screen() : QString();
}

void runBeforeMigration(const QString& file) {
    if (settings().beforeMigration)
        settings().beforeMigration(file);
}

}  // namespace velmora::data::journal
