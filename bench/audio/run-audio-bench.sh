#!/usr/bin/env bash
# Converts the same generated clips (many short ones, a few long ones) to every
# audio target with our converter and with the ffmpeg command line (one process
# per file, the same encoder settings), in the same run, and prints the ratios.
#
# Ours is a background run of build/bin/formshift when it exists, otherwise the
# audio_convert_bench program (build it with --target audio_convert_bench);
# OURS=formshift or OURS=audio_convert_bench chooses.
#
# Each measurement is the best of REPEATS runs, ours and ffmpeg's taking turns, so
# that other load on the machine disturbs the ratio less.
#
# Environment: BUILD_DIR (default <repo>/build), SHORT_COUNT (50), SHORT_SECONDS
# (0.5), LONG_COUNT (2), LONG_SECONDS (160), TARGETS ("mp3 flac ogg opus wav"),
# REPEATS (3).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$top/build}
short_count=${SHORT_COUNT:-50}
short_seconds=${SHORT_SECONDS:-0.5}
long_count=${LONG_COUNT:-2}
long_seconds=${LONG_SECONDS:-160}
targets=${TARGETS:-mp3 flac ogg opus wav}
repeats=${REPEATS:-3}

command -v ffmpeg >/dev/null || { echo "run-audio-bench: ffmpeg is needed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ours=${OURS:-}
if [ -z "$ours" ]; then
    ours=audio_convert_bench
    [ -x "$build/bin/formshift" ] && ours=formshift
fi
[ -x "$build/bin/$ours" ] || { echo "run-audio-bench: build $ours first" >&2; exit 1; }
if [ "$ours" = formshift ]; then
    # A private home, so the run neither reads nor writes the user's settings.
    export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
        XDG_CACHE_HOME="$work/home/cache" XDG_RUNTIME_DIR="$work/home/run" QT_QPA_PLATFORM=offscreen
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fi

# Two voices with a wandering pitch and a little noise: more like music than a pure tone.
generate() { # file seconds
    ffmpeg -v error -nostdin -y -f lavfi \
        -i "aevalsrc=0.3*sin(2*PI*(220+30*sin(2*PI*0.7*t))*t)+0.04*(random(0)-0.5)|0.3*sin(2*PI*(330+20*sin(2*PI*0.3*t))*t)+0.04*(random(1)-0.5):s=44100:d=$2" \
        -c:a pcm_s16le "$1"
}

mkdir -p "$work/short" "$work/long"
for i in $(seq -w 1 "$short_count"); do generate "$work/short/clip$i.wav" "$short_seconds"; done
for i in $(seq 1 "$long_count"); do generate "$work/long/long$i.wav" "$long_seconds"; done

ffmpeg_codec() {
    case $1 in
    mp3) echo "-c:a libmp3lame -q:a 2" ;;
    flac) echo "-c:a flac" ;;
    ogg) echo "-c:a libvorbis -q:a 5" ;;
    opus) echo "-c:a libopus -b:a 128k -ar 48000" ;;
    wav) echo "-c:a pcm_s16le" ;;
    esac
}

now() { date +%s.%N; }

least() { # best-so-far (may be empty) new
    if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"; else echo "$1"; fi
}

run_ours() { # target outdir files...
    local target=$1 out=$2
    shift 2
    if [ "$ours" = formshift ]; then
        timeout 3600 "$build/bin/formshift" /from wav /to "$target" /directory "$out" /convertnow /background "$@" \
            >/dev/null 2>&1 || true
    else
        "$build/bin/audio_convert_bench" "$target" "$out" "$@" >/dev/null
    fi
}

run_ffmpeg() { # target outdir files...
    local target=$1 out=$2 file name
    shift 2
    # shellcheck disable=SC2046
    for file in "$@"; do
        name=$(basename "${file%.*}")
        ffmpeg -v error -nostdin -y -i "$file" $(ffmpeg_codec "$target") "$out/$name.$target"
    done
}

measure() { # label tool target files...
    local tool=$2 target=$3 out start end made
    shift 3
    out="$work/out-$tool-$target-$RANDOM"
    mkdir -p "$out"
    start=$(now)
    "run_$tool" "$target" "$out" "$@"
    end=$(now)
    made=$(find "$out" -type f -name "*.$target" | wc -l)
    if [ "$made" -ne $# ]; then
        echo "run-audio-bench: $tool wrote $made of $# files for $target" >&2
    fi
    rm -rf "$out"
    echo "$end - $start" | bc -l
}

printf 'ours: %s; %s clips of %s s, %s files of %s s\n\n' "$ours" "$short_count" "$short_seconds" "$long_count" \
    "$long_seconds"
printf '%-22s %-6s %10s %10s %8s\n' set target ours_s ffmpeg_s ratio
for set in short long; do
    files=("$work/$set"/*.wav)
    label="$set (${#files[@]} files)"
    for target in $targets; do
        o="" f=""
        for _ in $(seq "$repeats"); do
            o=$(least "$o" "$(measure "$label" ours "$target" "${files[@]}")")
            f=$(least "$f" "$(measure "$label" ffmpeg "$target" "${files[@]}")")
        done
        printf '%-22s %-6s %10.2f %10.2f %8.2f\n' "$label" "$target" "$o" "$f" "$(echo "$o / $f" | bc -l)"
    done
done
