#!/usr/bin/env bash
# Draws the demo's sprite frames (PNG) and makes its sounds (Ogg Vorbis) with
# ImageMagick, sox and oggenc. The results are kept in the tree; run this only
# to change the art. Frames go to frames/, sounds to ../pellora/.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p frames ../pellora

# The player: a round fox-like critter, four walking frames (bobbing, feet).
for i in 0 1 2 3; do
    bob=$(( (i % 2) * 2 ))
    lf=$(( i == 1 ? -3 : (i == 3 ? 3 : 0) ))
    convert -size 48x48 xc:none \
        -fill '#2a1a10' -draw "ellipse $((17 + lf)),$((43)) 5,3 0,360" \
        -fill '#2a1a10' -draw "ellipse $((31 - lf)),$((43)) 5,3 0,360" \
        -fill '#f08a24' -draw "ellipse 24,$((27 + bob)) 16,14 0,360" \
        -fill '#f08a24' -draw "polygon 10,$((16 + bob)) 14,$((2 + bob)) 21,$((14 + bob))" \
        -fill '#f08a24' -draw "polygon 38,$((16 + bob)) 34,$((2 + bob)) 27,$((14 + bob))" \
        -fill '#fff3e0' -draw "ellipse 24,$((33 + bob)) 9,7 0,360" \
        -fill white -draw "circle 18,$((24 + bob)) 18,$((20 + bob))" \
        -fill white -draw "circle 30,$((24 + bob)) 30,$((20 + bob))" \
        -fill '#1b1b1b' -draw "circle 19,$((25 + bob)) 19,$((23 + bob))" \
        -fill '#1b1b1b' -draw "circle 31,$((25 + bob)) 31,$((23 + bob))" \
        -fill '#1b1b1b' -draw "circle 24,$((30 + bob)) 24,$((29 + bob))" \
        "frames/player_$i.png"
done

# A spinning star: six frames, the star turned and its glow pulsing.
for i in 0 1 2 3 4 5; do
    angle=$(( i * 12 ))
    glow=$(( 12 + (i % 3) ))
    convert -size 32x32 xc:none \
        -fill '#ffe06050' -draw "circle 16,16 16,$((16 - glow))" \
        -fill '#ffd23f' -stroke '#ff9f1c' -strokewidth 1 \
        -draw "translate 16,16 rotate $angle polygon 0,-14 4,-5 13,-4 6,2 9,12 0,6 -9,12 -6,2 -13,-4 -4,-5" \
        -fill white -stroke none -draw "circle 13,12 13,10" \
        "frames/star_$i.png"
done

# A bomb with a flickering fuse: two frames.
for i in 0 1; do
    spark=$([ "$i" = 0 ] && echo '#ffdd33' || echo '#ff5522')
    convert -size 32x32 xc:none \
        -fill '#23232b' -draw "circle 15,19 15,8" \
        -fill '#55556a' -draw "circle 11,15 11,12" \
        -fill '#8a6d3b' -draw "rectangle 20,4 23,10" \
        -fill "$spark" -draw "circle 22,4 22,$((1 + i))" \
        "frames/bomb_$i.png"
done

# A spark of the catch effect: three frames, shrinking.
for i in 0 1 2; do
    r=$(( 7 - i * 2 ))
    convert -size 16x16 xc:none -fill '#fff6b0' -draw "circle 8,8 8,$((8 - r))" "frames/spark_$i.png"
done

# A puff of smoke for the bomb's blast: three frames of soft grey blobs.
for i in 0 1 2; do
    convert -size 32x32 xc:none -fill '#d8d4e0c0' \
        -draw "circle 16,16 16,$((7 + i))" \
        -draw "circle $((11 + i)),$((18 - i)) $((11 + i)),$((12 - i))" \
        -draw "circle $((21 - i)),19 $((21 - i)),$((13 + i))" \
        -blur 0x2 "frames/smoke_$i.png"
done

# Sounds: a bright pluck for a catch, a thump for a bomb, and a short music loop.
tmp=$(mktemp -d)
sox -n -r 44100 -c 1 "$tmp/catch.wav" synth 0.18 pluck E5 pluck B5 fade 0 0.18 0.1 gain -4
sox -n -r 44100 -c 1 "$tmp/boom.wav" synth 0.5 brownnoise fade 0 0.5 0.45 gain -2
notes=(C4 E4 G4 B4 A3 C4 E4 G4 F3 A3 C4 E4 G3 B3 D4 F4)
parts=()
for n in "${notes[@]}"; do
    sox -n -r 44100 -c 1 "$tmp/n_${#parts[@]}.wav" synth 0.25 pluck "$n" fade 0 0.25 0.2 gain -10
    parts+=("$tmp/n_${#parts[@]}.wav")
done
sox "${parts[@]}" "$tmp/phrase.wav"
sox "$tmp/phrase.wav" "$tmp/phrase.wav" "$tmp/music.wav" reverb 30
sox "$tmp/catch.wav" -b 16 "$tmp/catch-16.wav"; oggenc -Q -q 2 -o ../pellora/catch.ogg "$tmp/catch-16.wav"
sox "$tmp/boom.wav" -b 16 "$tmp/boom-16.wav"; oggenc -Q -q 2 -o ../pellora/boom.ogg "$tmp/boom-16.wav"
sox "$tmp/music.wav" -b 16 "$tmp/music-16.wav"; oggenc -Q -q 2 -o ../pellora/music.ogg "$tmp/music-16.wav"
rm -rf "$tmp"
