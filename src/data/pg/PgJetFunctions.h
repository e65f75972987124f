#pragma once

namespace velmora::data::pg {

// The statements that install the engine's schema "velmora_jet" on a database server: the
// Jet functions of translated SQL, the collation under which text sorts as Jet sorts it,
// and the Yes/No and Byte column types. They can run again on a database that has them.
const char* jetFunctionsSql();

}  // namespace velmora::data::pg
