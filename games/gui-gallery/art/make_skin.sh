#!/usr/bin/env bash
# Draws the default GUI skin's images (PNG) with ImageMagick: dark translucent
# panels with rounded corners, a blue accent, flat buttons. The results are
# kept in the tree and packed into skin.spr at build time (skin.sprites); run
# this only to change the look. Images go to skin/.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p skin
out=skin

panel='#161b26e8'     # window body
title='#222a3af0'     # window title bar
edge='#3a4660'        # panel border
accent='#3fa9f5'
field='#0d1119f0'     # edit boxes, tracks
text_light='#e8eef8'

# A panel of W x H with a 1-pixel border and rounded corners of radius R,
# cut into the nine pieces a window or frame is made of. T is the height of
# the top row (the title bar for windows), B of the bottom row, S the width
# of the sides.
panel_pieces() { # prefix W H T B S R title-colour
    local p=$1 W=$2 H=$3 T=$4 B=$5 S=$6 R=$7 top=$8
    local full="$out/_${p}_full.png"
    convert -size ${W}x${H} xc:none \
        -fill "$panel" -stroke "$edge" -strokewidth 1 \
        -draw "roundrectangle 0.5,0.5 $((W - 1)).5,$((H - 1)).5 $R,$R" \
        "$full"
    if [ "$top" != none ]; then
        # The title bar: lighter, with an accent line under it.
        convert "$full" \
            \( -size ${W}x${H} xc:none -fill "$top" \
               -draw "roundrectangle 1.5,1.5 $((W - 2)).5,$((T + R)).5 $((R - 1)),$((R - 1))" \
               -fill none -draw "rectangle 0,$T $W,$H" \
               -crop ${W}x${T}+0+0 -background none -extent ${W}x${H} \) \
            -compose over -composite \
            -fill "$accent" -stroke none -draw "rectangle $S,$((T - 2)) $((W - S - 1)),$((T - 1))" \
            "$full"
    fi
    local mx=$((W / 2)) my=$(( (T + H - B) / 2 ))
    convert "$full" -crop ${S}x${T}+0+0 +repage "$out/${p}TopLeft.png"
    convert "$full" -crop ${S}x${T}+$((W - S))+0 +repage "$out/${p}TopRight.png"
    convert "$full" -crop ${S}x${B}+0+$((H - B)) +repage "$out/${p}BottomLeft.png"
    convert "$full" -crop ${S}x${B}+$((W - S))+$((H - B)) +repage "$out/${p}BottomRight.png"
    convert "$full" -crop 4x${T}+${mx}+0 +repage "$out/${p}Top.png"
    convert "$full" -crop 4x${B}+${mx}+$((H - B)) +repage "$out/${p}Bottom.png"
    convert "$full" -crop ${S}x4+0+${my} +repage "$out/${p}Left.png"
    convert "$full" -crop ${S}x4+$((W - S))+${my} +repage "$out/${p}Right.png"
    convert "$full" -crop 4x4+${mx}+${my} +repage "$out/${p}Background.png"
    rm "$full"
}
panel_pieces Window 96 96 30 10 10 9 "$title"
panel_pieces Frame 96 96 10 10 10 9 none

# A rounded flat button of W x H in four states: normal, hovered (accent
# border), pressed (accent fill), disabled (faded).
button_states() { # prefix W H R
    local p=$1 W=$2 H=$3 R=$4
    local box="roundrectangle 0.5,0.5 $((W - 1)).5,$((H - 1)).5 $R,$R"
    convert -size ${W}x${H} xc:none -fill '#2a3347f0' -stroke "$edge" -draw "$box" "$out/${p}Normal.png"
    convert -size ${W}x${H} xc:none -fill '#33405cf8' -stroke "$accent" -draw "$box" "$out/${p}Highlighted.png"
    convert -size ${W}x${H} xc:none -fill '#2b6fa8ff' -stroke "$accent" -draw "$box" "$out/${p}Pressed.png"
    convert -size ${W}x${H} xc:none -fill '#22283490' -stroke '#2c3445' -draw "$box" "$out/${p}Disabled.png"
}
button_states TextButton 150 36 8

# Small square buttons with a glyph drawn on top: the close cross, the
# detachable frame's menu pearl, scroll arrows and the combo box chevron.
glyph_button() { # prefix size glyph-draw-command
    local p=$1 N=$2 glyph=$3
    button_states "$p" "$N" "$N" 4
    for state in Normal Highlighted Pressed Disabled; do
        local colour=$text_light
        [ $state = Disabled ] && colour='#6a7386'
        convert "$out/${p}${state}.png" -fill none -stroke "$colour" -strokewidth 2 \
            -draw "$glyph" "$out/${p}${state}.png"
    done
}
glyph_button CloseBtn 18 "line 5,5 12,12 line 12,5 5,12"
glyph_button PearlButton 18 "circle 8.5,8.5 8.5,5"
glyph_button VerScrollUp 14 "polyline 3,9 7,5 11,9"
glyph_button VerScrollDown 14 "polyline 3,5 7,9 11,5"
glyph_button HorScrollLeft 14 "polyline 9,3 5,7 9,11"
glyph_button HorScrollRight 14 "polyline 5,3 9,7 5,11"
glyph_button Combobox 26 "polyline 8,11 13,16 18,11"

# Scroll bars: a dark track and a rounded accent thumb.
convert -size 14x4 xc:"$field" "$out/VerScrollBackground.png"
convert -size 4x14 xc:"$field" "$out/HorScrollBackground.png"
thumb() { # prefix W H
    local p=$1 W=$2 H=$3 box="roundrectangle 2,2 $(($2 - 3)),$(($3 - 3)) 4,4"
    convert -size ${W}x${H} xc:none -fill '#5a6a88' -draw "$box" "$out/${p}ThumbNormal.png"
    convert -size ${W}x${H} xc:none -fill "$accent" -draw "$box" "$out/${p}ThumbHighlighted.png"
    convert -size ${W}x${H} xc:none -fill '#7cc4f8' -draw "$box" "$out/${p}ThumbPressed.png"
    convert -size ${W}x${H} xc:none -fill '#3a4356' -draw "$box" "$out/${p}ThumbDisabled.png"
}
thumb VerScroll 14 36
thumb HorScroll 36 14

# Check boxes (rounded squares, an accent tick) and radio buttons (circles,
# an accent dot), in the six states.
mark_states() { # prefix shape mark
    local p=$1 shape=$2 mark=$3
    for state in Normal Highlighted Disabled; do
        local stroke=$edge fill='#0d1119f0'
        [ $state = Highlighted ] && stroke=$accent
        [ $state = Disabled ] && { stroke='#2c3445'; fill='#12161e90'; }
        convert -size 20x20 xc:none -fill "$fill" -stroke "$stroke" -strokewidth 1.5 -draw "$shape" \
            "$out/${p}${state}.png"
        local tick=$accent
        [ $state = Disabled ] && tick='#4a5468'
        convert "$out/${p}${state}.png" -fill none -stroke "$tick" -strokewidth 2.5 -draw "$mark" \
            "$out/${p}Checked${state}.png"
    done
}
mark_states Checkbox "roundrectangle 1.5,1.5 18.5,18.5 4,4" "polyline 5,10 9,14 15,6"
mark_states Radiobutton "circle 10,10 10,1.5" "circle 10,10 10,6.5"
for state in Normal Highlighted Disabled; do
    convert "$out/RadiobuttonChecked${state}.png" -fill "$accent" -stroke none \
        -draw "circle 10,10 10,6.5" "$out/RadiobuttonChecked${state}.png"
done

# Edit boxes: a dark rounded field, cut into its left end, tiled middle and
# right end (the combo box field uses the same).
convert -size 64x28 xc:none -fill "$field" -stroke "$edge" \
    -draw "roundrectangle 0.5,0.5 63.5,27.5 6,6" "$out/_edit.png"
convert "$out/_edit.png" -crop 8x28+0+0 +repage "$out/EditBoxLeft.png"
convert "$out/_edit.png" -crop 8x28+56+0 +repage "$out/EditBoxRight.png"
convert "$out/_edit.png" -crop 4x28+30+0 +repage "$out/EditBoxBackground.png"
rm "$out/_edit.png"

# Tab rows: tabs with rounded top corners over a line in the accent colour.
tab() { # name fill stroke
    convert -size 110x30 xc:none -fill "$2" -stroke "$3" \
        -draw "roundrectangle 0.5,0.5 109.5,40 8,8" -crop 110x30+0+0 +repage "$out/$1.png"
}
tab TabControlTabNormal '#222a3af0' "$edge"
tab TabControlTabHighlighted '#33405cf8' "$accent"
convert -size 4x3 xc:"$accent" "$out/TabControlTop.png"
convert -size 4x2 xc:'#3fa9f560' "$out/TabControlTopInner.png"
