#!/usr/bin/env python3
"""Plants plausible one-line faults in a scratch copy of the tree, one at a
time, and reports how many the test suite catches.

Each fault replaces one exact text in one file. The copy lives in
build/mutation/tree (the tracked files of the working tree, uncommitted edits
included) with its own build directory, so the developer's build is never
touched and ccache serves the unchanged files. For each fault the affected
targets are rebuilt; the tests most likely to notice run first and, only if
they pass, the rest of the suite (without the real-input tests, which need a
display server) until a test fails.

    scripts/mutation-sample.py            run every fault
    scripts/mutation-sample.py --check    only check that every fault applies
    scripts/mutation-sample.py ID...      run the named faults
    --no-baseline                         skip the suite's run on the unmodified copy
"""

import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

# (id, file, original text, faulty text, ctest regex of the tests to run first,
#  the test programs that hold them)
FAULTS = [
    # legend files and the pad's legend set
    ("check-count-limit", "src/legendfile/file_check.cpp",
     "if (n > layout::kMaxLegends) {", "if (n >= layout::kMaxLegends) {", "InspectFile|clntool", ["legend_core_tests", "legend_qt_tests"]),
    ("set-count-limit", "src/legendfile/legend_set.cpp",
     "if (n < 0 || n > layout::kMaxLegends ||", "if (n < 0 || n >= layout::kMaxLegends ||", "PadLegendSet|Prefixes", ["legend_core_tests"]),
    ("block-params-fill", "src/legendfile/data_block.cpp",
     "if (parts.paramSize >= size) {", "if (parts.paramSize > size) {", "PadLegendSet|InspectFile|Prefixes", ["legend_core_tests"]),
    ("display-position-bound", "src/legendfile/legend_set.cpp",
     "if (position < 0 || position >= displayCount()) return -1;",
     "if (position < 0 || position > displayCount()) return -1;", "PadLegendSet|PadModel", ["legend_core_tests"]),
    ("record-past-end-zero", "src/legendfile/legend_set.cpp",
     "std::memset(record.destination + available, 0, record.length - available);", "",
     "PadLegendSet|Prefixes", ["legend_core_tests"]),
    ("tip-type-names", "src/legendfile/legend_set.cpp",
     "if (h.type() >= 0 && h.type() <= 2)", "if (h.type() > 0 && h.type() <= 2)", "PadLegendSet", ["legend_core_tests"]),
    ("gbk-private-use-end", "src/legendfile/gbk_codec.cpp",
     "} else if (c >= 0xE000 && c < 0xF8FF) {", "} else if (c > 0xE000 && c < 0xF8FF) {", "GbkCodec|GbkText", ["legend_core_tests", "legend_qt_tests"]),
    ("header-second-mark", "src/legendfile/header.cpp",
     "if (firstBytes[layout::kMarkOffset] != kMarkTwo || firstBytes[layout::kMarkOffset + 1] != kMarkArrow) return -1;",
     "if (firstBytes[layout::kMarkOffset] != kMarkTwo) return -1;", "PadLegendSet|Prefixes|EditorStoreLoad",
     ["legend_core_tests"]),
    # saves
    ("pad-save-changed-elsewhere", "src/legendfile/pad_save.cpp",
     "if (!set.fileIsAsLoaded()) return {LegendStatus::FileChangedElsewhere",
     "if (false && !set.fileIsAsLoaded()) return {LegendStatus::FileChangedElsewhere", "PadSave|PadModel", ["legend_core_tests"]),
    ("pad-copy-source-changed", "src/legendfile/pad_save.cpp",
     "if (!set.fileIsAsLoaded()) return {LegendStatus::SourceChangedElsewhere",
     "if (false) return {LegendStatus::SourceChangedElsewhere", "PadSave", ["legend_core_tests"]),
    ("pad-own-file-copy-not-read-back", "src/pad/model/pad_model.cpp",
     "if (!replaced || !current(generation) || !legend::sameFile(*path, set_.path())) return;",
     "if (!replaced || !current(generation) || legend::sameFile(*path, set_.path())) return;", "PadModel", ["legend_core_tests"]),
    ("editor-save-path-limit", "src/editor/model/editor_save.cpp",
     "if (path_.size() > layout::kMaxPathBytes)", "if (path_.size() > layout::kMaxPathBytes + 1)", "EditorSave", ["legend_core_tests"]),
    ("editor-save-block-check", "src/editor/model/editor_save.cpp",
     "if (!fileHolds(head.blockOffset(), head.blockSize())) return std::nullopt;",
     "if (false && !fileHolds(head.blockOffset(), head.blockSize())) return std::nullopt;", "EditorSave|SaveFaults", ["legend_core_tests"]),
    # attribute structures
    ("att-decimals-limit", "src/components/attstru/att_stru.cpp",
     "if (field.decimals > CATT_STRU::kMaxDecimals ||", "if (field.decimals >= CATT_STRU::kMaxDecimals ||",
     "AttStru", ["legend_core_tests"]),
    ("att-field-count", "src/components/attstru/att_stru.cpp",
     "if (count > CATT_STRU::kMaxFields) return -1;", "if (count > CATT_STRU::kMaxFields + 1) return -1;",
     "AttStru", ["legend_core_tests"]),
    ("att-date-month", "src/components/attstru/att_stru.cpp",
     "date.month < 1 || date.month > 12", "date.month < 1 || date.month > 13", "AttStru", ["legend_core_tests"]),
    # the pad's model
    ("click-toggle-index", "src/pad/model/pad_model.cpp",
     "if (position == set_.selectedPosition()) {", "if (position == set_.selectedIndex()) {", "PadModel|LegendPadDlg", ["legend_core_tests", "legend_qt_tests"]),
    ("grayed-points-checked", "src/pad/model/pad_model.cpp",
     "state.pointsChecked = state.pointsEnabled && set_.showPoints();", "state.pointsChecked = set_.showPoints();",
     "PadModel|LegendPadDlg", ["legend_core_tests", "legend_qt_tests"]),
    ("go-to-bound", "src/pad/model/pad_model.cpp",
     "*typed >= set_.displayCount()", "*typed > set_.displayCount()", "PadModel|LegendPadDlg", ["legend_core_tests", "legend_qt_tests"]),
    ("hit-test-bound", "src/pad/model/pad_geometry.cpp",
     "if (position < 0 || position >= displayCount) return -1;",
     "if (position < 0 || position > displayCount) return -1;", "PadGeometry|PadModel", ["legend_core_tests"]),
    ("maxima-fall", "src/pad/model/scale_maxima.cpp",
     "if (value > maximum) maximum = value;", "maximum = value;", "ScaledSamples", ["legend_core_tests"]),
    ("maxima-collector-hidden-points", "src/pad/model/scale_maxima.h",
     "if (points_) found_.raiseFromPoint(record);", "found_.raiseFromPoint(record);", "ScaledSamples",
     ["legend_core_tests"]),
    ("pad-load-maxima-dropped", "src/pad/model/pad_model.cpp",
     "scaleMaxima().raiseTo(loaded);", "static_cast<void>(loaded);", "HighDensity", ["legend_high_density_tests"]),
    ("caption-fit", "src/pad/model/cell_drawing.cpp",
     "if (!(std::trunc(estimate) <= limit)) break;", "if (!(std::trunc(estimate) < limit)) break;",
     "CaptionFitting|CellPass", ["legend_core_tests"]),
    ("grid-rows", "src/pad/model/cell_drawing.cpp",
     "for (std::int32_t i = 0; i <= kGridRows; ++i) {", "for (std::int32_t i = 0; i < kGridRows; ++i) {",
     "CellPass", ["legend_core_tests"]),
    # the editor's model and the parameter dialog's model
    ("editor-add-limit", "src/editor/model/editor_store.cpp",
     "if (liveCount_ >= layout::kMaxLegends) {", "if (liveCount_ > layout::kMaxLegends) {", "EditorStore", ["legend_core_tests"]),
    ("class-code-saturation", "src/paramdlg/model/legend_param_model.cpp",
     "std::min<std::int64_t>(magnitude, std::numeric_limits<std::int32_t>::max())",
     "std::min<std::int64_t>(magnitude, std::numeric_limits<std::int32_t>::max() - 1)", "LegendParamModel", ["legend_core_tests"]),
    # host record preparation
    ("host-marker-size", "src/components/host/record_preparation.cpp",
     "zeroIfNotFinite<double>(bytes, {point::kMarkerSize});", "zeroIfNotFinite<float>(bytes, {point::kMarkerSize});",
     "RecordPreparation", ["legend_core_tests"]),
    # drawing
    ("fill-replaces-clip", "src/components/display/fill_patterns.cpp",
     "painter.setClipPath(area, Qt::IntersectClip);", "painter.setClipPath(area, Qt::ReplaceClip);",
     "FillPatterns|DisplayDriver", ["legend_qt_tests"]),
    # windows
    ("tip-empty-size", "src/pad/window/legend_tip_wnd.cpp",
     "if (w <= 0 || h <= 0) return false;", "if (w < 0 || h < 0) return false;", "LegendTip", ["legend_qt_tests"]),
    ("pad-key-end", "src/pad/window/legend_pad_dlg.cpp",
     "case Qt::Key_End: key = PadKey::End; break;", "case Qt::Key_End: key = PadKey::Home; break;",
     "LegendPadDlg", ["legend_qt_tests"]),
    ("pad-number-letters", "src/pad/window/legend_pad_dlg.cpp",
     "if (input[i] < u'0' || input[i] > u'9') return Invalid;", "", "LegendPadDlg", ["legend_qt_tests"]),
    ("pad-wheel-lines", "src/pad/window/legend_pad_dlg.cpp",
     "parts_->model.wheel(event->angleDelta().y(), QApplication::wheelScrollLines());",
     "parts_->model.wheel(event->angleDelta().y(), 1);", "LegendPadDlg", ["legend_qt_tests"]),
    # exports
    ("type-of-null-handle", "src/api/exports.cpp",
     "return pad ? padOf(pad)->getType(index) : 0;", "return pad ? padOf(pad)->getType(index) : -1;", "PadExports",
     ["legend_api_tests"]),
    ("att-info-without-length", "src/api/exports.cpp",
     "    if (length) {", "    if (structure) {", "PadExports", ["legend_api_tests"]),
    # interchange and clntool
    ("diff-shorter-list", "src/interchange/legend_diff.cpp",
     "const std::size_t n = std::max(before->size(), after->size());",
     "const std::size_t n = std::min(before->size(), after->size());", "LegendDiff|clntool", ["legend_core_tests", "legend_qt_tests"]),
    ("diff-minus-zero", "src/interchange/legend_diff.cpp",
     "return x == y && std::signbit(x) == std::signbit(y);", "return x == y;", "LegendDiff", ["legend_core_tests"]),
    ("json-import-room-unspent", "src/interchange/legend_json.cpp",
     "room -= legends.back().block.size();", "room -= 0;", "LegendJson", ["legend_core_tests"]),
    ("clntool-unwritten-output", "apps/clntool/main.cpp",
     "if (!std::cout.flush()) {", "if (!std::cout.flush() && false) {", "clntool", ["legend_qt_tests"]),
    ("json-date-digits", "src/interchange/legend_json.cpp",
     "if (text[at + k] < '0' || text[at + k] > '9') return false;",
     "if (text[at + k] < '0' || text[at + k] > ':') return false;", "LegendJson", ["legend_core_tests"]),
    ("clntool-columns", "apps/clntool/main.cpp",
     "render.columns < 1 || render.columns > kMaxColumns", "render.columns < 0 || render.columns > kMaxColumns",
     "Render|clntool", ["legend_qt_tests"]),
    ("svg-sheet-first-band-only", "src/pad/sheet/legend_sheet.cpp",
     "for (int band = 0; band < layout.pages(); ++band) {", "for (int band = 0; band < 1; ++band) {",
     "Render", ["legend_qt_tests"]),
    ("svg-band-ids", "src/pad/sheet/svg_bands.cpp",
     "if (name == QLatin1String(\"id\")) return prefix + value;", "if (name == QLatin1String(\"id\")) return value;",
     "Render", ["legend_qt_tests"]),
    ("export-name-numbering", "src/export/exported_legend.cpp",
     "      int number = 2;", "      int number = 1;", "Export", ["legend_qt_tests"]),
]

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build" / "mutation"
TREE = WORK / "tree"
BUILD = TREE / "build" / "default"  # the same relative place as the real build, so ccache hits


def run(args, cwd, log, timeout=None):
    with open(log, "a") as out:
        out.write("$ " + " ".join(map(str, args)) + "\n")
        out.flush()
        try:
            return subprocess.run(args, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            out.write("timed out\n")
            return 124


def copy_tree():
    files = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True, capture_output=True).stdout
    for name in filter(None, files.decode().split("\0")):
        source, target = ROOT / name, TREE / name
        if not source.is_file():
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        if not target.exists() or target.read_bytes() != source.read_bytes():
            shutil.copy2(source, target)


def check():
    problems = 0
    for fault_id, path, old, new, _, _ in FAULTS:
        count = (ROOT / path).read_text().count(old)
        if count != 1:
            print(f"{fault_id}: '{old}' occurs {count} times in {path}")
            problems += 1
    return problems


def caught(focus, programs, log):
    """Builds and runs the focus tests, then builds everything and runs the
    rest; True once a build or a test fails."""
    base = ["ctest", "--test-dir", str(BUILD), "-LE", "realinput", "--stop-on-failure", "-j2", "--timeout", "300"]
    if run(["cmake", "--build", str(BUILD), "-j2", "--target"] + programs, TREE, log) != 0:
        return True
    if run(base + ["-R", focus], TREE, log) != 0:
        return True
    if run(["cmake", "--build", str(BUILD), "-j2"], TREE, log) != 0:
        return True
    return run(base + ["-E", focus], TREE, log) != 0


def main(argv):
    if check():
        return 2
    if "--check" in argv:
        print(f"{len(FAULTS)} faults apply")
        return 0
    names = [a for a in argv if not a.startswith("--")]
    chosen = [f for f in FAULTS if not names or f[0] in names]
    WORK.mkdir(parents=True, exist_ok=True)
    copy_tree()
    log = WORK / "mutation.log"
    log.write_text("")
    if run(["cmake", "--preset", "default", "-DLEGEND_BUILD_BENCH=OFF"], TREE, log) != 0 or \
            run(["cmake", "--build", "--preset", "default", "-j2"], TREE, log) != 0:
        print(f"the unmodified copy does not build (see {log})")
        return 2
    if "--no-baseline" not in argv and run(["ctest", "--test-dir", str(BUILD), "-LE", "realinput", "-j2"], TREE,
                                           log) != 0:
        print(f"the unmodified copy fails its tests (see {log})")
        return 2
    survivors = []
    for fault_id, path, old, new, focus, programs in chosen:
        target = TREE / path
        original = target.read_text()
        target.write_text(original.replace(old, new, 1))
        started = time.monotonic()
        try:
            with open(log, "a") as out:
                out.write(f"\n=== {fault_id}\n")
            verdict = "caught" if caught(focus, programs, log) else "SURVIVED"
        finally:
            target.write_text(original)
            os.utime(target)
        if verdict == "SURVIVED":
            survivors.append(fault_id)
        print(f"{fault_id:28} {verdict:18} {time.monotonic() - started:5.0f} s", flush=True)
    run(["cmake", "--build", str(BUILD), "-j2"], TREE, log)  # leave the copy built as it is
    total = len(chosen)
    print(f"caught {total - len(survivors)}/{total}" + (f"; survived: {', '.join(survivors)}" if survivors else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
