#!/usr/bin/env bash
# How often continuous pinyin becomes the intended words: our engine and the
# open pinyin engines of Debian 12, each typed over its fcitx's D-Bus input
# context in a fresh HOME, on a private bus (and Xvfb for fcitx 4).
#   run.sh [BUILD_DIR] [--engines kaiwo,rime,...] [--set test|dev|tuning] [--limit N] [--out FILE]
#          [--no-teach]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
cache=${KAIWO_ACCURACY_CACHE:-$here/.cache}

# label: fcitx version, input method name, Debian package ("-" for ours,
# which comes from the build tree).
declare -A FRAMEWORK=([kaiwo]=4 [rime]=4 [libpinyin]=4 [sunpinyin]=4 [googlepinyin]=4
    [fcitx-pinyin]=4 [fcitx5-pinyin]=5)
declare -A IM=([kaiwo]=kaiwo [rime]=rime [libpinyin]=pinyin-libpinyin [sunpinyin]=sunpinyin
    [googlepinyin]=googlepinyin [fcitx-pinyin]=pinyin [fcitx5-pinyin]=pinyin)
declare -A PACKAGE=([kaiwo]=- [rime]=fcitx-rime [libpinyin]=fcitx-libpinyin
    [sunpinyin]=fcitx-sunpinyin [googlepinyin]=fcitx-googlepinyin [fcitx-pinyin]=fcitx-pinyin
    [fcitx5-pinyin]=-)
ALL_ENGINES=kaiwo,rime,libpinyin,sunpinyin,googlepinyin,fcitx-pinyin,fcitx5-pinyin
# Every fcitx 4 engine addon but the one measured is switched off, so that
# fcitx loads (and its memory holds) only that one.
FCITX4_ENGINE_ADDONS=(fcitx-rime fcitx-libpinyin fcitx-sunpinyin fcitx-googlepinyin fcitx-pinyin)
declare -A ADDON=([rime]=fcitx-rime [libpinyin]=fcitx-libpinyin [sunpinyin]=fcitx-sunpinyin
    [googlepinyin]=fcitx-googlepinyin [fcitx-pinyin]=fcitx-pinyin)

# fcitx 5 cannot be installed beside fcitx 4 (its packages conflict with
# fcitx-bin and fcitx-data), so its packages are unpacked into the cache and
# run from there; libraries they share with nothing of fcitx 4 come from apt.
# No fcitx 5 front end is unpacked: our own tests use fcitx 4's Qt plugin.
FCITX5_UNPACKED=(fcitx5 fcitx5-data fcitx5-modules libfcitx5config6 libfcitx5core7 fcitx5-pinyin
    fcitx5-chinese-addons-data fcitx5-module-punctuation)
FCITX5_LIBS=(libfcitx5utils2 libimecore0 libimepinyin0 libime-data libime-data-language-model
    libboost-iostreams1.74.0 libjson-c5 libxkbcommon0 xkb-data)
FCITX5_ADDONS=dbus,dbusfrontend,keyboard,pinyin,punctuation

# The corpus: Chinese manual pages and the message catalogues of base
# packages, whose versions (with the script's) decide the cached sets.
CATALOGUES=(coreutils bash dpkg apt tar findutils grep sed diffutils gettext-runtime libc shadow
    procps-ng psmisc xz adduser man-db)
NPM_PACKAGES=(pinyin-pro@3.29.4 @pinyin-pro/data@1.3.1)

log() { printf '%s\n' "$*" >&2; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# --- inside one engine's private session bus --------------------------------

inner_cleanup() {
    local pid
    for pid in ${FCITX_PID:-} ${XVFB_PID:-}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    [ -n "${FCITX_LOG:-}" ] && [ -f "$HOME/fcitx.log" ] && cp "$HOME/fcitx.log" "$FCITX_LOG"
    case "${HOME:-}" in /tmp/kaiwo-accuracy.*) rm -rf "$HOME" ;; esac
}

start_xvfb() {
    local number
    exec 3<> <(:)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    read -r -t 20 number <&3 || { log "Xvfb did not start"; return 1; }
    exec 3<&-
    export DISPLAY=":$number"
}

setup_fcitx4() {
    local label=$1 im=$2 dir=$HOME/.config/fcitx
    mkdir -p "$dir/addon" "$dir/lib"
    printf '[Profile]\nIMName=%s\nEnabledIMList=fcitx-keyboard-us:True,%s:True\n' "$im" "$im" \
        >"$dir/profile"
    printf '[Program]\nDelayStart=0\n' >"$dir/config"
    case $label in
    kaiwo)
        cp "$BUILD_DIR"/share/fcitx/addon/fcitx-kaiwo*.conf "$dir/addon/"
        ln -s "$BUILD_DIR/lib/fcitx/fcitx-kaiwo.so" "$dir/lib/"
        export KAIWOIMEBS_DATA_ROOT=${KAIWOIMEBS_DATA_ROOT:-$repo/data}
        # The shipped settings, as the settings tool leaves them for a new user.
        mkdir -p "$HOME/.config/KaiwoShell/usr/PCPYDict"
        cp "$KAIWOIMEBS_DATA_ROOT/KaiwoShell/dict/PCPYDict/env.ini" "$HOME/.config/KaiwoShell/usr/PCPYDict/"
        ;;
    rime)
        # Stock luna_pinyin, with its own simplification switch on: the
        # references are simplified. Only this schema is deployed.
        mkdir -p "$dir/rime"
        printf 'patch:\n  schema_list:\n    - schema: luna_pinyin\n' >"$dir/rime/default.custom.yaml"
        printf 'patch:\n  "switches/@2/reset": 1\n' >"$dir/rime/luna_pinyin.custom.yaml"
        ;;
    esac
}

start_fcitx4() {
    local label=$1 off=() addon
    for addon in "${FCITX4_ENGINE_ADDONS[@]}"; do
        [ "$addon" = "${ADDON[$label]:-}" ] || off+=("$addon")
    done
    start_xvfb
    setup_fcitx4 "$label" "${IM[$label]}"
    fcitx -D -s 0 --disable "$(IFS=,; echo "${off[*]}")" >"$HOME/fcitx.log" 2>&1 &
    FCITX_PID=$!
}

start_fcitx5() {
    local root=$cache/fcitx5-root dir=$HOME/.config/fcitx5
    mkdir -p "$dir"
    printf '%s\n' '[Groups/0]' 'Name=Default' 'Default Layout=us' 'DefaultIM=pinyin' '' \
        '[Groups/0/Items/0]' 'Name=keyboard-us' 'Layout=' '' '[Groups/0/Items/1]' 'Name=pinyin' \
        'Layout=' '' '[GroupOrder]' '0=Default' >"$dir/profile"
    # No display: fcitx 5 needs none to serve its D-Bus front end.
    env -u DISPLAY -u WAYLAND_DISPLAY LD_LIBRARY_PATH="$root/usr/lib/x86_64-linux-gnu" \
        FCITX_ADDON_DIRS="$root/usr/lib/x86_64-linux-gnu/fcitx5" \
        XDG_DATA_DIRS="$root/usr/share:/usr/share" \
        "$root/usr/bin/fcitx5" --disable all --enable "$FCITX5_ADDONS" >"$HOME/fcitx.log" 2>&1 &
    FCITX_PID=$!
}

# Runs as the child of dbus-run-session: one engine, start to results.
inner_main() {
    local label=$1
    export HOME
    HOME=$(mktemp -d /tmp/kaiwo-accuracy.XXXXXX)
    export XDG_RUNTIME_DIR=$HOME/runtime XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    trap inner_cleanup EXIT
    trap 'exit 143' TERM INT
    if [ "${FRAMEWORK[$label]}" = 5 ]; then start_fcitx5; else start_fcitx4 "$label"; fi
    "$DRIVER" --framework "${FRAMEWORK[$label]}" --im "${IM[$label]}" --engine "$label" \
        --corpus "$CORPUS" --set "$SET" --limit "$LIMIT" --pid "$FCITX_PID" --out "$OUT" \
        --details "$DETAILS_DIR/$label.tsv" $TEACH
}

if [ "${1:-}" = "--inner" ]; then
    inner_main "$2"
    exit
fi

# --- outside: packages, corpus, driver, one engine after another -----------

BUILD_DIR=$repo/build SET=test LIMIT=0 OUT="" ENGINES=$ALL_ENGINES TEACH=""
while [ $# -gt 0 ]; do
    case $1 in
    --engines) ENGINES=$2; shift 2 ;;
    --set) SET=$2; shift 2 ;;
    --limit) LIMIT=$2; shift 2 ;;
    --out) OUT=$2; shift 2 ;;
    --no-teach) TEACH=--no-teach; shift ;;
    -h | --help) sed -n '2,6p' "$0"; exit 0 ;;
    -*) log "unknown option $1"; exit 2 ;;
    *) BUILD_DIR=$1; shift ;;
    esac
done
case $SET in test | dev | tuning) ;; *) log "--set is test, dev or tuning"; exit 2 ;; esac
IFS=, read -r -a engines <<<"$ENGINES"
for label in "${engines[@]}"; do
    [ -n "${FRAMEWORK[$label]:-}" ] || { log "unknown engine $label (known: $ALL_ENGINES)"; exit 2; }
done
BUILD_DIR=$(cd "$BUILD_DIR" && pwd)
mkdir -p "$cache"
OUT=${OUT:-$cache/results-$SET.tsv}
DETAILS_DIR=${OUT%.tsv}-details
rm -f "$OUT"
mkdir -p "$DETAILS_DIR"

apt_updated=""
apt_install() {
    local missing=() p
    for p in "$@"; do installed "$p" || missing+=("$p"); done
    [ ${#missing[@]} -gt 0 ] || return 0
    if [ -z "$apt_updated" ]; then
        apt-get update >>"$cache/apt.log" 2>&1 || true
        apt_updated=1
    fi
    log "installing ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" \
        >>"$cache/apt.log" 2>&1
}

# Unpacks the fcitx 5 packages once (the stamp names their versions).
prepare_fcitx5() {
    local root=$cache/fcitx5-root debs=$cache/fcitx5-debs stamp p
    apt_install "${FCITX5_LIBS[@]}" || return 1
    stamp=$(apt-cache policy "${FCITX5_UNPACKED[@]}" | grep -E '^[^ ]|Candidate' | tr -d ' \n')
    [ -f "$root/.stamp" ] && [ "$(cat "$root/.stamp")" = "$stamp" ] && return 0
    rm -rf "$root" "$debs"
    mkdir -p "$root" "$debs"
    (cd "$debs" && apt-get download "${FCITX5_UNPACKED[@]}") >>"$cache/apt.log" 2>&1 || {
        apt-get update >>"$cache/apt.log" 2>&1
        (cd "$debs" && apt-get download "${FCITX5_UNPACKED[@]}") >>"$cache/apt.log" 2>&1
    } || return 1
    for p in "$debs"/*.deb; do dpkg-deb -x "$p" "$root"; done
    echo "$stamp" >"$root/.stamp"
}

check_no_fcitx5_qt_plugin() {
    local dir=/usr/lib/x86_64-linux-gnu/qt5/plugins/platforminputcontexts
    if ls "$dir" 2>/dev/null | grep -qi fcitx5; then
        log "WARNING: a fcitx 5 Qt plugin is installed in $dir; QT_IM_MODULE=fcitx may reach it"
    fi
}

corpus_text() {
    local f c
    find /usr/share/man/zh_CN -type f -name '*.gz' | LC_ALL=C sort | while read -r f; do
        LC_ALL=C.UTF-8 MANWIDTH=10000 man -E UTF-8 -l "$f" 2>/dev/null | LC_ALL=C.UTF-8 col -bx
    done
    for c in "${CATALOGUES[@]}"; do
        f=/usr/share/locale/zh_CN/LC_MESSAGES/$c.mo
        [ -f "$f" ] && msgunfmt --no-wrap "$f" 2>/dev/null | grep '^msgstr'
    done
    return 0
}

# The corpus is rebuilt whenever a source package or the builder changes.
build_corpus() {
    local dir=$cache/corpus npm=$cache/npm stamp owners
    apt_install manpages-zh gettext man-db groff-base bsdextrautils
    command -v node >/dev/null && command -v npm >/dev/null || apt_install nodejs npm
    if [ ! -d "$npm/node_modules/@pinyin-pro/data" ]; then
        mkdir -p "$npm"
        [ -f "$npm/package.json" ] || echo '{"private": true}' >"$npm/package.json"
        log "installing ${NPM_PACKAGES[*]} into $npm"
        npm install --prefix "$npm" --no-audit --no-fund --silent "${NPM_PACKAGES[@]}"
    fi
    owners=$(for c in "${CATALOGUES[@]}"; do
        dpkg -S "/usr/share/locale/zh_CN/LC_MESSAGES/$c.mo" 2>/dev/null | cut -d: -f1
    done | sort -u)
    stamp=$( (dpkg-query -W manpages-zh $owners; sha256sum "$here/make_corpus.mjs"
        declare -f corpus_text; echo "${CATALOGUES[*]} ${NPM_PACKAGES[*]}") | sha256sum | cut -d' ' -f1)
    if [ -f "$dir/stamp" ] && [ "$(cat "$dir/stamp")" = "$stamp" ]; then
        cat "$dir/summary.txt" >&2
        return 0
    fi
    log "building the corpus (about a minute)"
    rm -rf "$dir"
    mkdir -p "$dir"
    corpus_text >"$dir/source.txt"
    node "$here/make_corpus.mjs" "$npm" "$dir" <"$dir/source.txt" >"$dir/summary.txt"
    rm "$dir/source.txt"
    cat "$dir/summary.txt" >&2
    echo "$stamp" >"$dir/stamp"
}

# Whatever an engine's run started goes with its process group.
INNER_PID=""
cleanup() {
    if [ -n "$INNER_PID" ]; then
        kill -TERM -- "-$INNER_PID" 2>/dev/null || true
        wait "$INNER_PID" 2>/dev/null || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() { "$DRIVER" --out "$OUT" --engine "$1" --set "$SET" --fail "$2"; log "$1: $2"; }

# fcitx 4 tells its candidates only to a kimpanel, which the driver plays
# while it teaches.
apt_install xvfb dbus-daemon cmake fcitx-bin fcitx-module-dbus fcitx-module-kimpanel
build_corpus
CORPUS=$cache/corpus/$SET.tsv
cmake --build "$BUILD_DIR" --target bench_accuracy >"$cache/build.log" 2>&1 || {
    cat "$cache/build.log" >&2
    exit 1
}
DRIVER=$BUILD_DIR/bench/accuracy/bench_accuracy
export BUILD_DIR CORPUS SET LIMIT OUT DETAILS_DIR DRIVER TEACH cache

packages=()
for label in "${engines[@]}"; do
    [ "${PACKAGE[$label]}" = - ] || packages+=("${PACKAGE[$label]}")
done
# One package that cannot be had must not keep the others out.
apt_install "${packages[@]}" || for p in "${packages[@]}"; do apt_install "$p" || true; done

for label in "${engines[@]}"; do
    case $label in
    kaiwo)
        cmake --build "$BUILD_DIR" --target fcitx-kaiwo >"$cache/build-kaiwo.log" 2>&1 || {
            fail kaiwo "not run: the addon does not build (see $cache/build-kaiwo.log)"
            continue
        }
        ;;
    fcitx5-pinyin)
        prepare_fcitx5 || { fail "$label" "not run: fcitx 5 packages not available"; continue; }
        check_no_fcitx5_qt_plugin
        ;;
    *)
        installed "${PACKAGE[$label]}" || {
            fail "$label" "not run: ${PACKAGE[$label]} cannot be installed"
            continue
        }
        ;;
    esac
    log "$label: starting"
    export FCITX_LOG=$DETAILS_DIR/$label.fcitx.log
    setsid dbus-run-session -- "$0" --inner "$label" &
    INNER_PID=$!
    wait "$INNER_PID" || log "$label: did not finish (fcitx log: $FCITX_LOG)"
    INNER_PID=""
    grep -q "^$SET	$label	" "$OUT" 2>/dev/null || fail "$label" "failed: the run gave no result"
done

"$DRIVER" --table "$OUT"
log "results: $OUT; every phrase per engine: $DETAILS_DIR/"
