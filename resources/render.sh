#!/bin/sh
# Renders the artwork in src/ and icons/fairstake.svg into images/ and icons/hicolor/.
# Every picture comes at 1x and, with "@2x" before the extension, at twice the size for
# high-density screens.  The output is committed, so building the program needs none of this.
#
# Needs rsvg-convert (librsvg2-bin), convert (imagemagick) and cjpeg (libjpeg-turbo-progs),
# and the Liberation fonts.  Running it again over unchanged sources gives the same bytes.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
src=$here/src
img=$here/images
ico=$here/icons
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

mkdir -p "$img"

# svg FILE SCALE OUT: rasterise with transparency kept.
svg() {
    rsvg-convert --zoom "$2" --format png "$1" --output "$3"
}

# jpeg IN OUT: no metadata, full-resolution colour so thin coloured lines stay crisp.
jpeg() {
    convert "$1" -background white -alpha remove -alpha off ppm:- |
        cjpeg -quality 92 -sample 1x1 -optimize -outfile "$2"
}

# opaque IN OUT: lossless 24-bit PNG without metadata.  (Not a BMP: Qt reads BMP
# only after loading every image plugin it has, which costs the start-up dearly.)
opaque() {
    convert "$1" -background white -alpha remove -alpha off -strip -define png:exclude-chunks=date,time \
        -type TrueColor PNG24:"$2"
}

# overlay SCALE SUFFIX NAME X Y W H: draws src/NAME.svg over the background where the
# picture lies in the window, so that its rounded corners blend into the background.  The
# backdrop is the background drawn a little wider, since the minimize sign reaches past it.
overlay() {
    s=$1; suffix=$2; name=$3
    x=$(($4 * s)); y=$(($5 * s)); w=$(($6 * s)); h=$(($7 * s))
    svg "$src/$name.svg" "$s" "$tmp/$name.png"
    convert "$tmp/backdrop$suffix.png" -crop "${w}x${h}+${x}+${y}" +repage \
        "$tmp/$name.png" -composite "$tmp/$name-flat.png"
}

for s in 1 2; do
    if [ "$s" = 1 ]; then suffix=; else suffix=@2x; fi

    # The background talks; its silent twin closes the horse's mouth and drops the balloon,
    # and the corner that covers the balloon is cut out of it.
    svg "$src/background.svg" "$s" "$tmp/background$suffix.png"
    jpeg "$tmp/background$suffix.png" "$img/background$suffix.jpg"
    sed 's/\.silent{display:none}/.talking{display:none}/' "$src/background.svg" > "$tmp/silent.svg"
    svg "$tmp/silent.svg" "$s" "$tmp/silent$suffix.png"
    convert "$tmp/silent$suffix.png" -crop "$((393 * s))x$((98 * s))+$((354 * s))+$((451 * s))" +repage \
        "$tmp/nomore$suffix.png"
    jpeg "$tmp/nomore$suffix.png" "$img/nomore$suffix.jpg"
    sed 's/width="792" height="566" viewBox="0 0 792 566"/width="800" height="566" viewBox="0 0 800 566"/' \
        "$src/background.svg" > "$tmp/backdrop.svg"
    svg "$tmp/backdrop.svg" "$s" "$tmp/backdrop$suffix.png"

    for picture in "arrow_left 456 216 33 25" "arrow_right 488 216 33 25" "clear_strip 576 224 162 19" \
                "minimize 770 0 25 25" "under_scroll 112 361 190 25" "profits 304 323 297 65" \
                "racetracks 624 325 89 65"; do
        set -- $picture
        overlay "$s" "$suffix" "$@"
        jpeg "$tmp/$1-flat.png" "$img/$1$suffix.jpg"
    done
    overlay "$s" "$suffix" radio_back 279 408 58 41
    opaque "$tmp/radio_back-flat.png" "$img/radio_back$suffix.png"

    for f in "$src/refresh.svg" "$src/balloon_icon.svg" "$src"/menu/*.svg "$src"/web/*.svg; do
        name=$(basename "$f" .svg)
        svg "$f" "$s" "$img/$name$suffix.png"
    done
done

for n in 16 32 48 64 128 256; do
    mkdir -p "$ico/hicolor/${n}x${n}/apps"
    rsvg-convert --width "$n" --height "$n" --format png "$ico/fairstake.svg" \
        --output "$ico/hicolor/${n}x${n}/apps/fairstake.png"
done
