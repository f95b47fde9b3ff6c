#!/usr/bin/env bash
# Installs everything needed to build, run and test the tool on Debian 12,
# and any further packages named as arguments (scripts/fuzz.sh adds clang).
set -euo pipefail
packages=(
    build-essential cmake pkg-config clang-format
    qtbase5-dev qtbase5-dev-tools qtdeclarative5-dev qttools5-dev qttools5-dev-tools
    qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-controls2
    fcitx-libs-dev libiniparser-dev libx11-dev
    xvfb openbox x11-utils x11-apps x11-xserver-utils imagemagick xdotool
    dbus dbus-x11 psmisc file xdg-utils util-linux procps
    fonts-wqy-microhei fonts-droid-fallback
    dpkg-dev desktop-file-utils appstream lintian
    # The input method: fcitx 4 with its front ends, librime and its data.
    fcitx-bin fcitx-data fcitx-modules fcitx-module-dbus fcitx-module-x11 fcitx-ui-classic
    fcitx-frontend-qt5 fcitx-frontend-gtk3 fcitx-frontend-gtk2
    librime-dev librime-bin libdbus-1-dev rime-data-luna-pinyin rime-prelude rime-essay libopencc-data
    # librime's C++ headers, for the components we register with Rime.
    libboost-dev libgoogle-glog-dev darts libmarisa-dev
    # libime's language model, which scores the sentences of continuous
    # pinyin, and OpenCC to read Rime's traditional words in its script.
    libimecore-dev libimepinyin-dev libfcitx5utils-dev libime-data libime-data-language-model
    libopencc-dev
    # Wubi 86 (with pinyin_simp for its temporary pinyin) and the English words.
    rime-data-wubi rime-data-pinyin-simp wamerican
    # GTK 3 and XIM clients for the typing test.
    zenity xterm
)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
