#!/bin/sh
# Builds the three 1280x800 32-bit test screens of the LZNT1 benchmark as raw
# BGRA pixels in OUTDIR: a dialog-style screenshot with Korean and Latin text,
# a smooth two-colour gradient and a fractal plasma (fixed seed).
set -eu
out=$1
font=${QUILLON_BENCH_FONT:-NanumGothic}
mkdir -p "$out"

# Desktop, two windows with title bars, lists, buttons and lines of text.
set -- -size 1280x800 xc:'#3a6ea5' -font "$font" -pointsize 13
# Main window.
set -- "$@" -fill '#f0f0f0' -draw 'rectangle 40,30 900,740' \
    -fill '#0a246a' -draw 'rectangle 40,30 900,54' \
    -fill white -annotate +50+48 '분석기 편집기 - 항목 편집 (Quillon Analyzer Editor)' \
    -fill white -draw 'rectangle 60,80 420,700' -fill none -stroke '#808080' -draw 'rectangle 60,80 420,700' -stroke none
y=98
i=0
while [ $i -lt 36 ]; do
    case $((i % 4)) in
        0) line="항목 $i: 인식 이미지가 보이면 클릭" ;;
        1) line="Item $i - wait 500 ms, then press Enter" ;;
        2) line="조건 설정: 변수 A 가 10 보다 크면" ;;
        *) line="Next item -> $((i + 1)) (otherwise 0)" ;;
    esac
    if [ $i -eq 7 ]; then
        set -- "$@" -fill '#316ac5' -draw "rectangle 61,$((y - 13)) 419,$((y + 3))" -fill white
    else
        set -- "$@" -fill black
    fi
    set -- "$@" -annotate +66+$y "$line"
    y=$((y + 17))
    i=$((i + 1))
done
# Group boxes and labels on the right.
set -- "$@" -fill none -stroke '#a0a0a0' -draw 'rectangle 440,80 880,380' -draw 'rectangle 440,400 880,640' -stroke none
y=110
for label in '[조건 설정]' '화면의 지정된 영역에서 이미지를 찾습니다.' 'Search area: 0, 0, 1280, 800' '일치율 95 %% 이상' \
    'Colour tolerance 12' '[실행할 명령 설정]' '키보드 입력: 안녕하세요' 'Mouse click at 640, 400' '소리 재생: alarm.wav' \
    '다음 항목으로 이동'; do
    set -- "$@" -fill black -annotate +456+$y "$label"
    y=$((y + 26))
done
# Buttons.
x=460
for b in '확인' '취소' '적용' 'Help'; do
    set -- "$@" -fill '#e1e1e1' -stroke '#707070' -draw "roundrectangle $x,670 $((x + 90)),700 3,3" -stroke none \
        -fill black -annotate +$((x + 30))+690 "$b"
    x=$((x + 104))
done
# Second window, partly covering the first.
set -- "$@" -fill '#ffffff' -draw 'rectangle 760,300 1240,760' -fill '#0a246a' -draw 'rectangle 760,300 1240,324' \
    -fill white -annotate +770+318 '실행기 - 상태 (Runner status)'
y=350
i=0
while [ $i -lt 22 ]; do
    set -- "$@" -fill '#202020' -annotate +776+$y "$(printf '%02d:%02d:%02d  항목 %d 실행 완료 - item %d done' $((i / 6)) $((i * 7 % 60)) $((i * 13 % 60)) $i $i)"
    y=$((y + 18))
    i=$((i + 1))
done
# Taskbar.
set -- "$@" -fill '#d4d0c8' -draw 'rectangle 0,770 1279,799' -fill black -annotate +1180+790 '오후 3:42'
convert "$@" -alpha off -depth 8 BGRA:"$out/ui.bgra"

convert -size 1280x800 gradient:'#2050a0'-'#f0c040' -alpha off -depth 8 BGRA:"$out/gradient.bgra"
convert -seed 7 -size 1280x800 plasma:fractal -alpha off -depth 8 BGRA:"$out/noisy.bgra"
# A look at the screenshot, for people.
convert -size 1280x800 -depth 8 BGRA:"$out/ui.bgra" "$out/ui.png"
