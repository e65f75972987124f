#include "DialectGenerator.h"

namespace velmora::testing {

struct DialectGenerator::Source {
    QString from;
    QStringList texts;
    QStringList numbers;
    QStringList dates;
    QStringList keys;  // together unique for every row of the source
};

namespace {

using S = QStringList;

const S kTextLiterals = {"'N1'",    "'n1 '",  "'bell'", "'BELL '", "'é'",     "'Écureuil'",
                         "'z'",     "'x'",    "''",     "'12-A'",  "' 3.5x'", "'1E+3'",
                         "'hr-42'", "'a''b'", "'Zeta'", "'%'"};
const S kNumberLiterals = {"0",   "1",       "2",     "-1",      "2.5",  "-2.5", "0.125",
                           "0.3", "1480.25", "1E+15", "11249.5", "1000", "7",    "0.5"};
const S kDateLiterals = {"#2020-01-31#", "#1/1/2000#",   "#1850-06-15#",         "#2035-01-01#",
                         "#1899-12-30#", "#2026-12-07#", "#2031-12-31 14:30:00#"};
const S kNumberFormats = {"'0.00'",    "'000'",        "'#,##0.0'",        "'#.##'",
                          "'0'",       "'Fixed'",      "'Standard'",       "'Currency'",
                          "'Percent'", "'Scientific'", "'General Number'", "'0.0%'",
                          "'#,##0'"};
const S kDateFormats = {"'yyyy-mm-dd'", "'dd/mm/yyyy'", "'Short Date'", "'General Date'",
                        "'Long Date'",  "'mmm yyyy'",   "'q'",          "'ww'",
                        "'y'",          "'d mmmm yy'",  "'hh:nn'",      "'dddd'"};
const S kDateUnits = {"'d'", "'m'", "'yyyy'", "'ww'", "'q'", "'y'", "'h'", "'w'"};
const S kLikePatterns = {"'B*'", "'b*'",  "'*e*'", "'N?'", "'[a-m]*'",
                         "'*'",  "'hr*'", "'* '",  "'É*'", "'#*'"};

bool isNamedFormat(const QString& f) {
    return f.size() > 3 && f.at(1).isUpper() && f != "'0.0%'";
}

}  // namespace

std::uint32_t DialectGenerator::random() {
    // splitmix64: the same sequence with every compiler and library.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 16);
}

QString DialectGenerator::textLiteral() {
    return oneOf(kTextLiterals);
}

QString DialectGenerator::dateLiteral() {
    return oneOf(kDateLiterals);
}

QString DialectGenerator::text(const Source& s, int depth) {
    if (depth <= 0 || chance(35))
        return chance(75) ? oneOf(s.texts) : textLiteral();
    const QString a = text(s, depth - 1);
    switch (pick(16)) {
        case 0:
            use("ucase-lcase");
            return QString("UCase(%1)").arg(a);
        case 1:
            use("ucase-lcase");
            return QString("LCase(%1)").arg(a);
        case 2:
            use("trim");
            return QString("%1(%2)").arg(oneOf({"Trim", "LTrim", "RTrim"}), a);
        case 3:
            use("left-right-mid");
            return QString("Left(%1, %2)").arg(a).arg(pick(4));
        case 4:
            use("left-right-mid");
            return QString("Mid(%1, %2, %3)").arg(a).arg(1 + pick(3)).arg(pick(5));
        case 5:
            use("concat");
            return QString("%1 & %2").arg(a, anyValue(s, depth - 1));
        case 6:
            use("plus-text");
            return QString("(%1 + %2)").arg(a, text(s, depth - 1));
        case 7:
            use("format-number");
            {
                const QString f = oneOf(kNumberFormats);
                if (isNamedFormat(f))
                    use("format-named");
                return QString("Format(%1, %2)").arg(number(s, depth - 1), f);
            }
        case 8:
            use("format-date");
            {
                const QString f = oneOf(kDateFormats);
                if (isNamedFormat(f))
                    use("format-named");
                return QString("Format(%1, %2)").arg(date(s, depth - 1), f);
            }
        case 9:
            use("format-text");
            return QString("Format(%1, %2)").arg(a, oneOf({"'>'", "'<'", "'@@@@@'"}));
        case 10:
            use("cstr");
            return QString("CStr(%1)").arg(number(s, depth - 1));
        case 11:
            use("str");
            return QString("Str(%1)").arg(number(s, depth - 1));
        case 12:
            use("nz");
            return QString("Nz(%1, '-')").arg(a);
        case 13:
            use("iif");
            return QString("IIf(%1, %2, %3)").arg(condition(s, depth - 1), a, text(s, depth - 1));
        case 14:
            use("right");
            return QString("Right(%1, %2)").arg(a).arg(pick(4));
        default:
            use("cstr-date");
            return QString("CStr(%1)").arg(date(s, depth - 1));
    }
}

QString DialectGenerator::number(const Source& s, int depth) {
    if (depth <= 0 || chance(35))
        return chance(70) ? oneOf(s.numbers) : oneOf(kNumberLiterals);
    const QString a = number(s, depth - 1);
    switch (pick(17)) {
        case 0:
            use("arithmetic");
            return QString("(%1 %2 %3)").arg(a, oneOf({"+", "-", "*"}), number(s, depth - 1));
        case 1:
            use("division");
            return QString("(%1 / %2)").arg(a, oneOf({"2", "3", "-4", "0.5"}));
        case 2:
            use("int-division");
            return QString("(Int(%1) \\ %2)").arg(a, oneOf({"2", "3", "-4"}));
        case 3:
            use("mod");
            return QString("(Int(%1) Mod %2)").arg(a, oneOf({"2", "3", "-4"}));
        case 4:
            use("val");
            return QString("Val(%1)").arg(text(s, depth - 1));
        case 5:
            use("int-fix");
            return QString("%1(%2)").arg(oneOf({"Int", "Fix"}), a);
        case 6:
            use("round");
            return QString("Round(%1, %2)").arg(a).arg(pick(3));
        case 7:
            use("abs-sgn");
            return QString("%1(%2)").arg(oneOf({"Abs", "Sgn"}), a);
        case 8:
            use("len-instr");
            return QString("Len(%1)").arg(text(s, depth - 1));
        case 9:
            use("len-instr");
            return QString("InStr(%1, %2)").arg(text(s, depth - 1), textLiteral());
        case 10:
            use("datediff");
            return QString("DateDiff(%1, %2, %3)")
                .arg(oneOf(kDateUnits), date(s, depth - 1), date(s, depth - 1));
        case 11:
            use("date-parts");
            return QString("%1(%2)").arg(oneOf({"Year", "Month", "Day"}), date(s, depth - 1));
        case 12:
            use("nz");
            return QString("Nz(%1, 0)").arg(a);
        case 13:
            use("iif");
            return QString("IIf(%1, %2, %3)").arg(condition(s, depth - 1), a, number(s, depth - 1));
        case 14:
            use("conversion");
            return QString("%1(%2)").arg(oneOf({"CDbl", "CLng", "CInt"}), a);
        case 15:
            use("negation");
            return QString("-%1").arg(a);
        default:
            use("plus-mixed");
            return QString("(%1 + %2)").arg(a, oneOf({"'1'", "'2.5'", "' 3'"}));
    }
}

QString DialectGenerator::date(const Source& s, int depth) {
    if (depth <= 0 || chance(40))
        return chance(70) ? oneOf(s.dates) : dateLiteral();
    switch (pick(4)) {
        case 0:
            use("dateadd");
            return QString("DateAdd(%1, %2, %3)")
                .arg(oneOf({"'d'", "'m'", "'yyyy'", "'h'", "'ww'", "'q'"}))
                .arg(pick(41) - 20)
                .arg(date(s, depth - 1));
        case 1:
            use("dateserial");
            return QString("DateSerial(Year(%1), %2, %3)")
                .arg(date(s, depth - 1))
                .arg(pick(14))
                .arg(pick(33));
        case 2:
            use("nz");
            return QString("Nz(%1, %2)").arg(date(s, depth - 1), dateLiteral());
        default:
            use("iif");
            return QString("IIf(%1, %2, %3)")
                .arg(condition(s, depth - 1), date(s, depth - 1), dateLiteral());
    }
}

QString DialectGenerator::anyValue(const Source& s, int depth) {
    switch (pick(3)) {
        case 0:
            return text(s, depth);
        case 1:
            return number(s, depth);
        default:
            return date(s, depth);
    }
}

QString DialectGenerator::condition(const Source& s, int depth) {
    const QString op = oneOf({"=", "<>", "<", "<=", ">", ">="});
    switch (pick(depth > 0 ? 10 : 7)) {
        case 0:
            use("compare-text");
            return QString("%1 %2 %3").arg(text(s, depth), op, text(s, depth));
        case 1:
            use("compare-number");
            return QString("%1 %2 %3").arg(number(s, depth), op, number(s, depth));
        case 2:
            use("compare-date");
            return QString("%1 %2 %3").arg(date(s, depth), op, date(s, depth));
        case 3:
            use("like");
            return QString("%1 %2Like %3")
                .arg(text(s, depth), chance(20) ? "Not " : "", oneOf(kLikePatterns));
        case 4:
            use("between");
            return chance(50)
                       ? QString("%1 Between %2 And %3")
                             .arg(number(s, depth), oneOf(kNumberLiterals), oneOf(kNumberLiterals))
                       : QString("%1 Between %2 And %3")
                             .arg(text(s, depth), textLiteral(), textLiteral());
        case 5:
            use("in");
            return QString("%1 In (%2, %3, %4)")
                .arg(text(s, depth), textLiteral(), textLiteral(), textLiteral());
        case 6:
            use("is-null");
            return QString("%1 Is %2Null").arg(anyValue(s, depth), chance(50) ? "Not " : "");
        case 7:
            return QString("(%1 And %2)").arg(condition(s, depth - 1), condition(s, depth - 1));
        case 8:
            return QString("(%1 Or %2)").arg(condition(s, depth - 1), condition(s, depth - 1));
        default:
            return QString("Not (%1)").arg(condition(s, depth - 1));
    }
}

GeneratedStatement DialectGenerator::plainSelect(const Source& s) {
    const bool distinct = chance(15);
    const int items = 1 + pick(3);
    QStringList select;
    QStringList expressions;
    for (int i = 0; i < items; ++i) {
        expressions << anyValue(s, pick(3));
        select << QString("%1 AS c%2").arg(expressions.last()).arg(i);
    }
    QString sql = "SELECT ";
    if (distinct) {
        use("distinct");
        sql += "DISTINCT ";
    }
    const bool top = !distinct && chance(10);
    if (!distinct)
        for (const QString& k : s.keys)
            select << k;
    if (top) {
        use("top");
        sql += QString("TOP %1 ").arg(1 + pick(5));
    }
    sql += select.join(", ") + " FROM " + s.from;
    if (chance(60))
        sql += " WHERE " + condition(s, 1 + pick(2));
    // TOP takes its rows in a fixed order; otherwise about half the statements sort.
    if (top || chance(50)) {
        use("order-by");
        QStringList order;
        if (distinct) {
            // Rows alike in every item are one row: the items order them all.
            for (const QString& e : expressions)
                order << e + (chance(30) ? " DESC" : "");
        } else {
            order << anyValue(s, pick(2)) + (chance(30) ? " DESC" : "");
            order << s.keys;
        }
        sql += " ORDER BY " + order.join(", ");
        current_.ordered = true;
    }
    current_.sql = sql;
    return current_;
}

GeneratedStatement DialectGenerator::groupedSelect(const Source& s) {
    use("group-by");
    const QString key = pick(3) == 0 ? number(s, pick(2)) : text(s, pick(2));
    const QString agg = oneOf({"Sum", "Min", "Max", "Avg", "Count"});
    QString sql = QString("SELECT %1 AS k, Count(*) AS n, %2(%3) AS a FROM %4")
                      .arg(key, agg, number(s, pick(2)), s.from);
    if (chance(40))
        sql += " WHERE " + condition(s, 1);
    sql += " GROUP BY " + key;
    if (chance(50)) {
        use("order-by");
        sql += " ORDER BY " + key + (chance(30) ? " DESC" : "");
        current_.ordered = true;
    }
    current_.sql = sql;
    return current_;
}

GeneratedStatement DialectGenerator::next() {
    static const Source aircraft{"Aircraft",
                                 {"RegNum", "Make", "Model", "[Year]", "Owner"},
                                 {"TotalTime", "TotalLandings", "CurrentMeter1", "TotalCycles"},
                                 {"#2020-01-31#"},
                                 {"TotalLandings"}};
    static const Source parts{
        "Parts",
        {"RegNum", "Description", "PartNumber", "[Serial#]", "Notes", "LifeBasis"},
        {"ItemNumber", "ReplaceCost", "LifeNumber", "InstallTimeLeft", "MeterNumber", "Active"},
        {"InstallDate", "DatePurchased"},
        {"ItemNumber"}};
    static const Source oil{"Oil",
                            {"RegNum", "Component"},
                            {"Iron", "Copper", "EngineHrs", "Silver"},
                            {"DatePerformed"},
                            {"EngineHrs"}};
    static const Source joined{
        "Parts INNER JOIN Aircraft ON Parts.RegNum = Aircraft.RegNum",
        {"Parts.RegNum", "Aircraft.Make", "Aircraft.Model", "Parts.Description",
         "Parts.PartNumber"},
        {"Parts.ItemNumber", "Parts.ReplaceCost", "Aircraft.TotalTime", "Aircraft.TotalLandings"},
        {"Parts.InstallDate", "Parts.DatePurchased"},
        {"Parts.ItemNumber", "Aircraft.TotalLandings"}};
    current_ = GeneratedStatement{};
    const int which = pick(10);
    const Source& s = which < 3 ? aircraft : which < 7 ? parts : which < 9 ? oil : joined;
    if (&s == &joined)
        use("join");
    return chance(20) ? groupedSelect(s) : plainSelect(s);
}

QStringList edgeRowStatements() {
    QStringList out;
    const QString longText = QString("Overhauled. ").repeated(40) + "Ende";
    const QString memo = QString("Long note é ").repeated(80);
    // Aircraft: TotalLandings tells the rows apart.
    out << "INSERT INTO Aircraft (RegNum, Make, Model, [Year], Owner, TotalTime, TotalLandings, "
           "CurrentMeter1, TotalCycles) VALUES ('N1', 'Bell', '206B', '1998', 'Ålesund Heli', "
           "1234.5, 1, 0.125, 10)"
        << "INSERT INTO Aircraft (RegNum, Make, Model, [Year], Owner, TotalTime, TotalLandings, "
           "CurrentMeter1, TotalCycles) VALUES ('n1 ', 'bell ', '206b', '1998 ', Null, 0.1, 2, "
           "-2.5, Null)"
        << "INSERT INTO Aircraft (RegNum, Make, Model, [Year], Owner, TotalTime, TotalLandings, "
           "CurrentMeter1, TotalCycles) VALUES ('C-GABC', 'Eurocopter', 'AS350 B2', '2031', '" +
               longText + "', 1E+15, 3, 11249.5, 2147483647)"
        << "INSERT INTO Aircraft (RegNum, Make, Model, [Year], Owner, TotalTime, TotalLandings, "
           "CurrentMeter1, TotalCycles) VALUES ('HR-42', Null, 'Écureuil', Null, 'zèbre', Null, "
           "4, 1480.25, 0)"
        << "INSERT INTO Aircraft (RegNum, Make, Model, [Year], Owner, TotalTime, TotalLandings, "
           "CurrentMeter1, TotalCycles) VALUES ('hr-42  ', 'BELL', 'Jet', '1885', '', -2.5, 5, "
           "0, -7)"
        << "INSERT INTO Aircraft (RegNum, Make, Model, [Year], Owner, TotalTime, TotalLandings, "
           "CurrentMeter1, TotalCycles) VALUES ('ZZ9', 'Sikorsky', 'S-76', 'x', 'eagle', 0.125, "
           "6, 0.3, 3)";
    struct P {
        const char* reg;
        const char* desc;
        const char* pn;
        const char* sn;
        const char* bought;
        const char* cost;
        const char* life;
        const char* installed;
        const char* left;
        int meter;
        const char* active;
    };
    const P parts[] = {
        {"'N1'", "'Main rotor'", "'12-A'", "'S1'", "#1899-12-30#", "1234.5678", "2000",
         "#2020-01-15#", "100", 1, "Yes"},
        {"'N1'", "'main rotor '", "' 3.5x'", "'s1'", "#1850-06-15#", "0.125", "0.3", "#2021-06-01#",
         "-2.5", 2, "No"},
        {"'n1 '", "'Écrou'", "'&H10'", "Null", "#2035-01-01#", "-2.5", "1E+15", "#2019-03-01#", "0",
         1, "Yes"},
        {"'HR-42'", "'ecrou'", "'1E+3'", "'S-9'", "#2031-12-31 14:30:00#", "1480.25", "Null",
         "Null", "Null", 3, "Yes"},
        {"'hr-42  '", "Null", "Null", "'  '", "Null", "Null", "2.5", "#1885-02-28#", "12.5", 1,
         "No"},
        {"'C-GABC'", "'Zeta'", "'hr-42'", "'Ü1'", "#2026-12-07#", "0.3", "-1", "#2040-07-04#",
         "1000", 2, "Yes"},
        {"'C-GABC'", "'alpha'", "'ALPHA'", "'x'", "#2000-02-29#", "11249.5", "7", "#1999-12-31#",
         "0.5", 1, "Yes"},
        {"'ZZ9'", "'Alpha '", "''", "'é'", "#2020-01-31#", "1000000", "1480.25", "#2020-01-31#",
         "0.125", 1, "No"},
        {"'ZZ9'", "'%_*?'", "'0'", "'z'", "#1900-01-01#", "0", "0", "#1900-01-01#", "-0.5", 2,
         "Yes"},
        {"'XX'", "'Orphan'", "'-3'", "'Y'", "#2024-02-29#", "-1480.25", "0.125", "#2024-02-29#",
         "2.5", 1, "Yes"},
    };
    int item = 1;
    for (const P& p : parts) {
        out << QString(
                   "INSERT INTO Parts (RegNum, ItemNumber, MeterNumber, Active, Description, "
                   "PartNumber, [Serial#], DatePurchased, ReplaceCost, LifeNumber, LifeBasis, "
                   "InstallDate, InstallTimeLeft, Notes) VALUES (%1, %2, %3, %4, %5, %6, %7, "
                   "%8, %9, %10, %11, %12, %13, %14)")
                   .arg(p.reg)
                   .arg(item)
                   .arg(p.meter)
                   .arg(p.active, p.desc, p.pn, p.sn, p.bought, p.cost, p.life)
                   .arg(item % 3 == 0   ? "'MO'"
                        : item % 3 == 1 ? "'RT'"
                                        : "'rt '")
                   .arg(p.installed, p.left)
                   .arg(item == 2   ? "'" + memo + "'"
                        : item == 5 ? "Null"
                                    : "'note'");
        ++item;
    }
    // Oil: 0.3 added up many times, and readings around the edges. EngineHrs tells the
    // rows apart.
    for (int i = 0; i < 161; ++i)
        out << QString(
                   "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron, Copper, Silver, "
                   "EngineHrs) VALUES (%1, %2, %3, 0.3, %4, %5, %6)")
                   .arg(i % 4 == 0   ? "'N1'"
                        : i % 4 == 1 ? "'n1 '"
                        : i % 4 == 2 ? "'HR-42'"
                                     : "'ZZ9'")
                   .arg(i % 5 == 0   ? "'Engine'"
                        : i % 5 == 1 ? "'engine  '"
                                     : "'Gearbox é'")
                   .arg(i % 7 == 0   ? "Null"
                        : i % 7 == 1 ? "#1890-05-01#"
                        : i % 7 == 2 ? "#2033-03-03 08:15:00#"
                                     : QString("#2020-%1-%2#").arg(1 + i % 12).arg(1 + i % 28))
                   .arg(i % 9 == 0 ? "Null" : QString::number(i * 0.25 - 3))
                   .arg(i % 11 == 0   ? "1E+15"
                        : i % 11 == 1 ? "-2.5"
                                      : "0.125")
                   .arg(i + 1);
    return out;
}

}  // namespace velmora::testing
