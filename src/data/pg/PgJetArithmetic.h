#pragma once

namespace velmora::data::pg {

// The statements that install Jet's runtime errors and arithmetic on the server: jet_fail,
// which raises Invalid procedure call (5), Overflow (6), Division by zero (11) or a type
// mismatch with the engine's own error codes; jet_num, a text read as a number for
// arithmetic; and the functions of "+", "-", "/", "\", Mod and "^". Part of
// jetFunctionsSql(): jet_fail comes first, the others after the base functions.
const char* jetFailSql();
const char* jetArithmeticSql();

// The SQLSTATE codes jet_fail raises for Jet's runtime errors 5, 6 and 11.
inline constexpr char kPgInvalidProcedureCall[] = "VJ005";
inline constexpr char kPgOverflow[] = "VJ006";
inline constexpr char kPgDivisionByZero[] = "VJ011";

}  // namespace velmora::data::pg
