#include "PgKeptSets.h"

#include <QRegularExpression>

#include <utility>

namespace velmora::data::pg {

const KeptSets::Set* KeptSets::find(const QString& source, const QByteArray& snapshot) const {
    const auto it = sets_.find(source);
    if (it == sets_.end() || it->second.snapshot != snapshot)
        return nullptr;
    return &it->second.set;
}

void KeptSets::keep(const QString& source, const QByteArray& snapshot, Set set) {
    sets_.erase(source);
    if (!fits(set.rows.size()) || snapshot.isEmpty())
        return;
    if (sets_.size() >= kMostSets)
        sets_.clear();
    sets_.emplace(source, Kept{snapshot, std::move(set)});
}

QString nameReadPlainly(const QString& jetSource) {
    // A name: bracketed, or a plain word.
    static const QString name = QStringLiteral(R"((?:\[[^\]\[]+\]|[A-Za-z_][A-Za-z0-9_]*))");
    static const QRegularExpression plain(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+(%1)(?:\s+order\s+by\s+%1(?:\s+(?:asc|desc))?)"
                       R"((?:\s*,\s*%1(?:\s+(?:asc|desc))?)*)?\s*;?\s*$)")
            .arg(name),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = plain.match(jetSource);
    if (!m.hasMatch())
        return {};
    QString read = m.captured(1);
    if (read.startsWith(u'['))
        read = read.mid(1, read.size() - 2);
    return read;
}

}  // namespace velmora::data::pg
