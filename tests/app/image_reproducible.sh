#!/usr/bin/env bash
# Two clean builds of the executable from the same sources, in two fresh build
# trees at different paths, give byte-identical files: nothing of the time, the
# build path or the link-time optimiser's temporary names gets in.
# Usage: image_reproducible.sh CMAKE SOURCE-DIR TOOLCHAIN-FILE BUILD-TYPE
set -u
cmake=$1 source=$2 toolchain=$3 type=$4
work=$PWD/image_reproducible
rm -rf "$work" && mkdir -p "$work"

build() {
    "$cmake" -S "$source" -B "$work/$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE="$type" -DCOMMENTTOEXIF_TESTS=OFF >"$work/$1.log" 2>&1 &&
        "$cmake" --build "$work/$1" --target CommentToExif >>"$work/$1.log" 2>&1 ||
        { echo "build $1 failed:"; tail -20 "$work/$1.log"; return 1; }
}
build first & first=$!
build second-tree & second=$!
wait $first && wait $second || exit 1

a=$work/first/app/CommentToExif.exe b=$work/second-tree/app/CommentToExif.exe
if cmp "$a" "$b"; then
    echo "ok   two clean builds are identical ($(stat -c %s "$a") bytes, $(sha256sum <"$a" | cut -c1-16))"
    echo "1 passed, 0 failed"
    rm -rf "$work"
else
    echo "FAIL the two builds differ ($(cmp -l "$a" "$b" | wc -l) bytes)"
    echo "0 passed, 1 failed"
    exit 1
fi
