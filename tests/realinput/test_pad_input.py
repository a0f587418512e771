#!/usr/bin/env python3
"""The legend pad under real input: the demo host started on a private X
server with a window manager, driven with xdotool's pointer, wheel and keys,
and judged by what it prints, by window titles and by screenshots.

    test_pad_input.py --legendhost PATH --clntool PATH CASE [--dpi 96|144]

Each case starts its own server and host and ends them; the exit status is
0 when the case passed.
"""

import json
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import DEADLINE, Failure, run_case, wait_for  # noqa: E402

PAD_TITLE = "^图例板\\("
EDIT_TITLE = "^修改图例参数$"
HOST_TITLE = "^图例宿主"

# The pad's layout in its own pixels at 96 dpi: the drawing area with its
# 46 x 53 cells, and the scroll bar with an arrow button at each end.
PAD_WIDTH = 160
AREA_LEFT, AREA_TOP = 2, 4
CELL_WIDTH, CELL_HEIGHT = 46, 53
BAR_LEFT, BAR_TOP, BAR_WIDTH, BAR_HEIGHT = 142, 2, 16, 320
# The number field under the grid.
NUMBER_LEFT, NUMBER_TOP, NUMBER_WIDTH, NUMBER_HEIGHT = 70, 332, 58, 20

# Qt's defaults on a plain X desktop: rows a wheel notch scrolls.
WHEEL_ROWS = 3


def point_legend(i, **changes):
    legend = {"name": "点%d" % i, "description": "", "type": "point", "class_code": i,
              "params": {"point_type": "dot", "diameter": 6.0 + i % 5, "colour": 3 + i % 10}}
    legend.update(changes)
    return legend


def write_legends(args, workdir, name, legends):
    document = os.path.join(workdir, name + ".json")
    with open(document, "w", encoding="utf-8") as out:
        json.dump({"format_version": 1, "legends": legends}, out, ensure_ascii=False)
    path = os.path.join(workdir, name + ".CLN")
    subprocess.run([args.clntool, "import", document, path], check=True, capture_output=True, timeout=DEADLINE)
    return path


class Pad:
    """The pad window of a running host, and where its parts are on screen."""

    def __init__(self, session, host):
        self.session = session
        self.host = host
        self.window = session.wait_window(PAD_TITLE)
        # The window manager places the window; wait until it stays put.
        self.x, self.y, width, _ = session.settled_geometry(self.window)
        self.scale = width / PAD_WIDTH

    def point(self, x, y):
        return (self.x + round(x * self.scale), self.y + round(y * self.scale))

    def cell(self, k):
        return self.point(AREA_LEFT + CELL_WIDTH * (k % 3) + CELL_WIDTH // 2,
                          AREA_TOP + CELL_HEIGHT * (k // 3) + CELL_HEIGHT // 2)

    def bar(self, where):
        """The bar's up arrow, down arrow, or the trough's middle."""
        y = {"up": BAR_TOP + BAR_WIDTH // 2, "down": BAR_TOP + BAR_HEIGHT - BAR_WIDTH // 2,
             "middle": BAR_TOP + BAR_HEIGHT // 2}[where]
        return self.point(BAR_LEFT + BAR_WIDTH // 2, y)

    def select_first_cell(self, expected):
        """Clicks the top-left cell and waits for the host to hear of legend @expected."""
        mark = len(self.host.lines)
        self.session.click(*self.cell(0))
        at = self.host.wait_line(r"^WM_LEGEND_(DE)?SELECTED ", mark)
        if self.host.lines[at] != "WM_LEGEND_SELECTED %d" % expected:
            raise Failure("the first cell holds legend %r, expected %d" % (self.host.lines[at], expected))


def start_host(args, session, path):
    host = session.start([args.legendhost, path], "legendhost")
    session.wait_window(HOST_TITLE)
    return host, Pad(session, host)


def wheel(session, at, notches):
    session.move(*at)
    session.xdotool("click", "--repeat", abs(notches), "--delay", 40, 4 if notches < 0 else 5)


def app_windows(session):
    return set(session.windows(class_name="legendhost"))


# --- cases ----------------------------------------------------------------------

def case_wheel_and_bar(args, session, workdir):
    """The wheel over the grid and over the bar, the bar's arrows and the keys
    move grid and thumb together: a click on the top-left cell selects the
    legend the grid shows there."""
    host, pad = start_host(args, session, write_legends(args, workdir, "many", [point_legend(i) for i in range(60)]))
    wheel(session, pad.cell(4), 2)               # rows 1 -> 7
    pad.select_first_cell(3 * 2 * WHEEL_ROWS)
    wheel(session, pad.bar("middle"), 1)         # -> 10
    pad.select_first_cell(3 * 3 * WHEEL_ROWS)
    wheel(session, pad.bar("middle"), -1)        # -> 7
    pad.select_first_cell(3 * 2 * WHEEL_ROWS)
    session.click(*pad.bar("down"))              # the arrow acts from where the wheel left the bar: -> 8
    pad.select_first_cell(3 * (2 * WHEEL_ROWS + 1))
    session.keys("Down", "Down")                 # -> 10
    pad.select_first_cell(3 * (2 * WHEEL_ROWS + 3))
    session.keys("End")                          # -> 20, the last row at the top
    wheel(session, pad.cell(4), 1)               # clamped at the end
    pad.select_first_cell(57)
    wheel(session, pad.cell(4), -30)             # clamped at the start
    pad.select_first_cell(0)


def case_bar_context_menu(args, session, workdir):
    """The scroll bar's own context menu ("Scroll here", "Bottom") moves the
    grid with the thumb, and the arrows go on from there."""
    host, pad = start_host(args, session, write_legends(args, workdir, "many", [point_legend(i) for i in range(60)]))
    before = app_windows(session)

    def menu_item(*keys):
        session.click(*pad.bar("middle"), button=3)
        wait_for("the scroll bar's menu", lambda: app_windows(session) - before)
        session.keys(*keys, "Return")
        wait_for("the menu to close", lambda: not (app_windows(session) - before))

    menu_item("Down")                            # Scroll here: about the middle row
    mark = len(host.lines)
    session.click(*pad.cell(0))
    middle = int(host.lines[host.wait_line(r"^WM_LEGEND_SELECTED ", mark)].split()[1])
    if not 15 <= middle <= 45 or middle % 3:
        raise Failure("after scrolling to the middle the first cell holds legend %d" % middle)
    session.click(*pad.bar("up"))
    pad.select_first_cell(middle - 3)
    menu_item("Down", "Down", "Down")            # Scroll here, Top, Bottom
    pad.select_first_cell(57)
    session.click(*pad.bar("up"))                # from the bottom: one row up
    pad.select_first_cell(54)


def case_go_to_number(args, session, workdir):
    """Typed into the number field, only digits and a leading minus go in;
    Return selects that legend and brings its row to the top of the grid."""
    host, pad = start_host(args, session, write_legends(args, workdir, "many", [point_legend(i) for i in range(60)]))
    session.click(*pad.point(NUMBER_LEFT + NUMBER_WIDTH // 2, NUMBER_TOP + NUMBER_HEIGHT // 2))
    session.keys("ctrl+a")
    mark = len(host.lines)
    session.xdotool("type", "--delay", 60, "x4a5")
    session.keys("Return")
    at = host.wait_line(r"^WM_LEGEND_(DE)?SELECTED ", mark)
    if host.lines[at] != "WM_LEGEND_SELECTED 45":
        raise Failure("typing x4a5 and Return gave %r, expected legend 45" % host.lines[at])
    mark = len(host.lines)
    session.click(*pad.cell(1))
    at = host.wait_line(r"^WM_LEGEND_(DE)?SELECTED ", mark)
    if host.lines[at] != "WM_LEGEND_SELECTED 46":
        raise Failure("after going to 45 the second cell holds %r, expected legend 46" % host.lines[at])


def case_double_clicks(args, session, workdir):
    """A left double-click selects once; a right double-click on a legend
    edits it and leaves no menu; one between legends does nothing; a single
    right click still opens the menu. The fixed-size pad offers no maximise."""
    host, pad = start_host(args, session, write_legends(args, workdir, "three", [point_legend(i) for i in range(3)]))
    hints = session.property(pad.window, "_NET_WM_ALLOWED_ACTIONS")
    if "MAXIMIZE" in hints or "RESIZE" in hints:
        raise Failure("the window manager may maximise or resize the pad: " + hints)
    motif = session.property(pad.window, "_MOTIF_WM_HINTS").split("=")[-1].split(",")
    if len(motif) < 2 or not int(motif[0], 16) & 1 or int(motif[1], 16) & 0x11:
        raise Failure("the pad does not rule out maximising: _MOTIF_WM_HINTS " + ",".join(motif))

    mark = len(host.lines)
    session.click(*pad.cell(1), repeat=2)
    host.wait_line(r"^WM_LEGEND_SELECTED 1$", mark)
    session.click(*pad.cell(2))
    last = host.wait_line(r"^WM_LEGEND_SELECTED 2$", mark)
    events = [line for line in host.lines[mark:last] if line.startswith("WM_LEGEND")]
    if events != ["WM_LEGEND_SELECTED 1"]:
        raise Failure("a double-click told the owner %r" % events)

    shown = app_windows(session)
    session.click(*pad.cell(0), button=3, repeat=2)
    session.wait_window(EDIT_TITLE)
    session.keys("Escape")
    session.wait_no_window(EDIT_TITLE)
    time.sleep(1.0)  # longer than any double-click interval: a menu would be up by now
    if app_windows(session) != shown:
        raise Failure("a window was left open after the right double-click")

    session.click(*pad.cell(5), button=3, repeat=2)  # an empty cell
    time.sleep(1.0)
    if session.windows(name=EDIT_TITLE) or app_windows(session) != shown:
        raise Failure("a right double-click between legends opened something")

    session.click(*pad.cell(0), button=3)
    wait_for("the pad's menu", lambda: app_windows(session) - shown)
    session.keys("Escape")
    wait_for("the menu to close", lambda: app_windows(session) == shown)


FILL = (255, 251, 240)


def _balloon_text_rows(image, origin, scale):
    """The text columns of the tip hanging from @origin, row by row down to
    its bottom frame, found below the middle of its left side."""
    x0, y0 = origin
    side = x0 + round(20 * scale)
    bottom = y0 + round(80 * scale)
    while image.pixel(side, bottom) == FILL:
        bottom += 1
    left, right = x0 + round(27 * scale), x0 + round(103 * scale)
    return [[image.pixel(x, y) for x in range(left, right)] for y in range(y0, bottom)]


def _tip_shown_at(session, origin, scale):
    x, y = origin
    probe = (x + round(20 * scale), y + round(80 * scale))
    image = session.screenshot()
    return image if image.pixel(*probe) == FILL else None


def case_tip_last_line(args, session, workdir):
    """All six lines of a legend's tip are readable: two legends that differ
    only in their number and their size differ in the first line and in a
    whole last line, inside the balloon."""
    tail = lambda n: "00" * n
    legends = [point_legend(0, name="同名图例", description="两个图例只有大小不同", class_code=123456789,
                            block_tail_hex=tail(21)),
               point_legend(0, name="同名图例", description="两个图例只有大小不同", class_code=123456789,
                            block_tail_hex=tail(354))]  # 123 and 456 bytes
    host, pad = start_host(args, session, write_legends(args, workdir, "tips", legends))
    # Tips are switched on from the pad's menu: the third item from the
    # bottom, above the caption mode and 查找图例...
    before = app_windows(session)
    session.click(*pad.point(80, 370), button=3)
    wait_for("the pad's menu", lambda: app_windows(session) - before)
    session.keys("Up", "Up", "Up", "Return")
    wait_for("the menu to close", lambda: app_windows(session) == before)

    shots = []
    # Right to left: the tip hangs right of the pointer, and a pointer moving
    # onto it would hide it.
    for k in (1, 0):
        session.move(*pad.cell(k))
        origin = pad.cell(k)
        image = wait_for("the tip of legend %d" % k, lambda: _tip_shown_at(session, origin, pad.scale))
        shots.append(_balloon_text_rows(image, origin, pad.scale))
    first, second = shots
    if len(first) != len(second):
        raise Failure("two tips of as many lines differ in height: %d and %d" % (len(first), len(second)))
    differing = [y for y in range(len(first)) if first[y] != second[y]]
    if not differing:
        raise Failure("the tips of the two legends look the same")
    runs = []
    for y in differing:
        if runs and y - runs[-1][1] <= 2:
            runs[-1][1] = y
        else:
            runs.append([y, y])
    if len(runs) < 2:
        raise Failure("only the first line of the tip differs: the size line is not shown (rows %r)" % runs)
    top, last = runs[0], runs[-1]
    if last[1] - last[0] < 0.7 * (top[1] - top[0]):
        raise Failure("the size line is cut: rows %r against the first line's %r" % (last, top))
    # The balloon goes on below the last line: the text was not cut at its edge.
    if len(first) - last[1] < 4 * pad.scale:
        raise Failure("the size line touches the balloon's edge")


def _window_image(session, window):
    x, y, w, h = session.geometry(window)
    image = session.screenshot()
    return [[image.pixel(x + i, y + j) for i in range(w)] for j in range(h)]


def case_region_preview(args, session, workdir):
    """The region editor, reached from the pad (a right double-click on a
    region legend, then 图形参数), shows a newly picked fill pattern in its
    preview, and the fill colour there as well."""
    legends = [{"name": "区域", "description": "", "type": "region", "class_code": 7,
                "params": {"fill_colour": 5, "pattern": 0, "cell_width": 8.0, "cell_height": 8.0,
                           "pattern_colour": 1}}]
    host, pad = start_host(args, session, write_legends(args, workdir, "region", legends))
    session.click(*pad.cell(0), button=3, repeat=2)
    session.wait_window(EDIT_TITLE)
    # Name, description, class code, then the graphic parameter button.
    session.keys("Tab", "Tab", "Tab", "space")
    editor = session.wait_window("^区图例参数编辑$")
    time.sleep(0.5)  # let it paint once before the first picture
    before = wait_for("the editor painted", lambda: _window_image(session, editor))
    # The pattern list has the focus: the next pattern.
    session.keys("Down")
    _, _, width, height = session.geometry(editor)

    def preview_changed():
        after = _window_image(session, editor)
        # The preview is in the lower right quarter; the list on the left
        # changes with the choice anyway.
        rows = range(height // 3, height - 40)
        return any(after[y][width // 2:] != before[y][width // 2:] for y in rows)

    wait_for("the preview to show the new pattern", preview_changed, deadline=10)
    session.keys("Escape")
    session.wait_no_window("^区图例参数编辑$")
    session.keys("Escape")
    session.wait_no_window(EDIT_TITLE)


CASES = {
    "wheel_and_bar": case_wheel_and_bar,
    "bar_context_menu": case_bar_context_menu,
    "go_to_number": case_go_to_number,
    "double_clicks": case_double_clicks,
    "tip_last_line": case_tip_last_line,
    "region_preview": case_region_preview,
}


if __name__ == "__main__":
    run_case(CASES, __doc__)
