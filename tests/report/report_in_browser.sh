#!/bin/sh
# quillon analyzer report, checked in a real browser: a trace written by hand
# over two screenshots (a 24-bit one shown as it is, a 32-bit one scaled down)
# and one that is missing, with conditions that looked somewhere and some
# that did not. Headless Chromium loads the page; its DOM must hold one box per
# condition with a position, the pictures only as data: addresses (each
# screenshot once), decodable PNGs of the right size and colours (the unscaled
# one equal to its screenshot), the missing
# screenshot named in its row, text from the trace shown as text, and the item
# filter applied from the address.
# A trace that is not a version-1 run trace is refused with no page written.
#   report_in_browser.sh QUILLON WORK_DIR
set -eu
QUILLON=$1
WORK=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

BROWSER=$(command -v chromium || command -v chromium-browser || true)
[ -n "$BROWSER" ] || fail "chromium is not installed (scripts/bootstrap installs it)"
command -v convert >/dev/null || fail "ImageMagick's convert is not installed (scripts/bootstrap installs it)"

rm -rf "$WORK"
mkdir -p "$WORK/shots" "$WORK/home"
cd "$WORK"

# A noisy screen (every kind of repetition for the PNG's compression) with a red
# 24 x 24 square at (100, 60); a 32-bit white screen, 640 x 480, with a blue
# block at its top left.
convert -seed 7 -size 200x150 plasma:fractal -fill '#ff0000' -draw 'rectangle 100,60 123,83' -type truecolor BMP3:shots/a.bmp
convert -size 640x480 xc:white -fill '#0000ff' -draw 'rectangle 0,0 159,119' -alpha on -type TrueColorAlpha \
    BMP:shots/b.bmp

cat > trace.jsonl <<'TRACE'
{"trace":"quillon-run","version":1,"analyzer":"시험.dat","screens":"shots","screen_width":200,"screen_height":150}
{"t_ms":0,"screen":"a.bmp","item":"찾기","position":0,"held":true,"conditions":[{"kind":"range-search","held":true,"code":0,"x":112,"y":72,"box":[100,60,24,24],"area":[0,0,200,150],"similarity":100}],"actions":["move 112 72","click left"],"next":"찾기"}
{"t_ms":1000,"screen":"b.bmp","item":"찾기","position":0,"held":false,"conditions":[{"kind":"range-search","held":false,"code":3,"x":30,"y":40,"box":[18,28,24,24],"area":[0,0,640,480],"similarity":41}],"actions":[],"next":"대기"}
{"t_ms":1010,"screen":"b.bmp","item":"대기","position":1,"held":true,"conditions":[{"kind":"timer","held":true,"code":0},{"kind":"image","held":true,"code":0,"x":10,"y":10,"box":[0,0,20,20],"similarity":97},{"kind":"image","held":true,"code":0,"x":5,"y":300,"box":[5,300,1,1],"similarity":100}],"actions":["key A"],"next":"\ucc3e\uae30"}
{"t_ms":2000,"screen":"gone.bmp","item":"\ucc3e\uae30","position":0,"held":false,"conditions":[{"kind":"image","held":false,"code":2,"x":50,"y":50,"box":[40,40,20,20],"similarity":12}],"actions":[],"next":"찾기"}
{"t_ms":"<i>3000</i>","screen":null,"item":"대기","position":1,"held":false,"conditions":[{"kind":"image","held":false,"code":1,"x":20,"y":20,"box":[10,10,20,20],"similarity":55},{"kind":"<i>odd</i>","held":false}],"actions":["<i>key</i>"],"next":"<i>찾기</i>"}
{"t_ms":
{"truncated":true,"t_ms":4000}
TRACE
positioned=$(grep -o '"x":' trace.jsonl | wc -l)

"$QUILLON" analyzer report trace.jsonl --screens shots -o report.html || fail "the report was not written"

# One load (the browser's start is most of the test's time): the DOM after the
# page's own script ran, with the item filter preset from the address to 대기.
HOME="$WORK/home" timeout 90 "$BROWSER" --headless --no-sandbox --disable-gpu --disable-dev-shm-usage --no-first-run \
    --user-data-dir="$WORK/home/profile" --dump-dom "file://$WORK/report.html#item=%EB%8C%80%EA%B8%B0" \
    >dom.html 2>chromium.log || { cat chromium.log >&2; fail "chromium could not load the page"; }
[ -s dom.html ] || { cat chromium.log >&2; fail "chromium gave no DOM"; }

boxes=$(grep -o 'class="box [a-z-]*"' dom.html | wc -l)
[ "$boxes" -eq "$positioned" ] || fail "$boxes boxes in the page, $positioned conditions with a position in the trace"
[ "$(grep -o 'class="box held"' dom.html | wc -l)" -eq 3 ] || fail "not 3 boxes of held conditions"
[ "$(grep -o 'class="area"' dom.html | wc -l)" -eq 2 ] || fail "not 2 range-search areas"
[ "$(grep -o 'data:image/png;base64,' dom.html | wc -l)" -eq 2 ] || fail "each readable screenshot must be embedded once"
if grep -Eq 'https?:|file:|src=' dom.html; then fail "the page refers to something outside itself"; fi
grep -q 'gone.bmp<br>파일 없음' dom.html || fail "the missing screenshot's row does not say so"
grep -q '200 x 150<br>실제 화면' dom.html || fail "a line of a real run has no empty frame of the screen's size"
grep -q '<h1>분석기 실행 기록</h1>' dom.html || fail "the page's heading is not there (or not UTF-8)"
grep -q '번째 줄: 읽을 수 없는 줄' dom.html || fail "the damaged line is not shown"
grep -q '크기 한도에서 멈췄습니다' dom.html || fail "the cut-short trace is not said"
# The filter offers each item once ("\ucc3e\uae30" is 찾기), and held / not held.
[ "$(grep -o '<option' dom.html | wc -l)" -eq 6 ] || fail "the filters do not offer (전체), 찾기, 대기 and the results"
if grep -q '<i>' dom.html; then fail "text from the trace was taken as markup"; fi
grep -q '&lt;i&gt;odd&lt;/i&gt;' dom.html || fail "an unknown condition kind is not shown as text"

# The pictures decode, at the scaled size, with the screenshots' colours.
n=0
for expect in "200x150 112,72 FF0000" "480x360 60,45 0000FF"; do
    n=$((n + 1))
    sed -n "s/.*\.s$((n - 1)){background-image:url(data:image\/png;base64,\([^)]*\)).*/\1/p" dom.html | base64 -d > s$n.png
    set -- $expect
    size=$(identify -format '%wx%h' s$n.png) || fail "picture $n is not a readable PNG"
    [ "$size" = "$1" ] || fail "picture $n is $size, not $1"
    colour=$(convert s$n.png -format "%[hex:p{$2}]" info:)
    [ "${colour#$3}" != "$colour" ] || fail "picture $n has $colour at $2, not $3"
done
differing=$(compare -metric AE shots/a.bmp s1.png null: 2>&1 || true)
[ "$differing" = 0 ] || fail "the unscaled picture differs from its screenshot in $differing pixels"

# The item filter: only the rows of 대기 are shown (the others are still there, hidden).
rows=$(grep -o '<div class="row"[^>]*>' dom.html | wc -l)
shown=$(grep -o '<div class="row"[^>]*>' dom.html | grep -vc 'hidden' || true)
[ "$rows" -eq 7 ] || fail "$rows rows, expected 7"
[ "$shown" -eq 2 ] || fail "the filter shows $shown rows, expected the 2 of 대기"

# Not a version-1 run trace: refused, exit 2, nothing written.
for first in '{"trace":"quillon-run","version":2,"screen_width":200,"screen_height":150}' 'not json' ''; do
    printf '%s\n' "$first" > bad.jsonl
    tail -n +2 trace.jsonl >> bad.jsonl
    rm -f bad.html
    set +e
    "$QUILLON" analyzer report bad.jsonl --screens shots -o bad.html 2>bad.err
    code=$?
    set -e
    [ "$code" -eq 2 ] || fail "a trace starting with '$first' gave exit $code, not 2"
    [ ! -e bad.html ] || fail "a page was written for a trace starting with '$first'"
    grep -q 'not a run trace' bad.err || fail "no message for a trace starting with '$first'"
done
echo "report: $boxes boxes, 2 pictures, filter and refusals as expected"
