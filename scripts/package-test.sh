#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree and checks it: its file name
# and control fields, its file list, its desktop entry, metadata, icons and manual pages, and
# that the programs it carries run. Where this runs as root and dpkg is there, it installs the
# package with dpkg -i, runs the installed programs from /usr/bin, and removes the package
# again, leaving the machine as it was.
#
#   scripts/package-test.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
export LC_ALL=C

checks=0
pass() { checks=$((checks + 1)); }
fail() {
    echo "package-test: FAILED: $*" >&2
    exit 1
}
note() { echo "package-test: $*"; }

[ -f "$build/CMakeCache.txt" ] || fail "$build is not a configured build"
command -v dpkg-deb >/dev/null || fail "dpkg-deb is needed to read the package (Debian's dpkg)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"

tmp=$(mktemp -d)
installed=0
program_pid=
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    fi
    if [ "$installed" = 1 ]; then
        note "removing the package after a failure"
        dpkg -r velmora >/dev/null 2>&1 || dpkg --purge --force-all velmora >/dev/null 2>&1 || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

# --- The package file ---------------------------------------------------------------------
rm -f "$build"/velmora_*.deb
if ! cmake --build "$build" --target package >"$tmp/package.log" 2>&1; then
    tail -40 "$tmp/package.log" >&2
    fail "cmake --build $build --target package failed"
fi
deb="$build/velmora_${version}_${arch}.deb"
[ -f "$deb" ] || fail "expected the package $deb; the build made: $(ls "$build"/*.deb 2>/dev/null)"
pass

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = velmora ] || fail "Package is '$(field Package)', not velmora"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)', not $arch"
[ -n "$(field Maintainer)" ] || fail "the package names no Maintainer"
[ -n "$(field Description)" ] || fail "the package has no Description"
pass
# dpkg-shlibdeps found the shared libraries the programs link to.
depends=$(field Depends)
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 \
    libqt6printsupport6 libqt6charts6 libsqlite3-0; do
    printf '%s\n' "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$lib" ||
        fail "Depends lacks $lib: $depends"
done
pass

# --- The file list --------------------------------------------------------------------------
dpkg-deb --contents "$deb" >"$tmp/contents"
awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' "$tmp/contents" | sort >"$tmp/files"
awk '$2 != "root/root" { print }' "$tmp/contents" >"$tmp/not-root"
[ ! -s "$tmp/not-root" ] || fail "files not owned by root: $(cat "$tmp/not-root")"

id=org.velmora.Velmora
icon_sizes="16 22 24 32 48 64 128 256"
required="/usr/share/applications/$id.desktop
/usr/share/metainfo/$id.metainfo.xml
/usr/share/icons/hicolor/scalable/apps/$id.svg"
for size in $icon_sizes; do
    required="$required
/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
for program in velmora velmora-sql velmora-report velmora-demo velmora-import velmora-due velmora-backup velmora-journal velmora-migrate velmora-server velmora-ad velmora-component; do
    required="$required
/usr/bin/$program
/usr/share/man/man1/$program.1.gz"
done
# The program that reads Jet files for velmora and velmora-import, which start it themselves.
reader=/usr/libexec/velmora/velmora-jet-reader
required="$required
$reader"
while IFS= read -r file; do
    grep -qx "$file" "$tmp/files" || fail "the package lacks $file"
done <<<"$required"
# The loadable SQLite extension (the collation JETTEXT and the Jet functions for other
# tools), in the folder of the machine's architecture.
extension=$(grep -x '/usr/lib/[a-z0-9_]*-linux-[a-z0-9_]*/velmora/velmora\.so' "$tmp/files" || true)
[ -n "$extension" ] || fail "the package lacks the SQLite extension /usr/lib/<triplet>/velmora/velmora.so"
# The command-line programs that open a data set are launchers: each loads its program from a
# module of its name beside the extension.
modules=${extension%/velmora.so}
for program in velmora-sql velmora-report velmora-due velmora-ad velmora-component; do
    grep -qx "$modules/$program.so" "$tmp/files" || fail "the package lacks $modules/$program.so"
done
pass

# Every program has its manual page, every page its program, and nothing else is there
# (no tests, benchmarks, libraries or headers from the build tree).
programs=$(sed -n 's|^/usr/bin/||p' "$tmp/files" | sort)
pages=$(sed -n 's|^/usr/share/man/man1/\(.*\)\.1\.gz$|\1|p' "$tmp/files" | sort)
[ "$programs" = "$pages" ] || fail "programs and manual pages differ: programs: $programs; pages: $pages"
while IFS= read -r file; do
    case "$file" in
    /usr/bin/velmora | /usr/bin/velmora-[a-z]*) ;;
    "$reader" | "$extension" | "$modules"/velmora-[a-z]*.so) ;;
    /usr/share/man/man1/velmora*.1.gz) ;;
    /usr/share/applications/$id.desktop | /usr/share/metainfo/$id.metainfo.xml) ;;
    /usr/share/icons/hicolor/*/apps/$id.png | /usr/share/icons/hicolor/scalable/apps/$id.svg) ;;
    /usr/share/doc/velmora/*) ;;
    *) fail "the package holds a file it should not: $file" ;;
    esac
done <"$tmp/files"
grep '^-' "$tmp/contents" | awk '$6 ~ /^\.\/usr\/(bin|libexec)\// && $1 != "-rwxr-xr-x" { print }' >"$tmp/modes"
[ ! -s "$tmp/modes" ] || fail "programs without mode 755: $(cat "$tmp/modes")"
pass
note "$(wc -l <"$tmp/files") files, as they should be: $(echo $programs)"

# --- What the files hold -----------------------------------------------------------------------
root="$tmp/root"
dpkg-deb --extract "$deb" "$root"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/$id.desktop" ||
        fail "the desktop entry does not validate"
    pass
else
    note "desktop-file-validate not found: the desktop entry was not validated"
fi
grep -qx "Exec=velmora" "$root/usr/share/applications/$id.desktop" || fail "the desktop entry does not start velmora"
grep -qx "Icon=$id" "$root/usr/share/applications/$id.desktop" || fail "the desktop entry names another icon"

metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >"$tmp/appstream.log" 2>&1 ||
        { cat "$tmp/appstream.log" >&2; fail "the AppStream metadata does not validate"; }
    pass
else
    note "appstreamcli not found: the AppStream metadata was not validated"
fi
grep -q "<id>$id</id>" "$metainfo" || fail "the metadata's id is not $id"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metadata has no release $version"
pass

# A PNG's width and height are the two 32-bit numbers after its IHDR tag.
for size in $icon_sizes; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is no PNG"
    read -r w h < <(od -An -j16 -N8 -tu1 "$png" | awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
    [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "the ${size}x${size} icon is ${w}x${h}"
done
pass

for program in $programs; do
    page="$root/usr/share/man/man1/$program.1.gz"
    head=$(gzip -dc "$page" | grep -m1 '^\.TH') || fail "$page is not a gzipped manual page"
    upper=$(printf '%s' "$program" | tr 'a-z' 'A-Z')
    [[ "$head" == ".TH $upper 1 "* ]] || fail "$page is not the section 1 page of $program: $head"
    if command -v groff >/dev/null; then
        warnings=$(gzip -dc "$page" | groff -man -ww -z -Tutf8 2>&1)
        [ -z "$warnings" ] || fail "groff warns about $program.1: $warnings"
    fi
done
pass

# The packed extension loads into the sqlite3 program and compares text as Jet does.
if command -v sqlite3 >/dev/null; then
    out=$(sqlite3 :memory: ".load ${root}${extension%.so}" \
        "SELECT 'N1' = 'n1  ' COLLATE JETTEXT, IIf(1, 'yes', 'no')") ||
        fail "sqlite3 could not load the packed extension ${extension}"
    [ "$out" = "1|yes" ] || fail "the packed extension compares or works out otherwise: '$out'"
    pass
else
    note "sqlite3 not found: the packed SQLite extension was not loaded"
fi

# The packed programs run, and say the version of the package.
for program in $programs; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/$program" --version) ||
        fail "$program --version from the package failed"
    [ "$out" = "$program (Velmora) $version" ] || fail "$program --version says '$out'"
done
pass

# --- Installed with dpkg --------------------------------------------------------------------
if [ "$(id -u)" -ne 0 ]; then
    note "$checks checks passed; installing skipped: dpkg -i needs root (run as root to test the installed package)"
    exit 0
fi
if ! command -v dpkg >/dev/null; then
    note "$checks checks passed; installing skipped: dpkg is not on this machine"
    exit 0
fi
status=$(dpkg-query --show --showformat='${Status}' velmora 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != "unknown ok not-installed" ]; then
    note "$checks checks passed; installing skipped: this machine has a velmora package already ($status), which is left alone"
    exit 0
fi
while IFS= read -r file; do
    if [ -e "$file" ] || [ -L "$file" ]; then
        note "$checks checks passed; installing skipped: $file is already on this machine and installing would replace it"
        exit 0
    fi
done <"$tmp/files"

installed=1
if ! dpkg --install "$deb" >"$tmp/dpkg.log" 2>&1; then
    cat "$tmp/dpkg.log" >&2
    if grep -q "dependency problems" "$tmp/dpkg.log"; then
        fail "dpkg -i could not configure the package: this machine lacks libraries it depends on (listed above); apt-get install -f would bring them"
    fi
    fail "dpkg -i $deb failed"
fi
[ "$(dpkg-query --show --showformat='${Status}' velmora)" = "install ok installed" ] ||
    fail "dpkg does not list velmora as installed"
pass

for program in $programs; do
    [ -x "/usr/bin/$program" ] || fail "/usr/bin/$program is not there after dpkg -i"
done
out=$(/usr/bin/velmora-sql --version) || fail "/usr/bin/velmora-sql --version failed"
[ "$out" = "velmora-sql (Velmora) $version" ] || fail "/usr/bin/velmora-sql --version says '$out'"
out=$(QT_QPA_PLATFORM=offscreen /usr/bin/velmora --version) || fail "/usr/bin/velmora --version failed"
[ "$out" = "velmora (Velmora) $version" ] || fail "/usr/bin/velmora --version says '$out'"
out=$(/usr/bin/velmora-report --help) || fail "/usr/bin/velmora-report --help failed"
[[ "$out" == "Usage: velmora-report "* ]] || fail "/usr/bin/velmora-report --help says '$out'"
pass

# The installed tools find all they need: the demo fleet, a query, and a report from it.
/usr/bin/velmora-demo "$tmp/fleet" >/dev/null || fail "/usr/bin/velmora-demo could not make a demo fleet"
reg=$(/usr/bin/velmora-sql "$tmp/fleet/Timemgr.mdb" "select RegNum from Aircraft order by RegNum" |
    sed -n '2p' | tr -d '\r')
[ -n "$reg" ] || fail "/usr/bin/velmora-sql found no aircraft in the demo fleet"
/usr/bin/velmora-report --data "$tmp/fleet" --reg "$reg" --pdf "$tmp/report.pdf" >"$tmp/report.log" 2>&1 ||
    { cat "$tmp/report.log" >&2; fail "/usr/bin/velmora-report could not print the report of $reg"; }
[ "$(head -c 5 "$tmp/report.pdf")" = "%PDF-" ] || fail "/usr/bin/velmora-report wrote no PDF"
/usr/bin/velmora-due --data "$tmp/fleet" --within-days 365 >"$tmp/due.csv" 2>"$tmp/due.log" ||
    { cat "$tmp/due.log" >&2; fail "/usr/bin/velmora-due could not list the demo fleet"; }
head -1 "$tmp/due.csv" | grep -q '^Registration,Item #,' ||
    fail "/usr/bin/velmora-due wrote no due list: $(head -c 200 "$tmp/due.csv")"
[ "$(wc -l <"$tmp/due.csv")" -gt 1 ] || fail "/usr/bin/velmora-due listed nothing due in a year"
pass

# The installed extension lets the sqlite3 program compare the demo fleet's text.
if command -v sqlite3 >/dev/null; then
    found=$(sqlite3 "$tmp/fleet/Timemgr.mdb" ".load ${extension%.so}" \
        "SELECT count(*) FROM Aircraft WHERE RegNum = lower('$reg') || ' '") ||
        fail "sqlite3 could not load the installed extension $extension"
    [ "$found" = 1 ] || fail "sqlite3 with the installed extension found $found aircraft $reg"
    pass
fi

# The installed velmora-import finds its reader of Jet files.
fixtures=$(sed -n 's/^VELMORA_JET_FIXTURES:PATH=//p' "$build/CMakeCache.txt")
if [ -f "$fixtures/DateTestDatabase.mdb" ]; then
    rc=0
    /usr/bin/velmora-import "$fixtures/DateTestDatabase.mdb" "$tmp/converted.mdb" >"$tmp/import.log" 2>&1 || rc=$?
    [ "$rc" = 0 ] || [ "$rc" = 3 ] ||
        { cat "$tmp/import.log" >&2; fail "/usr/bin/velmora-import could not convert a Jet file (exit status $rc)"; }
    pass
else
    note "the Jet test files are not in '$fixtures': the installed velmora-import was not tried"
fi

# The installed program keeps its settings and data in the user's data folder, never in
# /usr/bin, even for root, who could write there.
home="$tmp/home"
mkdir -p "$home" "$tmp/run"
chmod 700 "$tmp/run"
HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$tmp/run" TMPDIR="$tmp" \
    QT_QPA_PLATFORM=offscreen /usr/bin/velmora >"$tmp/velmora.log" 2>&1 &
program_pid=$!
settings="$home/.local/share/Velmora/SetupPP.mdb"
for _ in $(seq 1 300); do
    [ -f "$settings" ] && [ -f "$home/.local/share/Velmora/Data/Timemgr.mdb" ] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
[ -f "$settings" ] || { cat "$tmp/velmora.log" >&2; fail "the installed velmora made no $settings"; }
# The report definitions come from inside the program, so they are there too.
for made in Data/Timemgr.mdb Data/HeliPart.mdb Data/1.rpt Data/2.rpt; do
    [ -s "$home/.local/share/Velmora/$made" ] || fail "the installed velmora's first start made no $made"
done
kill "$program_pid" 2>/dev/null || true
wait "$program_pid" 2>/dev/null || true
program_pid=
for stray in /usr/bin/SetupPP.mdb /usr/bin/Data; do
    [ ! -e "$stray" ] || fail "the installed velmora wrote $stray"
done
pass

installed=0
dpkg --remove velmora >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log" >&2; fail "dpkg -r velmora failed"; }
status=$(dpkg-query --show --showformat='${Status}' velmora 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != "unknown ok not-installed" ]; then
    dpkg --purge velmora >/dev/null 2>&1 || true
    fail "dpkg -r left velmora as '$status'"
fi
while IFS= read -r file; do
    [ ! -e "$file" ] || fail "$file is still there after dpkg -r"
done <"$tmp/files"
pass
note "$checks checks passed; the package installed with dpkg -i, its programs ran from /usr/bin, and dpkg -r removed it"
