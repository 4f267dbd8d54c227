#!/bin/sh
# Every program's embedded manifest (its RT_MANIFEST resource, read back from
# the .exe) declares per-monitor v2 DPI awareness with the fallbacks, common
# controls 6 and the supported Windows versions; its version information
# carries the project's version.
#   program_resources_test.sh BIN_DIR VERSION PROGRAM...
set -eu
BIN=$1 VERSION=$2
shift 2
fail() { echo "FAIL: $*" >&2; exit 1; }
[ $# -ge 3 ] || fail "only $# programs named"
for program in "$@"; do
    exe="$BIN/$program.exe"
    [ -f "$exe" ] || fail "no $exe"
    manifest=$(7z x -so "$exe" .rsrc/MANIFEST/1 2>/dev/null | tr -d '\r') || true
    [ -n "$manifest" ] || fail "$program: no manifest resource"
    for needed in '<dpiAwareness xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">PerMonitorV2, PerMonitor</dpiAwareness>' \
        '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true/pm</dpiAware>' \
        'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
        '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
        '<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>' \
        "version=\"$VERSION.0\""; do
        printf '%s\n' "$manifest" | grep -qF -- "$needed" || fail "$program: manifest without $needed"
    done
    # The manifest is well-formed XML, or Windows refuses to start the program.
    printf '%s' "$manifest" | /usr/bin/python3 -c 'import sys, xml.dom.minidom; xml.dom.minidom.parseString(sys.stdin.buffer.read())' ||
        fail "$program: manifest is not well-formed"

    info=$(7z x -so "$exe" .rsrc/version.txt 2>/dev/null | iconv -f UTF-16LE -t UTF-8 | tr -d '\r' | tr -s ' ') || true
    [ -n "$info" ] || fail "$program: no version information"
    major=${VERSION%%.*} rest=${VERSION#*.}
    minor=${rest%%.*} patch=${rest#*.}
    for needed in "FILEVERSION $major,$minor,$patch,0" "PRODUCTVERSION $major,$minor,$patch,0" \
        "\"FileVersion\", \"$VERSION\"" "\"ProductVersion\", \"$VERSION\"" "\"ProductName\", \"Quillon\"" \
        "\"OriginalFilename\", \"$program.exe\"" "\"FileDescription\", \"Quillon "; do
        printf '%s\n' "$info" | grep -qF -- "$needed" || { printf '%s\n' "$info"; fail "$program: version without $needed"; }
    done
    echo "$program: manifest and version $VERSION"
done
echo ok
