#!/usr/bin/env bash
# Makes the clock's sound pieces: the Czech numbers and words of LIST spoken
# by espeak-ng, and "gong" synthesised by sox, as 16-bit mono wave files.
#   make-clock-sounds.sh LIST OUTDIR
set -euo pipefail
list=$1
out=$2
espeak=${ESPEAK:-espeak-ng}
sox=${SOX:-sox}

mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Silence cut from both ends, a short pause after: the pieces are played one
# after another and should run together as one sentence.
finish() {
  "$sox" "$1" -r 22050 -c 1 -b 16 "$2" \
    silence 1 0.01 0.3% reverse silence 1 0.01 0.3% reverse pad 0 0.06 norm -3
}

while IFS='|' read -r name text; do
  case "$name" in ''|'#'*) continue ;; esac
  "$espeak" -v cs -b 1 -s 150 -w "$work/raw.wav" "$text"
  finish "$work/raw.wav" "$out/$name.wav"
done < "$list"

# A gong: inharmonic partials of a struck metal plate, dying away.
"$sox" -n -r 22050 -c 1 -b 16 "$work/gong.wav" \
  synth 3.2 sine 110 synth 3.2 sine mix 231 synth 3.2 sine mix 347 synth 3.2 sine mix 527 \
  synth 3.2 sine mix 740 tremolo 3.5 30 fade p 0.004 3.2 3.0 vol 0.7
"$sox" "$work/gong.wav" "$out/gong.wav" norm -3
