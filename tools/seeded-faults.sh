#!/usr/bin/env bash
# Seeded faults: measures whether the optimised test suite notices small,
# realistic mistakes.  Each fault below is one exact text substitution in one
# source file.  One at a time, the script applies it, builds incrementally,
# runs the suite until the first failing test, and puts the file back.
#
#   tools/seeded-faults.sh                 every fault
#   tools/seeded-faults.sh --only a,b      the named faults
#   tools/seeded-faults.sh --list          the faults, without running any;
#                                          a stale row is reported
#
# Environment:
#   BUILD           build directory, relative to the repository (default: build);
#                   configured as a Release build when missing
#   JOBS            parallel build jobs and test processes (default: 2)
#   ORV_BUILD_LOCK  a lock file shared with other builds on this machine; when
#                   set, each build-and-test step holds it (flock), and only
#                   that step, so others can interleave between faults
#
# Output: one line per fault,
#   caught    NAME  by TEST    a test failed
#   SURVIVED  NAME             the suite passed with the fault in place
#   NO-BUILD  NAME             the fault does not compile: a badly written row
# and a closing summary.  The exit status is 0 whenever the source tree is
# back as it was, whatever the faults did: this is a measuring tool.  It is
# non-zero when a row is stale (its original text is not found exactly once),
# when the suite already fails without any fault, or when the tree could not
# be restored.  An interrupted run restores the sources but may leave a
# faulty binary in the build directory: build again before testing by hand.

set -uo pipefail

usage() {
    sed -n '2,/^$/{s/^# \{0,1\}//;p}' "$0"
}

# ---------------------------------------------------------------------------
# The faults.  fault NAME FILE ORIGINAL REPLACEMENT: ORIGINAL must occur in
# FILE exactly once.  $'...' strings carry the rows that span lines.

NAMES=()
FILES=()
OLDS=()
NEWS=()
fault() {
    NAMES+=("$1")
    FILES+=("$2")
    OLDS+=("$3")
    NEWS+=("$4")
}

# core: a value that ends exactly at the data's end is taken for truncated.
fault chunk-last-value-dropped core/ChunkDataParser.cpp \
    'if (position + valueSize > n)' \
    'if (position + valueSize >= n)'
# core: restoring a chunk stops one control short of the last.
fault setchunk-skips-last-control core/CORVEffectProcess.cpp \
    $'for (int32_t index = 1; index <= GetNumControls(); ++index) {\n        if (index == GetMasterBypassControl())' \
    $'for (int32_t index = 1; index < GetNumControls(); ++index) {\n        if (index == GetMasterBypassControl())'
# core: the meter reads the peak as a power ratio (10 log) instead of an amplitude.
fault meter-power-law core/CORVEffectProcess.cpp \
    'return (20.0f * float(std::log10(double(peak))) + 60.0f) / 60.0f;' \
    'return (10.0f * float(std::log10(double(peak))) + 60.0f) / 60.0f;'
# core: the offline renderer leaves out the last, shorter slice.
fault render-drops-partial-slice core/CORVEffectProcessAS.cpp \
    'while (done < total) {' \
    'while (done + sliceFrames <= total) {'
# core: saves and deletes no longer take the preset file's lock.
fault preset-save-ignores-lock core/CORVPresetFile.cpp \
    $'    const platform::FileLock lock(LockPath());\n    if (!lock.Held())\n        return Failure::NotWritten;\n    Failure failure = Failure::None;' \
    $'    Failure failure = Failure::None;'
# platform: replacing a file forgets the permissions the old one had.
fault replace-file-drops-mode platform/AtomicFile.cpp \
    'const mode_t mode = PermissionsOf(path).value_or(kNewFileMode);' \
    'const mode_t mode = kNewFileMode;'
# platform: MulDiv truncates instead of rounding to nearest.
fault muldiv-truncates platform/MulDiv.cpp \
    'const uint64_t rounded = (magnitude + divisor / 2) / divisor;' \
    'const uint64_t rounded = magnitude / divisor;'
# host: the unit interval is scaled by 2^32 instead of 2^32 - 1.
fault control-unit-scale host/ControlValue.h \
    'return (double(value) + 2147483648.0) / 4294967295.0;' \
    'return (double(value) + 2147483648.0) / 4294967296.0;'
# dsp: a list parameter's entry text truncates instead of rounding.
fault list-text-truncates dsp/CORVDSPParameter.cpp \
    'const float k = std::floor(v + 0.5f);' \
    'const float k = std::floor(v);'
# dsp: the tap interval is taken on signed values, so a pair of taps across
# the tick counter's wrap measures garbage.
fault tap-interval-wraps dsp/CORVParRelations.cpp \
    'const float interval = float(uint32_t(now - tapTime));' \
    'const float interval = float(int64_t(now) - int64_t(tapTime));'
# dsp: the eighth-note triplet's multiplier taken as 8/3 instead of 3.
fault sync-eighth-triplet dsp/SyncCoeff.h \
    '{"1/8 T", 3.0},' \
    '{"1/8 T", 2.67},'
# effects/common: the arc integrates the ramp with the wrong sign.
fault lfo-arc-sign effects/common/CLfo.h \
    'arcValue += speed.arcGain * next;' \
    'arcValue -= speed.arcGain * next;'
# effects/common: past its ceiling a filter plays the clean copy's output but keeps its own state.
fault guard-keeps-old-state effects/common/TransitionGuard.h \
    $'            state = clean;\n            onClean = true;' \
    $'            onClean = true;'
# effects/common: the high-pass takes the low-pass's gain term (copy and paste).
fault butterworth-highpass-gain effects/common/BiquadDesigners.cpp \
    'target = RoundCoefs(t.c2 / t.d, -2.0, 1.0, t.a1, t.a2);' \
    'target = RoundCoefs(t.omega2 / t.d, -2.0, 1.0, t.a1, t.a2);'
# effects/common: the biquad's recursion is no longer flushed to zero.
fault biquad-no-flush effects/common/BiquadKernel.h \
    'const float w = FlushToZero(static_cast<float>(double(u) + s.state1));' \
    'const float w = static_cast<float>(double(u) + s.state1);'
# effects/drive: the fixed sections' recursion is no longer flushed to zero.
fault fixed-section-no-flush effects/drive/FixedSection.h \
    'const float w = FlushToZero(x + s.state1);' \
    'const float w = x + s.state1;'
# effects/drive: the tone controls no longer arm the transition guard after a change.
fault tone-control-unguarded effects/drive/CORVToneControlBase.cpp \
    $'    if (!reinitialise)\n        guard.Arm();' \
    ''
# effects/drive: the graphic EQ feeds each channel's state with the other input.
fault graphic-eq-channels-swapped effects/drive/CORVGraphicEQBase.cpp \
    'return StereoFrame{ProcessChannel(s[0], left), ProcessChannel(s[1], right)};' \
    'return StereoFrame{ProcessChannel(s[0], right), ProcessChannel(s[1], left)};'
# effects/drive: the lowest guitar band "corrected" to the 100 Hz of its name.
fault graphic-eq-lowest-band effects/drive/CORVGraphicEQGuitarDSP.cpp \
    '"Gain 100 Hz",  85.0f},' \
    '"Gain 100 Hz",  100.0f},'
# effects/drive: two digits of the blues drive's clipping knee transposed.
fault blues-clip-knee effects/drive/CBluesDriveStage.h \
    'kBluesClipKnee = 0.85193f;' \
    'kBluesClipKnee = 0.85913f;'
# effects/drive: the drive's clipper limits only the positive half.
fault drive-clip-one-sided effects/drive/CORVDriveDSP.cpp \
    'float Clip(float x) { return std::min(std::max(x, -kClipLimit), kClipLimit); }' \
    'float Clip(float x) { return std::min(x, kClipLimit); }'
# effects/drive: the exciter's 3rd and 4th harmonic levels swapped.
fault exciter-harmonics-swapped effects/drive/CORVExciterDSP.cpp \
    'Value(kThirdHarmonic) / kPercent, Value(kFourthHarmonic) / kPercent,' \
    'Value(kFourthHarmonic) / kPercent, Value(kThirdHarmonic) / kPercent,'
# effects/modulation: the auto pan's gains land on the wrong sides.
fault autopan-sides-swapped effects/modulation/CORVAutoPanDSP.cpp \
    'return StereoFrame{left * gain, right * (kGainSum - gain)};' \
    'return StereoFrame{left * (kGainSum - gain), right * gain};'
# effects/modulation: the tuner's scale has E# where F belongs.
fault tuner-note-names effects/modulation/CPitchAnalyser.cpp \
    "{'D', true}, {'E', false}, {'F', false}," \
    "{'D', true}, {'E', false}, {'E', true},"
# effects/modulation: A4 counted one semitone too high above C0.
fault tuner-a4-index effects/modulation/CPitchAnalyser.cpp \
    'constexpr int32_t kA4Note = 57;' \
    'constexpr int32_t kA4Note = 58;'
# effects/modulation: the upper octave takes the lower octave's level.
fault octaver-upper-level effects/modulation/CORVOctaverDSP.cpp \
    'upperGain = upper.normValue;' \
    'upperGain = lower.normValue;'
# effects/modulation: a factory preset value with two digits transposed.
fault octaver-preset-value effects/modulation/CORVOctaverDSP.cpp \
    '{"Stand Up",    {0.0f,   0.0f,   56.0f}},' \
    '{"Stand Up",    {0.0f,   0.0f,   65.0f}},'
# effects/modulation: the hall takes the big room's early reflections.
fault reverb-hall-early-row effects/modulation/ReverbModes.cpp \
    '{"Hall",       {{2, 1100,' \
    '{"Hall",       {{1, 1100,'
# effects/modulation: the noise gate compares power with an amplitude threshold.
fault gate-threshold-amplitude effects/modulation/CORVNoiseGateDSP.cpp \
    'thresholdPower = threshold * threshold;' \
    'thresholdPower = threshold;'
# effects/modulation: the compressor's gain exponent with the wrong sign.
fault compressor-exponent-sign effects/modulation/CORVCompressorDSP.cpp \
    'exponent = limiting ? kLimitingExponent : 1.0f / ratio - 1.0f;' \
    'exponent = limiting ? kLimitingExponent : 1.0f - 1.0f / ratio;'
# effects/modulation: the BPM delay's beat rounded instead of truncated.
fault bpm-beat-rounded effects/modulation/CORVBPMDelayDSP.cpp \
    'return int32_t(sampleRate * kSecondsPerMinute / beatRate);' \
    'return int32_t(sampleRate * kSecondsPerMinute / beatRate + 0.5);'
# lv2: port indices counted from one.
fault lv2-port-index-from-one lv2/PortLayout.cpp \
    'port.index = uint32_t(ports.size());' \
    'port.index = uint32_t(ports.size() + 1);'
# lv2: a restore no longer takes the restored values as the ports' last
# applied ones, so the next run compares the ports with stale values.
fault lv2-restore-keeps-ports lv2/StompsetPlugin.cpp \
    $'instance_->SetChunk(CORVEffectProcess::kChunkID, {static_cast<const uint8_t*>(data), size});\n    TakeControlsAsApplied();' \
    'instance_->SetChunk(CORVEffectProcess::kChunkID, {static_cast<const uint8_t*>(data), size});'
# cli: an option's value keeps the '=' it was joined with.
fault cli-option-value-equals cli/Arguments.cpp \
    'value = arg.substr(equals + 1);' \
    'value = arg.substr(equals);'
# ui: a switch's position clamps one past its last position.
fault switch-clamp-off-by-one ui/vstgui/CControls.cpp \
    'std::clamp(static_cast<int32_t>(along * maxPositions / length), int32_t{0}, maxPositions - 1);' \
    'std::clamp(static_cast<int32_t>(along * maxPositions / length), int32_t{0}, maxPositions);'
# ui: the menu position counts the current entry itself across separators.
fault menu-position-separators ui/vstgui/COptionMenu.cpp \
    'for (int32_t i = 0; i < currentIndex && i < getNbEntries(); ++i)' \
    'for (int32_t i = 0; i <= currentIndex && i < getNbEntries(); ++i)'
# ui: the knob's handle drawn with the y axis upside down.
fault knob-handle-y-flipped ui/controls/CKnobEX.cpp \
    'const CCoord y = size.top + size.height() / 2 - radius * std::sin(angle) - h / 2;' \
    'const CCoord y = size.top + size.height() / 2 + radius * std::sin(angle) - h / 2;'
# editor: the foot switch toggles on its release as well as on its press.
fault footswitch-toggles-twice ui/editor/CORVStompBoxGUIEditor.cpp \
    'if (value >= 1.0f)' \
    'if (value >= 0.0f)'
# editor: queued host changes applied newest first.
fault editor-queue-reversed ui/editor/CORVStompBoxGUIEditor.cpp \
    'for (size_t i = 0; i < indices.size(); ++i)' \
    'for (size_t i = indices.size(); i-- > 0;)'
# lv2: the pedal's foot switch writes the host's enable port the wrong way up.
fault ui-enabled-inverted lv2/StompsetUi.cpp \
    'GetParameterValue(kFootSwitch) > 0.5f ? 0.0f : 1.0f' \
    'GetParameterValue(kFootSwitch) > 0.5f ? 1.0f : 0.0f'
# lv2: a preset message with one value too few is applied as far as it goes.
fault preset-message-count-unchecked lv2/StompsetPlugin.cpp \
    'bool fits = message.count == parameters_.size();' \
    'bool fits = message.count + 1 >= parameters_.size();'
# dsp: the synced tempo (of the effects and the editor's display) takes the
# next division's factor.
fault sync-factor-next-division dsp/SyncCoeff.cpp \
    'kSyncDivisions[size_t(entry)].multiplier' \
    'kSyncDivisions[size_t(entry) % 8 + 1].multiplier'

# ---------------------------------------------------------------------------

ROOT=$(git -C "$(dirname "$0")" rev-parse --show-toplevel) || exit 2
cd "$ROOT" || exit 2
BUILD=${BUILD:-build}
JOBS=${JOBS:-2}
LOCK=${ORV_BUILD_LOCK:-}

die() {
    echo "seeded-faults: $*" >&2
    exit 2
}

# Counts ORIGINAL in FILE and, with a replacement given, writes FILE with the
# single occurrence replaced.  Bytes are kept exactly as they are.
substitute() { # FILE ORIGINAL [REPLACEMENT]
    FAULT_OLD="$2" FAULT_NEW="${3-}" FAULT_APPLY="${3+1}" python3 - "$1" <<'PY'
import os, sys
path = sys.argv[1]
old = os.environ["FAULT_OLD"].encode()
new = os.environ["FAULT_NEW"].encode()
with open(path, "rb") as f:
    text = f.read()
count = text.count(old)
if count != 1:
    print(f"{path}: the original text occurs {count} times, not once", file=sys.stderr)
    sys.exit(3)
if os.environ.get("FAULT_APPLY"):
    with open(path, "wb") as f:
        f.write(text.replace(old, new, 1))
PY
}

# Every row is checked before anything runs, so a stale row stops the run
# instead of being skipped.
check_rows() {
    local i bad=0 seen=" "
    for i in "${!NAMES[@]}"; do
        if [[ $seen == *" ${NAMES[$i]} "* ]]; then
            echo "seeded-faults: fault '${NAMES[$i]}' is defined twice" >&2
            bad=1
        fi
        seen+="${NAMES[$i]} "
        if [[ ! -f ${FILES[$i]} ]]; then
            echo "seeded-faults: fault '${NAMES[$i]}': no file ${FILES[$i]}" >&2
            bad=1
        elif [[ ${OLDS[$i]} == "${NEWS[$i]}" ]]; then
            echo "seeded-faults: fault '${NAMES[$i]}' changes nothing" >&2
            bad=1
        elif ! substitute "${FILES[$i]}" "${OLDS[$i]}"; then
            echo "seeded-faults: fault '${NAMES[$i]}' is stale: update its row" >&2
            bad=1
        fi
    done
    return $bad
}

list_faults() {
    local i
    for i in "${!NAMES[@]}"; do
        printf '%-30s %s\n' "${NAMES[$i]}" "${FILES[$i]}"
    done
}

ONLY=""
while (($#)); do
    case $1 in
    --list) list_faults; check_rows || exit 2; exit 0 ;;
    --only) (($# >= 2)) || die "--only needs a list of fault names"; ONLY=$2; shift ;;
    --only=*) ONLY=${1#--only=} ;;
    -h | --help) usage; exit 0 ;;
    *) die "unknown argument '$1' (see --help)" ;;
    esac
    shift
done

SELECTED=()
if [[ -n $ONLY ]]; then
    IFS=',' read -r -a wanted <<<"$ONLY"
    for name in "${wanted[@]}"; do
        found=""
        for i in "${!NAMES[@]}"; do
            [[ ${NAMES[$i]} == "$name" ]] && found=$i
        done
        [[ -n $found ]] || die "no fault named '$name' (see --list)"
        SELECTED+=("$found")
    done
else
    SELECTED=("${!NAMES[@]}")
fi

command -v python3 >/dev/null || die "python3 is needed to apply the faults"
check_rows || exit 2

# The tree as it is now, local changes included, is what must come back.
tree_state() { git diff --binary HEAD | sha256sum; }
TREE_BEFORE=$(tree_state)

WORK=$(mktemp -d "${TMPDIR:-/tmp}/seeded-faults.XXXXXX") || die "no temporary folder"
APPLIED=""  # the file that currently carries a fault
BACKUP="$WORK/original"

restore() {
    [[ -n $APPLIED ]] || return 0
    # Copying (not moving) gives the file a new modification time, so the
    # next build recompiles it and no faulty object stays in the build.
    if cp "$BACKUP" "$APPLIED" && cmp -s "$BACKUP" "$APPLIED"; then
        APPLIED=""
        return 0
    fi
    echo "seeded-faults: could not restore $APPLIED; its original is in $BACKUP" >&2
    return 1
}

finish() {
    local status=$?
    trap - EXIT INT TERM
    if ! restore; then
        exit 3
    fi
    if [[ $(tree_state) != "$TREE_BEFORE" ]]; then
        echo "seeded-faults: the source tree differs from how it was at the start:" >&2
        git status --short >&2
        exit 3
    fi
    rm -rf "$WORK"
    exit "$status"
}
trap finish EXIT
trap 'echo; echo "seeded-faults: interrupted" >&2; exit 130' INT TERM

# The lock, when asked for, is held around each build-and-test step only.
if [[ -n $LOCK ]]; then
    exec 9>>"$LOCK" || die "cannot open the lock file $LOCK"
fi
lock() { [[ -z $LOCK ]] || flock 9; }
unlock() { [[ -z $LOCK ]] || flock -u 9; }

build() { # LOG
    cmake --build "$BUILD" -j"$JOBS" >"$1" 2>&1 9>&-
}

# Runs the suite until the first failure; prints the first failing test:
# the first case a failing runner names, else the failing CTest test.
run_suite() { # LOG
    local rc
    ctest --test-dir "$BUILD" -j"$JOBS" --stop-on-failure --output-on-failure --timeout 600 >"$1" 2>&1 9>&-
    rc=$?
    ((rc == 0)) && return 0
    local first
    first=$(sed -n -E 's/^\[  FAILED  \] ([^ ,]+).*/\1/p' "$1" | head -n 1)
    [[ -n $first ]] || first=$(sed -n -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) .*\*\*\*.*/\1/p' "$1" | head -n 1)
    echo "${first:-<ctest exit $rc, no failing test named>}"
    return 1
}

START=$SECONDS

if [[ ! -f $BUILD/CMakeCache.txt ]]; then
    echo "seeded-faults: configuring $BUILD (Release)"
    lock
    cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >"$WORK/configure.log" 2>&1 9>&- || {
        cat "$WORK/configure.log" >&2
        die "configuring $BUILD failed"
    }
    unlock
fi

# Without a fault the suite must pass, or every fault would look caught.
echo "seeded-faults: building and testing the tree as it is"
lock
if ! build "$WORK/build.log"; then
    tail -n 30 "$WORK/build.log" >&2
    die "the tree does not build without any fault"
fi
if ! failing=$(run_suite "$WORK/test.log"); then
    die "the suite fails without any fault ($failing); fix that first"
fi
unlock

CAUGHT=0
SURVIVED=0
NOBUILD=0
SURVIVORS=()
BROKEN=()
for i in "${SELECTED[@]}"; do
    name=${NAMES[$i]}
    file=${FILES[$i]}
    step_start=$SECONDS
    cp "$file" "$BACKUP" || die "cannot back up $file"
    APPLIED=$file
    substitute "$file" "${OLDS[$i]}" "${NEWS[$i]}" || die "fault '$name' could not be applied"

    lock
    if ! build "$WORK/build.log"; then
        result="NO-BUILD  $name"
        NOBUILD=$((NOBUILD + 1))
        BROKEN+=("$name")
        grep -m 5 -E 'error|Error' "$WORK/build.log" | sed 's/^/    /' >&2
    elif failing=$(run_suite "$WORK/test.log"); then
        result="SURVIVED  $name"
        SURVIVED=$((SURVIVED + 1))
        SURVIVORS+=("$name")
    else
        result="caught    $name  by $failing"
        CAUGHT=$((CAUGHT + 1))
    fi
    unlock

    restore || exit 3
    printf '%s  (%ds)\n' "$result" $((SECONDS - step_start))
done

# Leave the build directory matching the restored sources, so nobody runs
# test binaries that still carry the last fault.
echo "seeded-faults: rebuilding the restored tree"
lock
build "$WORK/build.log" || {
    tail -n 30 "$WORK/build.log" >&2
    echo "seeded-faults: the restored tree did not build" >&2
}
unlock

echo
echo "$CAUGHT caught, $SURVIVED survived$( ((NOBUILD)) && echo ", $NOBUILD did not build") in $((SECONDS - START))s"
((SURVIVED)) && echo "survivors: ${SURVIVORS[*]}"
((NOBUILD)) && echo "rows that do not compile (fix them): ${BROKEN[*]}"
exit 0
