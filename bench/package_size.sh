#!/usr/bin/env bash
# The Debian package's size with the 2x twins of the scene and roll pictures and without them.
# Usage: bench/package_size.sh [build dir]   (after a full build; see the README's package section)
# Builds the .deb twice with CPack: as the build made it, then with every "*@2x.*" file of the data
# directory moved aside (put back afterwards, also on failure). The twins of the icons and mascots
# are compiled into the program and are in both. Prints a Markdown table.
set -euo pipefail
build=$(realpath "${1:-build}")
data=$build/data
work=$(mktemp -d)
aside=$work/aside
mkdir -p "$aside"
restore() {
    if compgen -G "$aside/*" >/dev/null; then mv "$aside"/* "$data"/; fi
    rm -rf "$work"
}
trap restore EXIT

package() { # $1: output directory; prints "<bytes of the .deb> <Installed-Size in KiB>"
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$1" >"$1.log" 2>&1 || { cat "$1.log"; exit 1; }
    local deb
    deb=$(ls "$1"/lunaweave_*.deb)
    echo "$(stat -c %s "$deb") $(dpkg-deb -f "$deb" Installed-Size)"
}

twins=$(find "$data" -maxdepth 1 -type f -name '*@2x.*' | wc -l)
twin_bytes=$(find "$data" -maxdepth 1 -type f -name '*@2x.*' -printf '%s\n' | awk '{s += $1} END {print s + 0}')
read -r with_deb with_installed < <(package "$work/with")
find "$data" -maxdepth 1 -type f -name '*@2x.*' -exec mv -t "$aside" {} +
read -r without_deb without_installed < <(package "$work/without")

echo "| package | .deb | installed |"
echo "|---|---|---|"
printf '| with the %d 2x twins (%.2f MiB of files) | %.2f MiB | %.2f MiB |\n' "$twins" \
    "$(echo "$twin_bytes / 1048576" | bc -l)" "$(echo "$with_deb / 1048576" | bc -l)" "$(echo "$with_installed / 1024" | bc -l)"
printf '| without them | %.2f MiB | %.2f MiB |\n' \
    "$(echo "$without_deb / 1048576" | bc -l)" "$(echo "$without_installed / 1024" | bc -l)"
printf '| difference | %.2f MiB (%.1f %%) | %.2f MiB |\n' "$(echo "($with_deb - $without_deb) / 1048576" | bc -l)" \
    "$(echo "100 * ($with_deb - $without_deb) / $without_deb" | bc -l)" \
    "$(echo "($with_installed - $without_installed) / 1024" | bc -l)"
