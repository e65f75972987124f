#pragma once

#include "PrintRequest.h"

namespace velmora::reports {

// One run of a report: the selection formula ({Remaining.Aircraft.RegNum} = 'N1'), the
// report definition file, the data file ("TimeMgr.mdb", resolved against the report
// file's folder when it names no folder) and the company that prints it. It is the
// request the time remaining screen hands over, so a screen's runner can be one of the
// report functions as it stands.
using ReportJob = PrintRequest;

}  // namespace velmora::reports
