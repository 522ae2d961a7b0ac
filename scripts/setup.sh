#!/usr/bin/env bash
# Shared set-up for play.sh and test.sh: installs missing Debian packages, configures and builds.
# Sourced, with LW_ROOT set to the checkout; leaves LW_BUILD pointing at the build directory.
set -euo pipefail

LW_BUILD=${LW_BUILD:-$LW_ROOT/build}
LW_PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev libxcb1-dev libfontconfig-dev
  libfluidsynth-dev timgm6mb-soundfont
  libsndfile1-dev libsoxr-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
)
if [[ ${LW_WANT_TEST_TOOLS:-0} == 1 ]]; then
  # The screen-reader tests: an X server, a session bus with the AT-SPI registry, Debian's AT-SPI
  # bindings for its own python3, xdotool to press keys and click through X, and Orca itself
  # with openbox as the window manager it expects. The packaging tests: lintian and the
  # desktop-entry and AppStream validators. espeak-ng: the check that no line's kana reading
  # makes the Japanese voice fall back to English. xclip: the clipboard feed's test reads the
  # CLIPBOARD selection from outside the game.
  LW_PACKAGES+=(xvfb xauth dbus-daemon at-spi2-core python3-pyatspi xdotool orca openbox
                lintian desktop-file-utils appstream espeak-ng xclip)
fi

lw_missing_packages() {
  local pkg missing=()
  for pkg in "${LW_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  echo "${missing[@]:-}"
}

lw_install_packages() {
  local missing
  missing=$(lw_missing_packages)
  [[ -z $missing ]] && return 0
  if [[ $(id -u) -eq 0 ]]; then
    echo "Installing: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get -o DPkg::Lock::Timeout=600 update -qq
    # shellcheck disable=SC2086
    apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $missing
  else
    echo "Some packages the game needs are missing. Install them with:"
    echo "  sudo apt-get install $missing"
    exit 1
  fi
}

lw_build() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  if [[ ! -f $LW_BUILD/CMakeCache.txt ]]; then
    cmake -S "$LW_ROOT" -B "$LW_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$LW_BUILD" -j"$jobs"
}

lw_install_packages
lw_build "$@"
