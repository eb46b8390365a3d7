#!/usr/bin/env bash
# Draws Comet Duel's sprite frames (PNG) and makes its sounds (Ogg Vorbis)
# with ImageMagick, sox and oggenc. The results are kept in the tree; run this
# only to change the art. Frames go to frames/, sounds to ../pellora/.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p frames ../pellora

# The ship, nose to the right, in light greys: the game tints it per player.
# Frame 0 without flame, frames 1 and 2 with a flickering one.
# ship FILE [flame drawing...]
ship() {
    convert -size 32x32 xc:none "${@:2}" \
        -fill '#e8ecf4' -stroke '#9aa4b8' -strokewidth 1 -draw "polygon 30,16 6,4 11,16 6,28" \
        -fill '#5a6478' -stroke none -draw "polygon 22,16 13,11 13,21" \
        -fill '#ffffff' -draw "circle 19,16 19,14" "$1"
}
ship frames/ship_0.png
for i in 1 2; do
    tip=$(( i == 1 ? 1 : -2 ))
    ship "frames/ship_$i.png" -fill '#ffb040' -draw "polygon 9,11 $tip,16 9,21" \
        -fill '#fff2a0' -draw "polygon 9,14 $((tip + 4)),16 9,18"
done

# A bolt: a hot dot with a halo, flickering.
for i in 0 1; do
    r=$(( 4 + i ))
    convert -size 12x12 xc:none -fill '#ffffff40' -draw "circle 6,6 6,$((6 - r - 1))" \
        -fill '#ffffff' -draw "circle 6,6 6,$((6 - r + 2))" "frames/bolt_$i.png"
done

# A gem turning: a diamond whose bright face moves across.
for i in 0 1 2 3 4 5; do
    shine=$(( 6 + i * 2 ))
    convert -size 24x24 xc:none \
        -fill '#37d67a' -stroke '#0f7a3c' -strokewidth 1 -draw "polygon 12,1 22,10 12,23 2,10" \
        -fill '#b8ffd4' -stroke none -draw "polygon $shine,4 $((shine + 3)),10 $shine,18 $((shine - 3)),10" \
        "frames/gem_$i.png"
done

# The sun: a glow around a white-hot core, pulsing in three frames.
for i in 0 1 2; do
    convert -size 128x128 xc:none \
        \( -size 128x128 radial-gradient:'#ffc040ff-#ff600000' \) -compose over -composite \
        -fill '#ffb030' -draw "circle 64,64 64,$((64 - 28 - i))" \
        -fill '#ffe27a' -draw "circle 64,64 64,$((64 - 23))" \
        -fill '#fffbe8' -draw "circle 64,64 64,$((64 - 15))" \
        -channel A -evaluate multiply "0.$(( 9 - i ))" +channel \
        "frames/sun_$i.png"
done

# A spark of an explosion: three frames, shrinking and cooling.
for i in 0 1 2; do
    r=$(( 4 - i ))
    colour=$([ "$i" = 0 ] && echo '#ffffff' || ([ "$i" = 1 ] && echo '#ffd060' || echo '#ff6030'))
    convert -size 10x10 xc:none -fill "$colour" -draw "circle 5,5 5,$((5 - r))" "frames/spark_$i.png"
done

# The shield ring a ship wears just after it comes back.
convert -size 48x48 xc:none -fill none -stroke '#a0e8ff' -strokewidth 2 -draw "circle 24,24 24,4" \
    -stroke '#a0e8ff60' -strokewidth 4 -draw "circle 24,24 24,6" frames/shield_0.png

# Sounds: a laser chirp, a blast, a gem chime, a bell for the round's end.
tmp=$(mktemp -d)
sox -n -r 44100 -c 1 "$tmp/shoot.wav" synth 0.12 square 1400-300 fade 0 0.12 0.08 gain -14
sox -n -r 44100 -c 1 "$tmp/blast.wav" synth 0.6 brownnoise fade 0 0.6 0.5 gain -3
sox -n -r 44100 -c 1 "$tmp/gem.wav" synth 0.09 sine 1320 : synth 0.16 sine 1760 fade 0 0.16 0.12 gain -8
sox -n -r 44100 -c 1 "$tmp/bell.wav" synth 0.9 pluck C5 pluck G5 fade 0 0.9 0.7 gain -6
for s in shoot blast gem bell; do
    sox "$tmp/$s.wav" -b 16 "$tmp/$s-16.wav"
    oggenc -Q -q 2 -o "../pellora/$s.ogg" "$tmp/$s-16.wav"
done
rm -rf "$tmp"
