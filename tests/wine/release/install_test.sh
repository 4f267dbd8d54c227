#!/bin/sh
# The installer under Wine: a silent install into a folder of the test's own,
# the installed programs starting from there, a silent upgrade that finds the
# same folder and keeps the user's files, and a silent uninstall that removes
# what was installed and leaves the user's files.
#   install_test.sh BIN_DIR SETUP.exe VERSION PROGRAM...
set -eu
BIN=$1 SETUP=$2 VERSION=$3
shift 3
PROGRAMS="$*"
. "$(dirname "$0")/../gui_session.sh"
gui_session_start "$BIN" 1280x800
WORK=$(mktemp -d)
trap 'gui_session_end; rm -rf "$WORK"' EXIT
fail() { GUI_FAILED=1; printf 'FAIL: %s\n' "$*" >&2; exit 1; }

KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon'
MENU="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quillon"
# No space: Wine quotes such an argument, and the installer takes /D= only unquoted.
INST="$WORK/Quillon설치"
WIN_INST=$(winepath -w "$INST" 2>/dev/null | tr -d '\r')
USER_FILES="Save/mine.dat ScreenShot/20250101-000000.bmp 매크로/편집 매크로/a.eqn1"

# reg writes in the console's code page, CP949 in a Korean Windows.
reg_query() { "$WINE" reg query "$@" 2>/dev/null | iconv -f CP949 -t UTF-8 | tr -d '\r'; }
reg_value() { reg_query "$KEY" /v "$1" | sed -n "s/^ *$1 *REG_[A-Z]* *//p"; }
installed_files() {
    for p in $PROGRAMS; do echo "$p.exe"; done
    echo Quillon.pdf; echo Data/qltext.bin; echo Data/qlconf.bin; echo Data/qlname.bin; echo uninstall.exe
}
check_installed() {
    installed_files | while read -r f; do [ -s "$INST/$f" ] || fail "$1: no $f"; done
    [ "$(reg_value DisplayVersion)" = "$VERSION" ] || fail "$1: DisplayVersion is '$(reg_value DisplayVersion)'"
    [ "$(reg_value InstallLocation)" = "$WIN_INST" ] || fail "$1: InstallLocation is '$(reg_value InstallLocation)'"
    [ "$(reg_value UninstallString)" = "\"$WIN_INST\\uninstall.exe\"" ] || fail "$1: UninstallString is '$(reg_value UninstallString)'"
    [ "$(reg_value DisplayName)" = Quillon ] || fail "$1: DisplayName"
    for link in "분석기 실행" "화면 찍기" "Quillon 설명서" "Quillon 제거" "PDF 리더 안내"; do
        [ -s "$MENU/$link.lnk" ] || fail "$1: no Start-menu entry $link"
    done
    case " $PROGRAMS " in *" control-panel "*)
        for ext in .eqn1 .cqn1 .rqn1 .aut; do
            reg_query "HKLM\\Software\\Classes\\$ext" | grep -q 'Quillon\.' ||
                fail "$1: $ext is not registered (reg query: $({ "$WINE" reg query "HKLM\\Software\\Classes\\$ext" 2>&1; echo "exit $?"; } | tr -d '\r'))"
        done
        reg_query 'HKLM\Software\Classes\Quillon.EditMacro\shell\open\command' |
            grep -qF "\"$WIN_INST\\control-panel.exe\" \"%1\"" || fail "$1: .eqn1 does not open in control-panel" ;;
    esac
}

# 1. A fresh, silent install into the test's folder.
"$WINE" "$SETUP" /S "/D=$WIN_INST" || fail "the installer failed ($?)"
check_installed install
echo "installed into $WIN_INST"

# 2. The installed programs start from there (demo machine).
QUILLON_MACHINE=sim wine_bg "$INST/analyzer-runner.exe" "$QUILLON_ROOT/tests/golden/typical.dat"
MAIN=$(drive wait-window --class '#32770' --child-text "인식점 이미지" --timeout 30000) ||
    fail "the installed analyzer-runner did not start"
drive click "$MAIN" 1224
wait_exit "$BG_PID"
[ "$EXIT_CODE" = 0 ] || fail "analyzer-runner exit code $EXIT_CODE"
wine_bg "$INST/manual-launcher.exe"
DIALOG=$(drive wait-window --class '#32770' --child-text '설치' --timeout 30000) ||
    fail "the installed manual-launcher did not start"
drive click "$DIALOG" 2
wait_exit "$BG_PID"
[ "$EXIT_CODE" = 0 ] || fail "manual-launcher exit code $EXIT_CODE"

# 3. The user's work, then an upgrade without a folder given: it finds the
#    installed one and leaves the work alone.
for f in $USER_FILES; do
    mkdir -p "$INST/$(dirname "$f")"
    echo "the user's $f" > "$INST/$f"
done
rm "$INST/analyzer-runner.exe"
"$WINE" "$SETUP" /S || fail "the upgrade failed ($?)"
check_installed upgrade
for f in $USER_FILES; do
    [ "$(cat "$INST/$f")" = "the user's $f" ] || fail "the upgrade changed $f"
done
[ ! -e "$WINEPREFIX/drive_c/TessalyAuto" ] || fail "the upgrade went to the default folder"

# 4. A silent uninstall. The uninstaller copies itself away and returns at
#    once: wait for it to finish.
"$WINE" "$INST/uninstall.exe" /S || fail "the uninstaller failed ($?)"
i=0
while [ -e "$INST/uninstall.exe" ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
wineserver -w
installed_files | while read -r f; do [ ! -e "$INST/$f" ] || fail "uninstall left $f"; done
[ ! -e "$INST/Data" ] || fail "uninstall left the Data folder"
for f in $USER_FILES; do
    [ "$(cat "$INST/$f")" = "the user's $f" ] || fail "uninstall removed or changed $f"
done
"$WINE" reg query "$KEY" >/dev/null 2>&1 && fail "the uninstall key is still there"
[ ! -e "$MENU" ] || fail "the Start-menu folder is still there"
"$WINE" reg query 'HKLM\Software\Classes\.eqn1' >/dev/null 2>&1 && fail ".eqn1 is still registered"
echo ok
