#pragma once

// The values of a row as mdbtools hands its fields over, read from the file's bytes: each
// type's own form, the long values (memo, OLE object) kept elsewhere in the file, and the
// stored results of calculated fields. A value whose bytes are damaged is Unreadable and
// says why.

#include "JetType.h"
#include "SourceValue.h"

#include <mdbtools.h>

namespace velmora::legacy {

class Jet3Text;

// A field of the column's type (and scale, for a Decimal); jet3 is a Jet 3 file's code page,
// null for later files.
SourceValue decodeField(MdbHandle* mdb, const Jet3Text* jet3, const MdbField& f, JetType type,
                        int scale);
// The stored result of a calculated field, of the result's type.
SourceValue decodeCalculated(MdbHandle* mdb, const MdbField& f, JetType type);

}  // namespace velmora::legacy
