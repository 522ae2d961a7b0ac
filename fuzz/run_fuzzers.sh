#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time over the kept inputs.
#
#   fuzz/run_fuzzers.sh                      every target for 60 s, one after another
#   fuzz/run_fuzzers.sh --time 300 wave      only this target, for 5 minutes
#   fuzz/run_fuzzers.sh --long               every target for 10 minutes, two at a time
#
# Options: --time SECONDS per target (default 60, or FUZZ_SECONDS), --parallel N targets at once
# (default 1, or FUZZ_PARALLEL; each takes one core), --long (= --time 600 --parallel 2).
# Environment: FUZZ_BUILD_DIR (default build-fuzz in the checkout), FUZZ_WORK_DIR (corpora, logs
# and findings; default a new temporary folder), FUZZ_JOBS (build jobs, default 2).
# Prints per target: executions per second, executions, coverage (edges, then features; "a → b"
# from the kept inputs loaded to the end of the run), inputs in the corpus, and the result.
# Exits 1 when any target found a crash, a leak, a hang (over 10 s for one input) or ran out of
# memory (2 GB); the inputs are in <work>/artifacts/<target>/. Keep such an input as
# tests/fuzz_regressions/<target>/<name> once the fault is fixed: the normal test run replays it.
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$src/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
parallel=${FUZZ_PARALLEL:-1}
jobs=${FUZZ_JOBS:-2}
all_targets=(picture mci_command mci_file smf_check screen_jump wave soundfont)

usage() { sed -n '2,16s/^# \{0,1\}//p' "${BASH_SOURCE[0]}" >&2; exit 2; }
targets=()
while (($#)); do
    case $1 in
        --time) [[ $# -ge 2 ]] || usage; seconds=$2; shift 2 ;;
        --parallel) [[ $# -ge 2 ]] || usage; parallel=$2; shift 2 ;;
        --long) seconds=600; parallel=2; shift ;;
        -h|--help) usage ;;
        -*) echo "unknown option: $1" >&2; usage ;;
        *) targets+=("$1"); shift ;;
    esac
done
((${#targets[@]})) || targets=("${all_targets[@]}")

# Longest input per target, in bytes: room for a small picture, a short MIDI file, a few dozen
# commands, a typed number, a short wave file in any encoding, a SoundFont of a few presets.
declare -A max_len=([picture]=16384 [mci_command]=2048 [mci_file]=8192 [smf_check]=8192
                    [screen_jump]=256 [wave]=16384 [soundfont]=16384)
declare -A dict=([picture]=picture.dict [mci_command]=mci_command.dict [mci_file]=smf.dict
                 [smf_check]=smf.dict [screen_jump]=screen_jump.dict [wave]=wave.dict
                 [soundfont]=soundfont.dict)

for t in "${targets[@]}"; do
    [[ -n ${max_len[$t]:-} ]] || { echo "unknown target: $t (known: ${all_targets[*]})" >&2; exit 2; }
done
[[ $seconds =~ ^[0-9]+$ && $seconds -gt 0 ]] || { echo "the time must be a positive number of seconds" >&2; exit 2; }
[[ $parallel =~ ^[0-9]+$ && $parallel -gt 0 ]] || { echo "--parallel must be a positive number" >&2; exit 2; }

work=${FUZZ_WORK_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/lunaweave-fuzz.XXXXXX")}
mkdir -p "$work"
if [[ ! -f $build/CMakeCache.txt ]]; then
    CC=clang CXX=clang++ cmake -S "$src" -B "$build" -DLW_FUZZ=ON -DLW_BUILD_TESTS=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "$jobs" --target "${targets[@]/%/_fuzzer}" >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log" >&2; echo "build failed; log: $work/build.log" >&2; exit 2; }

export QT_QPA_PLATFORM=offscreen
# Sanitizer reports go to the target's log (the build makes undefined behaviour fatal).
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

# Runs one target; its exit code and the findings it left go to <work>/<target>.rc and .found.
run_target() {
    local t=$1 corpus=$work/corpus/$1 artifacts=$work/artifacts/$1 log=$work/$1.log earlier rc
    mkdir -p "$corpus" "$artifacts"
    # Findings of earlier runs in a reused work folder do not count against this one.
    earlier=$(find "$artifacts" -type f | sort)
    # The first folder receives what the fuzzer finds; the kept inputs are read, never written.
    # Paths are absolute: some targets change their working directory.
    set +e
    timeout -k 10 $((seconds + 120)) "$build/fuzz/${t}_fuzzer" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="${max_len[$t]}" \
        -dict="$src/fuzz/${dict[$t]}" -artifact_prefix="$artifacts/" -print_final_stats=1 \
        "$corpus" "$src/tests/fuzz_regressions/$t" >"$log" 2>&1
    rc=$?
    set -e
    echo "$rc" >"$work/$t.rc"
    comm -13 <(echo "$earlier") <(find "$artifacts" -type f | sort) | grep . >"$work/$t.found" || true
}

# One value of libFuzzer's status lines: the first line matching $2 (INITED) or the last (end).
status_value() {
    local log=$1 which=$2 key=$3 line
    if [[ $which == start ]]; then
        line=$(grep -E '^#[0-9]+[[:space:]]+INITED' "$log" | head -n 1 || true)
    else
        line=$(grep -E '^#[0-9]+[[:space:]]+(DONE|INITED|NEW|REDUCE|pulse)' "$log" | tail -n 1 || true)
    fi
    sed -nE "s/.* $key: ([0-9]+).*/\1/p" <<<"$line"
}

running=0
for t in "${targets[@]}"; do
    if ((running >= parallel)); then
        wait -n || true
        running=$((running - 1))
    fi
    run_target "$t" &
    running=$((running + 1))
done
wait

failed=()
printf '%-12s %8s %12s %15s %15s %7s %s\n' target exec/s executions cov ft corpus result
for t in "${targets[@]}"; do
    log=$work/$t.log
    rc=$(cat "$work/$t.rc")
    found=$(head -n 1 "$work/$t.found")
    runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log")
    speed=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$log")
    cov="$(status_value "$log" start cov)→$(status_value "$log" end cov)"
    ft="$(status_value "$log" start ft)→$(status_value "$log" end ft)"
    corpus=$(status_value "$log" end corp)
    if [[ $rc -eq 0 && -z $found ]]; then
        result=ok
    else
        result="FAILED (exit $rc) ${found:-see $log}"
        failed+=("$t")
    fi
    printf '%-12s %8s %12s %15s %15s %7s %s\n' "$t" "${speed:-?}" "${runs:-?}" "$cov" "$ft" "${corpus:-?}" "$result"
done

echo "${seconds} s per target, ${parallel} at a time; corpora, logs and findings: $work"
if ((${#failed[@]})); then
    echo "targets with findings: ${failed[*]}" >&2
    exit 1
fi
