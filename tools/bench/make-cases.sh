#!/bin/bash
# Generates the benchmark's input trees and pictures under a folder (default
# build/bench/cases), once per set of sizes: a second call with the same sizes only
# checks that they are there. Sizes come from the environment (defaults in brackets):
#   BENCH_LARGE_MB [1024]     total of the large-file tree, in BENCH_LARGE_FILES [8] files
#   BENCH_SMALL_FILES [20000] small files (0.5 to 11.5 KB) in nested folders
#   BENCH_SCAN_FILES [50000]  empty files in nested folders, for the scan alone
#   BENCH_PICTURE [4000x3000] size of SetupBk.jpg and SETUP.jpg
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../../build/bench/cases}
large_mb=${BENCH_LARGE_MB:-1024}
large_files=${BENCH_LARGE_FILES:-8}
small_files=${BENCH_SMALL_FILES:-20000}
scan_files=${BENCH_SCAN_FILES:-50000}
picture=${BENCH_PICTURE:-4000x3000}

mkdir -p "$out"
out=$(cd "$out" && pwd)

# Makes $out/$1 with the generator "$2..." unless the stamp says it has these sizes.
make_case() {
    local name=$1 stamp
    shift
    stamp="$*"
    if [ "$(cat "$out/$name.stamp" 2>/dev/null)" = "$stamp" ]; then
        return
    fi
    echo "bench: generating $name ($stamp)" >&2
    rm -rf "${out:?}/$name" "$out/$name.stamp"
    "$@" "$out/$name"
    echo "$stamp" >"$out/$name.stamp"
}

large_tree() {
    local count=$1 mb=$2 dir=$3
    mkdir -p "$dir/data"
    local each=$((mb * 1048576 / count)) i
    for ((i = 0; i < count; i++)); do
        head -c "$each" /dev/urandom >"$dir/data/part$i.bin"
    done
}

# Nested folders, 100 files in each: two levels of 10 x N folders. Sizes and bytes
# come from a fixed seed, so every run copies the same tree. A maximum size of 0
# gives empty files.
nested_tree() {
    local count=$1 maxsize=$2 dir=$3
    perl -e '
        use File::Path qw(make_path);
        my ($count, $max, $dir) = @ARGV;
        srand(8);
        open(my $r, "<", "/dev/urandom") or die; read($r, my $pool, 65536); close $r;
        my $made = 0;
        for (my $top = 0; $made < $count; $top++) {
            for (my $sub = 0; $sub < 10 && $made < $count; $sub++) {
                my $folder = sprintf("%s/dir%03d/sub%02d", $dir, $top, $sub);
                make_path($folder);
                for (my $f = 0; $f < 100 && $made < $count; $f++, $made++) {
                    my $size = $max ? 512 + int(rand($max - 512)) : 0;
                    open(my $o, ">", sprintf("%s/file%03d.dat", $folder, $f)) or die;
                    print $o substr($pool, int(rand(65536 - $size)), $size);
                    close $o;
                }
            }
        }' "$count" "$maxsize" "$dir"
}

# A photograph-like picture: smooth areas with fine grain, quality 90, 4:2:0.
picture_case() {
    local size=$1 dir=$2
    mkdir -p "$dir"
    convert -size "$size" -seed 8 plasma:fractal -attenuate 0.3 +noise Gaussian \
        -quality 90 -sampling-factor 2x2 "$dir/picture.jpg"
}

make_case large large_tree "$large_files" "$large_mb"
make_case small nested_tree "$small_files" 11776
make_case scan nested_tree "$scan_files" 0
make_case picture picture_case "$picture"
