#!/bin/sh
# What the installer and the portable zip carry: every program, the three
# start-up data files, the manual, and nothing of the tests.
#   contents_test.sh SETUP.exe PORTABLE.zip VERSION PROGRAM...
set -eu
SETUP=$1 ZIP=$2 VERSION=$3
shift 3
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -s "$SETUP" ] || fail "no installer at $SETUP"
[ -s "$ZIP" ] || fail "no zip at $ZIP"

# 7z reads NSIS installers: the files as they land in the install folder.
LISTING=$(7z l -ba -slt "$SETUP" | sed -n 's/^Path = //p' | tr '\\' '/')
echo "$LISTING"
for f in "$@"; do
    echo "$LISTING" | grep -qx "$f.exe" || fail "installer without $f.exe"
done
for f in Quillon.pdf Data/qltext.bin Data/qlconf.bin Data/qlname.bin; do
    echo "$LISTING" | grep -qx "$f" || fail "installer without $f"
done
echo "$LISTING" | grep -qiE 'test|gui-driver|click-target|probe|check' && fail "the installer carries test programs"

# The installer's own version information.
strings -el "$SETUP" | grep -qx "$VERSION" || fail "installer without version $VERSION"

ZIP_LISTING=$(7z l -ba -slt "$ZIP" | sed -n 's/^Path = //p' | tr '\\' '/')
echo "$ZIP_LISTING"
FOLDER=Quillon-$VERSION
for f in "$@"; do
    echo "$ZIP_LISTING" | grep -qx "$FOLDER/$f.exe" || fail "zip without $f.exe"
done
for f in Quillon.pdf Data/qltext.bin Data/qlconf.bin Data/qlname.bin; do
    echo "$ZIP_LISTING" | grep -qx "$FOLDER/$f" || fail "zip without $f"
done
COUNT=$(echo "$ZIP_LISTING" | grep -c '\.exe$')
[ "$COUNT" -eq $# ] || fail "zip carries $COUNT programs, expected $#"
echo ok
