#pragma once

namespace velmora::data::pg {

// The statements that install Format on the server: the named formats, date pictures and
// number pictures of up to four sections, each written as the engine writes them on the
// files. "Short Date" and "General Date" follow the program's date display, which each
// session sets in velmora.date_display. Part of jetFunctionsSql(), after the base
// functions.
const char* jetFormatSql();

}  // namespace velmora::data::pg
