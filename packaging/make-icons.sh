#!/bin/sh
# Draws the application icon at 32, 48, 64, 128 and 256 pixels from the game's own
# generated art: a walking person from the first people sheet with the crosshair on
# their chest. Every size is scaled from the sprites by whole factors with no filtering,
# so the pixels stay sharp and the same sheets always give byte-identical PNG files.
#
# make-icons.sh RUN_DIR OUTPUT_DIR APP_ID
#   writes OUTPUT_DIR/hicolor/SIZExSIZE/apps/APP_ID.png
set -eu
convert=/usr/bin/convert # ImageMagick's own, never a stand-in earlier on PATH
run_dir=$1
output_dir=$2
app_id=$3

people_sheet=$run_dir/stooge124.BMP
sprite_sheet=$run_dir/sprites124.BMP
for sheet in "$people_sheet" "$sprite_sheet"; do
    [ -r "$sheet" ] || { echo "make-icons: $sheet is missing (build art_assets first)" >&2; exit 1; }
done

# Sprite rectangles as the game cuts them: walking frame 1 of a person is 16 x 13 at
# (0, 0), the crosshair 17 x 18 at (0, 0) with its aiming point at (8, 8).
person_crop=16x13+0+0
crosshair_crop=17x18+0+0
key_colour='#FF00FF'

for size in 32 48 64 128 256; do
    person_scale=$((size / 16))          # 2, 3, 4, 8, 16: the person fills the width
    crosshair_scale=$((person_scale / 2))
    [ "$crosshair_scale" -ge 1 ] || crosshair_scale=1
    person_top=$(((size - 13 * person_scale) / 2))
    chest_x=$((6 * person_scale + person_scale / 2))
    chest_y=$((person_top + 7 * person_scale + person_scale / 2))
    crosshair_x=$((chest_x - 8 * crosshair_scale))
    crosshair_y=$((chest_y - 8 * crosshair_scale))
    dir=$output_dir/hicolor/${size}x${size}/apps
    mkdir -p "$dir"
    "$convert" -size "${size}x${size}" xc:none \
        \( "$people_sheet" -crop "$person_crop" +repage -transparent "$key_colour" \
           -scale "$((person_scale * 100))%" \) \
        -geometry "+0+$person_top" -composite \
        \( "$sprite_sheet" -crop "$crosshair_crop" +repage -transparent "$key_colour" \
           -scale "$((crosshair_scale * 100))%" \) \
        -geometry "$(printf '%+d%+d' "$crosshair_x" "$crosshair_y")" -composite \
        -strip -define png:exclude-chunks=date,time,zTXt,tEXt,iTXt \
        "PNG32:$dir/$app_id.png"
done
