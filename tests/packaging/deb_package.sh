#!/usr/bin/env bash
# Builds the Debian package from a complete build tree, checks where it puts the game, that the
# program is hardened and its symbols are in the -dbgsym package, and runs lintian on it when
# lintian is installed: any error or warning fails.
# Usage: deb_package.sh <cpack> <build dir> <data dir> <app id>. Exit status 77: skipped.
set -euo pipefail
cpack=$1 build=$2 data=$3 app_id=$4

for tool in dpkg-deb readelf; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    exit 1
fi
debs=("$work"/lunaweave_*.deb)
ddebs=("$work"/lunaweave-dbgsym_*.ddeb)
[[ -f ${debs[0]} ]] || { cat "$work/cpack.log"; echo "FAIL: no .deb written"; exit 1; }
deb=${debs[0]}
echo "Built $(basename "$deb")"

# The layout Debian's games have.
dpkg-deb --fsys-tarfile "$deb" | tar -t >"$work/contents"
for path in usr/games/lunaweave usr/libexec/lunaweave/lunaweave usr/libexec/lunaweave/liblunaweave-audio.so \
    usr/share/man/man6/lunaweave.6.gz \
    usr/share/doc/lunaweave/copyright usr/share/doc/lunaweave/changelog.gz \
    usr/share/doc/lunaweave/changelog.Debian.gz usr/share/applications/"$app_id".desktop \
    usr/share/metainfo/"$app_id".metainfo.xml usr/share/icons/hicolor/32x32/apps/"$app_id".png \
    usr/share/icons/hicolor/256x256/apps/"$app_id".png; do
    grep -qxF "./$path" "$work/contents" || fail "missing /$path"
done
if grep -q '^\./usr/bin/' "$work/contents"; then
    fail "files in /usr/bin: the launcher belongs in /usr/games"
fi
# Every file the build wrote into the data directory, and nothing else there.
(cd "$data" && find . -type f ! -name '.*' | sed 's|^\./|./usr/share/lunaweave/|' | sort) >"$work/data.expected"
grep '^\./usr/share/lunaweave/.*[^/]$' "$work/contents" | sort >"$work/data.packaged"
diff -u "$work/data.expected" "$work/data.packaged" || fail "the data directory differs from the build's"
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "Section is not games"
# The audio back end module is opened at run time: its libraries must be named all the same.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libfluidsynth3 libsndfile1 libsoxr0; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

# Hardening, as lintian's hardening checks see it: a position-independent executable, bound
# immediately, calling the stack protector and fortified C library functions.
dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/libexec/lunaweave/lunaweave
readelf -h -l -d -n --dyn-syms -W "$program" >"$work/elf"
grep -q 'Type:[[:space:]]*DYN' "$work/elf" || fail "the program is not position-independent"
grep -Eq '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' "$work/elf" || fail "the program is not linked with -z now"
grep -q GNU_RELRO "$work/elf" || fail "the program has no read-only relocations"
grep -q '__stack_chk_fail' "$work/elf" || fail "no stack protector in the program"
grep -Eq '__[a-z0-9_]+_chk(@| |$)' "$work/elf" || fail "no fortified C library calls in the program"

# The stripped symbols, in the -dbgsym package under the program's build id.
build_id=$(sed -n 's/.*Build ID: \([0-9a-f]*\).*/\1/p' "$work/elf")
if [[ -z $build_id ]]; then
    fail "the program has no build id"
elif [[ ! -f ${ddebs[0]} ]]; then
    fail "no lunaweave-dbgsym package written"
else
    debug_file=./usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug
    dpkg-deb --fsys-tarfile "${ddebs[0]}" | tar -t >"$work/dbgsym-contents"
    grep -qxF "$debug_file" "$work/dbgsym-contents" || fail "lunaweave-dbgsym lacks $debug_file"
fi

if command -v lintian >/dev/null; then
    packages=("$deb")
    [[ -f ${ddebs[0]} ]] && packages+=("${ddebs[0]}")
    echo "lintian --fail-on error,warning --display-info ${packages[*]##*/}"
    lintian_status=0
    lintian --fail-on error,warning --display-info "${packages[@]}" >"$work/lintian" 2>&1 || lintian_status=$?
    cat "$work/lintian"
    ((lintian_status == 0)) || fail "lintian reported errors or warnings"
    # The hardening tags are only information to lintian; here they count.
    if grep -q ' hardening-' "$work/lintian"; then
        fail "lintian found missing hardening"
    fi
else
    echo "lintian is not installed: the package was not linted"
fi

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "The package passed every check"
