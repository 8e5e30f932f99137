#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test the program.
set -euo pipefail
PKGS=(build-essential cmake qtbase5-dev libqcustomplot-dev libqwt-qt5-dev libxcb1-dev
      qttranslations5-l10n qt5-style-plugins fonts-wqy-microhei xvfb xauth clang libclang-rt-14-dev)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
missing=()
for p in "${PKGS[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
