#!/usr/bin/env python3
"""The project legend editor, and the pad's own menu, under real input: the
demo host on a private X server with a window manager, the editor opened
from the host's 文件 menu, driven with xdotool's pointer and keys, and judged
by window titles, by what the host prints, by the file written and by
screenshots.

    test_editor_input.py --legendhost PATH --clntool PATH CASE

Each case starts its own server and host and ends them; the exit status is
0 when the case passed.
"""

import json
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from test_pad_input import EDIT_TITLE, PAD_TITLE, app_windows, point_legend, start_host, write_legends  # noqa: E402
from xsession import DEADLINE, Failure, run_case, wait_for  # noqa: E402

EDITOR_TITLE = "^工程图例编辑器- "
# The editor's message boxes carry its name, without a file's, as their title.
BOX_TITLE = "^工程图例编辑器$"

# The editor is laid out on a grid of dialog units: 202 x 189 of them make
# its smallest size, which it gives the window manager as its minimum.
EDITOR_UNITS = (202, 189)
# Centres of its buttons, in dialog units.
OK_BUTTON = (99, 19)
DELETE_BUTTON = (99, 134)
# The legend list's left edge and top, in dialog units.
LIST_LEFT, LIST_TOP = 117, 42


def legends_file(args, workdir, folder="."):
    """Four point legends and a region legend, in @folder of @workdir."""
    legends = [point_legend(i, description="描述%d" % i) for i in range(4)]
    legends.append({"name": "区域", "description": "", "type": "region", "class_code": 7,
                    "params": {"fill_colour": 5, "pattern": 0, "cell_width": 8.0, "cell_height": 8.0,
                               "pattern_colour": 1}})
    place = os.path.join(workdir, folder)
    os.makedirs(place, exist_ok=True)
    return write_legends(args, place, "legends", legends)


def legend_names(args, path):
    dump = subprocess.run([args.clntool, "dump", path], check=True, capture_output=True, timeout=DEADLINE)
    return [legend["name"] for legend in json.loads(dump.stdout)["legends"]]


def is_highlight(pixel):
    # The selection's and the menus' highlight is a strong blue on a grey or
    # white ground.
    return pixel is not None and pixel[2] - pixel[0] > 80


def highlighted_runs(image, x, top, bottom):
    """[first, last] rows of each highlighted run in column @x."""
    runs = []
    for y in range(top, bottom):
        if is_highlight(image.pixel(x, y)):
            if runs and runs[-1][1] == y - 1:
                runs[-1][1] = y
            else:
                runs.append([y, y])
    return runs


def crop(image, x, y, width, height):
    return [image.data[((y + j) * image.width + x) * 3:((y + j) * image.width + x + width) * 3] for j in range(height)]


def choose_from_menu(session, before, keys):
    """Highlights an item of the popup that opened since @before with
    @keys, then clicks it with the pointer, and waits for the popup to go."""
    menu = wait_for("a popup menu", lambda: app_windows(session) - before)
    menu = next(iter(menu))
    x, y, width, height = session.settled_geometry(menu)
    session.keys(*keys)
    # The highlight runs the whole width of the menu; its right end holds no text.
    column = x + width - 4
    runs = wait_for("the item to be highlighted",
                    lambda: highlighted_runs(session.screenshot(), column, y, y + height))
    if len(runs) != 1:
        raise Failure("the menu shows %d highlighted items" % len(runs))
    session.click(x + width // 2, (runs[0][0] + runs[0][1]) // 2)
    # Only the menu: the item may open a window of its own.
    wait_for("the menu to close", lambda: menu not in app_windows(session))


class Editor:
    """The editor window of a running host, and where its parts are on screen."""

    def __init__(self, session, host):
        self.session = session
        self.host = host
        self.window = session.wait_window(EDITOR_TITLE)
        self.x, self.y, self.width, self.height = session.settled_geometry(self.window)
        hints = session.property(self.window, "WM_NORMAL_HINTS")
        least = [line for line in hints.splitlines() if "minimum size" in line]
        if not least:
            raise Failure("the editor gives no minimum size: " + hints)
        width, height = (int(v) for v in least[0].split(":")[1].split(" by "))
        self.unit = (width / EDITOR_UNITS[0], height / EDITOR_UNITS[1])
        # The editor opens with the first row selected: it gives where the
        # rows are.
        column, top = self.at(LIST_LEFT, LIST_TOP)
        self.column = column + 5
        runs = wait_for("the editor to show its first row selected",
                        lambda: highlighted_runs(session.screenshot(), self.column, top, self.y + self.height))
        if len(runs) != 1:
            raise Failure("the editor opened with %d runs of selected rows, not the first row alone" % len(runs))
        first, last = runs[0]
        self.row_top = first
        # A row is its highlight and a grid line.
        self.row_pitch = last - first + 2

    def at(self, x, y):
        return (self.x + round(x * self.unit[0]), self.y + round(y * self.unit[1]))

    def row(self, k):
        return (self.column + 40, self.row_top + k * self.row_pitch + self.row_pitch // 2 - 1)

    def selected_rows(self):
        image = self.session.screenshot()
        runs = highlighted_runs(image, self.column, self.row_top, self.y + self.height)
        return [k for k in range(64) if any(a <= self.row(k)[1] <= b for a, b in runs)]

    def listed_rows(self):
        """How many rows show a legend's picture at their left end."""
        image = self.session.screenshot()

        def drawn(k):
            x, y = self.column, self.row(k)[1]
            return any(min(image.pixel(x + i, y + j) or (255,)) < 160 for i in range(24) for j in range(-4, 5))

        return next(k for k in range(64) if not drawn(k))

    def wait_closed(self, result):
        """Waits for the editor to go without asking anything, and for the
        host to hear @result."""
        def gone():
            if self.session.windows(name=BOX_TITLE):
                raise Failure("the editor asked something before it closed")
            return not self.session.windows(name=EDITOR_TITLE)

        wait_for("the editor to close", gone)
        self.host.wait_line("^OpenCLNEditWindow %d$" % result)


def open_editor(session, host):
    """The host's 文件 menu, 编辑图例文件: the third item from the bottom."""
    hx, hy, _, _ = session.geometry(session.wait_window("^图例宿主"))
    before = app_windows(session)
    session.click(hx + 22, hy + 10)
    wait_for("the host's 文件 menu", lambda: app_windows(session) - before)
    session.keys("Up", "Up", "Up", "Return")
    return Editor(session, host)


def answer(session, *keys):
    """Waits for a message box and answers it with @keys."""
    session.wait_window(BOX_TITLE)
    session.keys(*keys)
    session.wait_no_window(BOX_TITLE)


YES, NO = ("alt+y",), ("Return",)  # No is the default answer


# --- cases ----------------------------------------------------------------------

def case_leaving(args, session, workdir):
    """Escape leaves an unchanged editor at once. With changes (a held
    Delete key deletes one legend), the window manager's close box asks
    first: No keeps the editor open with its rows, Yes leaves it and the
    file stays as it was."""
    path = legends_file(args, workdir)
    original = open(path, "rb").read()
    host, _ = start_host(args, session, path)

    editor = open_editor(session, host)
    session.keys("Escape")
    editor.wait_closed(2)

    editor = open_editor(session, host)
    if editor.listed_rows() != 5:
        raise Failure("the editor lists %d legends of 5" % editor.listed_rows())
    # The first row, the one selected, goes without a question; held down
    # well past the keyboard's repeat delay, the key still deletes only once.
    session.xdotool("keydown", "Delete")
    time.sleep(1.5)
    session.xdotool("keyup", "Delete")
    session.click(*session.close_button(editor.window))
    answer(session, *NO)
    if not session.windows(name=EDITOR_TITLE):
        raise Failure("No to the question closed the editor")
    # The list is painted again where the question was.
    wait_for("4 legends listed after one was deleted from 5", lambda: editor.listed_rows() == 4, deadline=10)
    session.click(*session.close_button(editor.window))
    answer(session, *YES)
    editor.wait_closed(2)
    if open(path, "rb").read() != original:
        raise Failure("leaving the editor changed the file")


def case_delete_and_edit(args, session, workdir):
    """Rows chosen with click and ctrl+click; the Delete key asks about
    them, No keeps them and Yes deletes them; a left double click on a row
    edits that legend, a middle one does not; a save that cannot be done
    keeps the editor open with its edits, and 确定 writes them once it can."""
    path = legends_file(args, workdir, "folder")
    host, _ = start_host(args, session, path)
    editor = open_editor(session, host)

    session.click(*editor.row(0))
    session.xdotool("keydown", "ctrl")
    try:
        session.click(*editor.row(2))
    finally:
        session.xdotool("keyup", "ctrl")
    wait_for("rows 0 and 2 to be selected", lambda: editor.selected_rows() == [0, 2])
    session.keys("Delete")
    answer(session, *NO)
    # The list is painted again where the question was.
    wait_for("the list as it was after No to the delete question",
             lambda: editor.listed_rows() == 5 and editor.selected_rows() == [0, 2], deadline=10)
    session.keys("Delete")
    answer(session, *YES)
    wait_for("the two rows to go", lambda: editor.listed_rows() == 3)

    # Rows now: 点1, 点3, 区域. Only the left button's double click edits.
    session.click(*editor.row(1), button=2, repeat=2)
    time.sleep(1.0)  # longer than any double-click interval: the dialog would be up by now
    if session.windows(name=EDIT_TITLE):
        raise Failure("a middle double click edited a legend")
    session.click(*editor.row(1), repeat=2)
    session.wait_window(EDIT_TITLE)
    session.keys("ctrl+a")
    session.xdotool("type", "--delay", 60, "edited")
    session.keys("Return")
    session.wait_no_window(EDIT_TITLE)

    # The file's folder goes: the save has nowhere to write.
    folder = os.path.dirname(path)
    shutil.rmtree(folder)
    session.click(*editor.at(*OK_BUTTON))
    answer(session, "Return")  # the save's failure
    if not session.windows(name=EDITOR_TITLE):
        raise Failure("the editor closed after its save failed")

    os.makedirs(folder)
    session.click(*editor.at(*OK_BUTTON))
    editor.wait_closed(1)
    if not os.path.exists(path):
        raise Failure("the editor wrote nothing: it had closed after its failed save")
    names = legend_names(args, path)
    if names != ["点1", "edited", "区域"]:
        raise Failure("the file holds %r" % names)


def case_list_menu(args, session, workdir):
    """The list's popup menu chosen with the pointer: 选中全部 selects every
    row, 反向选择 none of them again; Ctrl+A selects all as well; then 删除
    deletes them all after its question, and 确定 writes an empty file."""
    path = legends_file(args, workdir)
    host, _ = start_host(args, session, path)
    editor = open_editor(session, host)
    below_rows = (editor.row(0)[0], editor.row(7)[1])

    before = app_windows(session)
    session.click(*below_rows, button=3)
    choose_from_menu(session, before, ["Down"])
    wait_for("every row to be selected", lambda: editor.selected_rows() == list(range(5)))
    # On a selected row, the popup keeps the selection it acts on.
    session.click(*editor.row(1), button=3)
    choose_from_menu(session, before, ["Down", "Down"])
    wait_for("no row to be selected", lambda: editor.selected_rows() == [])
    session.keys("ctrl+a")
    wait_for("every row to be selected", lambda: editor.selected_rows() == list(range(5)))

    session.click(*editor.at(*DELETE_BUTTON))
    answer(session, *YES)
    wait_for("the list to be empty", lambda: editor.listed_rows() == 0)
    session.click(*editor.at(*OK_BUTTON))
    editor.wait_closed(1)
    if legend_names(args, path) != []:
        raise Failure("the file still holds %r" % legend_names(args, path))


def case_pad_menu(args, session, workdir):
    """The pad's popup menu chosen with the pointer: 显示点图例 hides the
    point legends (the grid and the total change, the first cell holds the
    region legend) and shows them again; 标题为图例编码 switches the captions
    and back."""
    host, pad = start_host(args, session, legends_file(args, workdir))

    def grid():
        x, y = pad.point(2, 4)
        return crop(session.screenshot(), x, y, round(138 * pad.scale), round(318 * pad.scale))

    def total():
        x, y = pad.point(100, 356)
        return crop(session.screenshot(), x, y, round(50 * pad.scale), round(24 * pad.scale))

    def menu(*keys):
        before = app_windows(session)
        session.click(*pad.cell(0), button=3)
        choose_from_menu(session, before, keys)

    shown, counted = grid(), total()
    menu("Up", "Up", "Up", "Up", "Up")  # 显示点图例: the line filter is greyed in this file
    wait_for("the grid to change", lambda: grid() != shown)
    if total() == counted:
        raise Failure("the total stayed as it was")
    pad.select_first_cell(4)
    mark = len(host.lines)
    session.click(*pad.cell(0))
    host.wait_line("^WM_LEGEND_DESELECTED 4$", mark)

    filtered = wait_for("the plain grid", grid)
    menu("Up", "Up")  # 标题为图例编码, above 查找图例...
    wait_for("the captions to change", lambda: grid() != filtered)
    menu("Up", "Up")  # now 标题为图例名称
    wait_for("the captions to come back", lambda: grid() == filtered)

    menu("Up", "Up", "Up", "Up", "Up")
    wait_for("the point legends to come back", lambda: grid() == shown)
    pad.select_first_cell(0)


def case_pad_find(args, session, workdir):
    """Ctrl+F opens the pad's find field: Enter selects the first legend
    answering the text, Enter again and F3 the next ones, each scrolled into
    view and told to the host as a click; Escape closes the field and leaves
    the pad. The menu's last item opens the field too."""
    host, pad = start_host(args, session, write_legends(args, workdir, "many", [point_legend(i) for i in range(60)]))
    session.click(*pad.point(100, 372))  # the pad's lower frame: the focus, and no legend
    mark = len(host.lines)
    session.keys("ctrl+f", "5", "Return")
    host.wait_line(r"^WM_LEGEND_SELECTED 5$", mark)
    session.keys("Return")  # 点15
    host.wait_line(r"^WM_LEGEND_SELECTED 15$", mark)
    session.keys("F3")  # 点25
    host.wait_line(r"^WM_LEGEND_SELECTED 25$", mark)
    session.keys("Escape")
    time.sleep(0.5)
    if not session.windows(name=PAD_TITLE):
        raise Failure("Escape closed the pad")
    pad.select_first_cell(24)  # 25's row is at the top

    before = app_windows(session)
    session.click(*pad.cell(1), button=3)
    choose_from_menu(session, before, ["Up"])  # 查找图例..., the last item
    mark = len(host.lines)
    session.keys("4", "2", "Return")  # the field opens with its last text selected
    host.wait_line(r"^WM_LEGEND_SELECTED 42$", mark)
    session.keys("Escape")


def case_filter_and_sort(args, session, workdir):
    """Ctrl+F goes to the editor's filter field; typing narrows the list and
    a command acts on the rows shown; clearing the field brings the others
    back; two clicks on the name column's header sort it descending, and a
    command then acts on the row sorted first."""
    path = legends_file(args, workdir)
    host, _ = start_host(args, session, path)
    editor = open_editor(session, host)

    session.keys("ctrl+f", "3")  # 点3: its name, its class code 3, its description 描述3
    wait_for("the filter to leave one row", lambda: editor.listed_rows() == 1)
    session.click(*editor.row(0))
    session.keys("Delete")
    wait_for("the list to be empty", lambda: editor.listed_rows() == 0)
    session.keys("ctrl+f", "BackSpace")
    wait_for("the other rows to come back", lambda: editor.listed_rows() == 4)

    header = (editor.column + 40, editor.row_top - 8)
    session.click(*header)
    session.click(*header)
    time.sleep(0.5)
    session.click(*editor.row(0))  # 区域, first by name descending
    session.keys("Delete")
    wait_for("three rows", lambda: editor.listed_rows() == 3)
    session.click(*editor.at(*OK_BUTTON))
    editor.wait_closed(1)
    names = legend_names(args, path)
    if names != ["点0", "点1", "点2"]:
        raise Failure("the file holds %r" % names)


def case_pad_copy_over_its_file(args, session, workdir):
    """The pad's 当前显示另存为.. chosen with the pointer and saved over the
    pad's own file through the real file dialog and its replace question:
    the file then holds the shown legends alone, the pad reads it back, and
    the host, which was given a legend whose index may now name another,
    hears that it is deselected."""
    path = legends_file(args, workdir)
    host, pad = start_host(args, session, path)

    def menu(*keys):
        before = app_windows(session)
        session.click(*pad.cell(0), button=3)
        choose_from_menu(session, before, keys)

    menu("Up", "Up", "Up", "Up", "Up")  # 显示点图例: the region alone is shown
    pad.select_first_cell(4)
    mark = len(host.lines)
    before = app_windows(session)
    menu("Up", "Up", "Up", "Up", "Up", "Up")  # 当前显示另存为..
    dialog = wait_for("the file dialog", lambda: app_windows(session) - before)
    session.keys("Return")  # the name offered is the pad's own file
    wait_for("the replace question", lambda: app_windows(session) - before - dialog)
    session.keys("alt+y")
    host.wait_line("^WM_LEGEND_DESELECTED 4$", mark)
    names = legend_names(args, path)
    if names != ["区域"]:
        raise Failure("the file holds %r" % names)
    pad.select_first_cell(0)


CASES = {
    "pad_copy_over_its_file": case_pad_copy_over_its_file,
    "pad_find": case_pad_find,
    "filter_and_sort": case_filter_and_sort,
    "leaving": case_leaving,
    "delete_and_edit": case_delete_and_edit,
    "list_menu": case_list_menu,
    "pad_menu": case_pad_menu,
}


if __name__ == "__main__":
    run_case(CASES, __doc__)
