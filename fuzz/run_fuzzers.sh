#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time over the kept inputs.
#
#   fuzz/run_fuzzers.sh                      every target for 60 s
#   FUZZ_SECONDS=600 fuzz/run_fuzzers.sh     every target for 10 minutes
#   fuzz/run_fuzzers.sh picture mci_file     only these targets
#
# Environment: FUZZ_SECONDS (per target, default 60), FUZZ_BUILD_DIR (default build-fuzz in the
# checkout), FUZZ_WORK_DIR (corpora, logs and findings; default a new temporary folder),
# FUZZ_JOBS (build jobs, default 2).
# Exits 1 when any target found a crash, a leak, a hang (over 10 s for one input) or ran out of
# memory (2 GB); the inputs are in <work>/artifacts/<target>/. Keep such an input as
# tests/fuzz_regressions/<target>/<name> once the fault is fixed: the normal test run replays it.
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$src/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-2}
work=${FUZZ_WORK_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/lunaweave-fuzz.XXXXXX")}
mkdir -p "$work"
all_targets=(picture mci_command mci_file smf_check screen_jump settings)
if (($#)); then targets=("$@"); else targets=("${all_targets[@]}"); fi

# Longest input per target, in bytes: room for a small picture, a short MIDI file, a few dozen
# commands, a settings file, a typed number.
declare -A max_len=([picture]=16384 [mci_command]=2048 [mci_file]=8192 [smf_check]=8192
                    [screen_jump]=256 [settings]=4096)
declare -A dict=([picture]=picture.dict [mci_command]=mci_command.dict [mci_file]=smf.dict
                 [smf_check]=smf.dict [screen_jump]=screen_jump.dict [settings]=settings.dict)

for t in "${targets[@]}"; do
    [[ -n ${max_len[$t]:-} ]] || { echo "unknown target: $t (known: ${all_targets[*]})" >&2; exit 2; }
done
[[ $seconds =~ ^[0-9]+$ && $seconds -gt 0 ]] || { echo "FUZZ_SECONDS must be a positive number" >&2; exit 2; }

if [[ ! -f $build/CMakeCache.txt ]]; then
    CC=clang CXX=clang++ cmake -S "$src" -B "$build" -DLW_FUZZ=ON -DLW_BUILD_TESTS=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "$jobs" --target "${targets[@]/%/_fuzzer}" >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log" >&2; echo "build failed; log: $work/build.log" >&2; exit 2; }

export QT_QPA_PLATFORM=offscreen
# Sanitizer reports go to the target's log (the build makes undefined behaviour fatal).
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}

failed=()
printf '%-12s %8s %12s %8s %8s %s\n' target exec/s executions cov ft result
for t in "${targets[@]}"; do
    corpus=$work/corpus/$t
    artifacts=$work/artifacts/$t
    log=$work/$t.log
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
    stats=$(grep -E '^#[0-9]+[[:space:]]+(DONE|INITED|NEW|REDUCE|pulse)' "$log" | tail -n 1 || true)
    cov=$(sed -nE 's/.* cov: ([0-9]+).*/\1/p' <<<"$stats")
    ft=$(sed -nE 's/.* ft: ([0-9]+).*/\1/p' <<<"$stats")
    runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$log")
    speed=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$log")
    found=$(comm -13 <(echo "$earlier") <(find "$artifacts" -type f | sort) | grep . | head -n 1 || true)
    if [[ $rc -eq 0 && -z $found ]]; then
        result=ok
    else
        result="FAILED (exit $rc) ${found:-see $log}"
        failed+=("$t")
    fi
    printf '%-12s %8s %12s %8s %8s %s\n' "$t" "${speed:-?}" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$result"
done

echo "corpora, logs and findings: $work"
if ((${#failed[@]})); then
    echo "targets with findings: ${failed[*]}" >&2
    exit 1
fi
