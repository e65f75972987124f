#pragma once

// Random Jet SELECT statements over Aircraft, Parts and Oil, the same for a given seed on
// every machine: the differential test runs each on both back ends and compares.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <set>

namespace velmora::testing {

// One generated statement and the constructs it uses ("format-named", "distinct", ...), by
// which a difference can be matched with the accepted ones.
struct GeneratedStatement {
    QString sql;
    std::set<QString> constructs;
    bool ordered = false;  // has an ORDER BY that fixes the order of every row
};

class DialectGenerator {
  public:
    explicit DialectGenerator(std::uint64_t seed) : state_(seed) {}
    GeneratedStatement next();

  private:
    // Columns of one table by kind, qualified by the table in a join.
    struct Source;

    std::uint32_t random();
    int pick(int n) { return static_cast<int>(random() % static_cast<std::uint32_t>(n)); }
    bool chance(int percent) { return pick(100) < percent; }
    const QString& oneOf(const QStringList& items) { return items.at(pick(items.size())); }

    QString text(const Source& s, int depth);
    QString number(const Source& s, int depth);
    QString date(const Source& s, int depth);
    QString condition(const Source& s, int depth);
    QString anyValue(const Source& s, int depth);
    QString textLiteral();
    QString dateLiteral();
    void use(const QString& construct) { current_.constructs.insert(construct); }

    GeneratedStatement plainSelect(const Source& s);
    GeneratedStatement groupedSelect(const Source& s);

    std::uint64_t state_;
    GeneratedStatement current_;
};

// The rows a data set needs for the statements to meet every edge: letter case, trailing
// blanks, Null, accents, dates before 1900 and after 2030, money, long texts.
QStringList edgeRowStatements();

}  // namespace velmora::testing
