#pragma once

namespace velmora::data::pg {

// The statements that install, on the server, Jet's Currency conversion (jet_ccur) and the
// aggregates First and Last (jet_first, jet_last): the value of the first or last row of a
// group in the order the server reads the rows, Null included; and the aggregate jet_spelling,
// the spelling a group of texts alike shows (the least by code points). Part of jetFunctionsSql(),
// after jet_num and jet_fail.
const char* jetGroupFunctionsSql();

}  // namespace velmora::data::pg
