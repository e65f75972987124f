#pragma once

namespace velmora::data::pg {

// The statements that install the engine's schema "velmora_jet" on a database server: the
// Jet functions of translated SQL, the collation under which text sorts as Jet sorts it,
// and the Yes/No and Byte column types. They can run again on a database that has them.
// The statements end by marking the schema with kJetFunctionsRevision: a data set whose mark
// differs has the functions of an older program, which are installed afresh when it is opened.
const char* jetFunctionsSql();

// The revision of the functions jetFunctionsSql installs, kept as the schema's comment.
inline constexpr char kJetFunctionsRevision[] = "velmora_jet functions 12";

}  // namespace velmora::data::pg
