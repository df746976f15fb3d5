#!/usr/bin/env bash
# Comment files written by the product code read back, by two independent EXIF
# readers, as the exact text and as a well-formed big-endian TIFF.
# Usage: readers_agree.sh WINE-EXEC SAMPLE-WRITER
set -u
run=$1 writer=$2
out=samples
rm -rf "$out" && mkdir -p "$out"
"$run" "$writer" "$out" || { echo "sample writer failed"; exit 1; }

failures=0
fail() { echo "FAIL $1: $2"; failures=$((failures + 1)); }

for exif in "$out"/*.exif; do
    name=$(basename "$exif" .exif)
    expected=$(cat "$out/$name.txt")

    got=$(exiftool -b -UserComment "$exif")
    [ "$got" = "$expected" ] || fail "$name" "exiftool read '$got'"
    structure=$(exiftool -a -G1 -s -ExifByteOrder -Error -Warning "$exif")
    grep -q 'ExifByteOrder *: Big-endian' <<<"$structure" || fail "$name" "exiftool: $structure"
    ! grep -qE '\[ExifTool\] +(Error|Warning)' <<<"$structure" || fail "$name" "exiftool: $structure"

    exiv2 -pS "$exif" 2>&1 | grep -q 'STRUCTURE OF TIFF FILE (MM)' || fail "$name" "exiv2 sees no big-endian TIFF"
    got=$(exiv2 -q -K Exif.Photo.UserComment -Pv "$exif" 2>&1)
    if grep -qP '[\x{10000}-\x{10FFFF}]' <<<"$expected"; then
        # exiv2 decodes through UCS-2 and prints raw units for text beyond the BMP:
        # it must still see the Unicode character code and a value.
        [[ "$got" == charset=Unicode* ]] || fail "$name" "exiv2 read '$got'"
    else
        [ "$got" = "charset=Unicode $expected" ] || fail "$name" "exiv2 read '$got'"
    fi
done

# The README's use of the file: its comment stamped into a photo, word for word.
mkdir "$out/photo" && cp "$out/emoji.exif" "$out/photo/my_exif.exif" &&
    (cd "$out/photo" && convert -size 16x16 xc:gray photo.jpg &&
     exiftool -tagsfromfile my_exif.exif -UserComment photo.jpg >/dev/null) ||
    fail photo "exiftool could not stamp the comment into a JPEG"
got=$(exiftool -b -UserComment "$out/photo/photo.jpg")
[ "$got" = "$(cat "$out/emoji.txt")" ] || fail photo "exiftool read '$got' from the stamped photo"

count=$(ls "$out"/*.exif | wc -l)
echo "readers checked $count files: $failures disagreements"
[ "$count" -ge 6 ] && [ "$failures" -eq 0 ]
