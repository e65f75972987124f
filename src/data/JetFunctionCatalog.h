#pragma once

#include <QStringView>

namespace velmora::data {

// What a function of the Jet dialect gives: the translator compares numbers as numbers and
// everything else as text (letter case and trailing blanks ignored).
enum class JetResultKind { Unknown, Number, Text };

// A function the engine provides under its Jet name. The translated SQL calls it as
// "jet_" + name; each back end registers the implementation under that name.
struct JetFunctionInfo {
    const char* name;  // lower case, as the translator looks it up
    int minArgs;
    int maxArgs;
    JetResultKind kind;
};

// The engine's Jet functions, letter case of the name ignored; null when the name is none.
const JetFunctionInfo* findJetFunction(QStringView name);

// Every function of the catalog, for the back ends that register them.
const JetFunctionInfo* jetFunctionsBegin();
const JetFunctionInfo* jetFunctionsEnd();

// Functions the translated SQL uses for Jet operators: "&" (any number of arguments), "+",
// "-", "*", "/", "\", Mod, "^", Like, Xor, Eqv and Imp.
inline constexpr char kJetConcat[] = "jet_cat";
inline constexpr char kJetAdd[] = "jet_add";
inline constexpr char kJetSubtract[] = "jet_sub";
inline constexpr char kJetMultiply[] = "jet_mul";
inline constexpr char kJetDivide[] = "jet_div";
// On SQLite, a chain of "+" and "-" or of "*" and "/" in one call: the first operand, then
// each operator's code (1 "+", 2 "-", 3 "*", 4 "/") and its operand, worked out left to right.
inline constexpr char kJetArithmetic[] = "jet_arith";
inline constexpr char kJetIntDivide[] = "jet_idiv";
inline constexpr char kJetModulo[] = "jet_mod";
inline constexpr char kJetPower[] = "jet_pow";
inline constexpr char kJetLike[] = "jet_like";
inline constexpr char kJetXor[] = "jet_xor";
inline constexpr char kJetEqv[] = "jet_eqv";
inline constexpr char kJetImp[] = "jet_imp";

// Jet's aggregates First and Last: the value of the first or last row of a group, in the
// order the rows are read. Count, Sum, Avg, Min and Max keep the database's own names.
inline constexpr char kJetFirst[] = "jet_first";
inline constexpr char kJetLast[] = "jet_last";

// The collation under which text compares as Jet compares it: without regard to letter
// case or to trailing blanks. Text columns of new files are declared with it, and the
// translator applies it to every comparison of text.
inline constexpr char kJetTextCollation[] = "JETTEXT";

}  // namespace velmora::data
