#!/usr/bin/env bash
# Builds Velmora and starts it. Installs what it needs first.
#
# The main menu is not built yet: until it is, this makes a demo data folder
# (demo-data/, once) and shows the remaining life of its first aircraft with the
# command-line tools.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs" --target velmora-sql velmora-demo

if [ ! -e demo-data/Timemgr.mdb ]; then
    ./build/bin/velmora-demo demo-data
fi
first=$(./build/bin/velmora-sql demo-data/Timemgr.mdb "select [RegNum] from [Aircraft] Order by [RegNum]" | sed -n 2p | tr -d '\r')
echo "Aircraft in demo-data/Timemgr.mdb:"
./build/bin/velmora-sql demo-data/Timemgr.mdb "select [RegNum],[Make],[Model],[TotalTime],[TotalTime2] from [Aircraft] Order by [RegNum]"
echo
echo "Remaining life of the installed components of $first (both meters):"
./build/bin/velmora-sql demo-data/Timemgr.mdb \
    "SELECT Parts.ItemNumber, Parts.Description, Parts.LifeBasis, Parts.MeterNumber, IIf(Parts.LifeBasis In ('RT','OH','IN'), IIf(Parts.MeterNumber=1, [LifeNumber]-[InstallTimeLeft]-([TotalTime]-[InstallACHour]), [LifeNumber]-[InstallTimeLeft]-([TotalTime2]-[InstallACHour])), IIf(Parts.LifeBasis='LD', [LifeNumber]-[InstallTimeLeft]-([TotalLandings]-[InstallACHour]), IIf(Parts.LifeBasis='CY', [LifeNumber]-[InstallTimeLeft]-([TotalCycles]-[InstallACHour]), IIf(Parts.LifeBasis='RN', [LifeNumber]-[InstallTimeLeft]-([TotalRIN]-[InstallACHour]), Format(DateAdd('m',[LifeNumber],[InstallDate]),'mm/dd/yy'))))) AS Remaining FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = Parts.RegNum WHERE Parts.Active = Yes AND Parts.RegNum = '$first' ORDER BY [ItemNumber]"
