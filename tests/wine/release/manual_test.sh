#!/bin/sh
# The manual PDF: it has pages, its text is Korean and covers every chapter,
# it names the version, and it carries the pictures of the programs.
#   manual_test.sh Quillon.pdf VERSION
set -eu
export LC_ALL=C.UTF-8
PDF=$1 VERSION=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -s "$PDF" ] || fail "no manual at $PDF"

PAGES=$(pdfinfo "$PDF" | sed -n 's/^Pages: *//p')
echo "pages: $PAGES"
[ "$PAGES" -ge 8 ] || fail "only $PAGES pages"

TEXT=$(pdftotext -enc UTF-8 "$PDF" -)
for heading in "버전 $VERSION" "차례" "기계와 Quillon" "다섯 프로그램" "첫 분석기 만들기" "분석기 실행" \
    "매크로 편집과 저장" "단축키와 옵션" "기계 없이 해 보기" "문제 해결" "기계를 찾을 수 없습니다" \
    "시리얼(COM) 포트" "한 번에 하나만" "C:\\TessalyAuto\\TessalyMacro Quillon"; do
    printf '%s\n' "$TEXT" | grep -qF -- "$heading" || fail "no \"$heading\" in the text"
done
# Korean text, not boxes or missing glyphs: count Hangul syllables.
HANGUL=$(printf '%s' "$TEXT" | /usr/bin/python3 -c 'import re, sys; print(len(re.findall("[\uac00-\ud7a3]", sys.stdin.read())))')
echo "hangul syllables: $HANGUL"
[ "$HANGUL" -ge 2000 ] || fail "only $HANGUL Hangul syllables"
# The fonts are embedded, so the text shows on a machine without them.
pdffonts "$PDF" | grep -qE '(Nanum|나눔).* yes ' || fail "the Nanum font is not embedded"

# The runner's two windows, shot-taker and manual-launcher.
IMAGES=$(pdfimages -list "$PDF" | tail -n +3 | wc -l)
echo "pictures: $IMAGES"
[ "$IMAGES" -ge 4 ] || fail "only $IMAGES pictures: were the screenshots taken?"
echo ok
