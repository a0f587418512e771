#ifndef LEGEND_LEGEND_H
#define LEGEND_LEGEND_H
/**
 * @file legend.h
 * The functions liblegend.so exports for legend pads and the legend editor,
 * usable from C and C++.
 *
 * A legend pad is a small floating window showing the legends of one legend
 * file (.CLN) as a grid of drawn samples. The host creates a pad, keeps the
 * returned handle, and passes it back to every other function here; when the
 * user picks a legend the pad tells the host's MapProject object and sends
 * an event to the owner window (see "Owner events" below), and the host then
 * asks the pad about that legend with the query functions.
 *
 * Threads: every function must be called on the thread that runs the
 * QApplication (the GUI thread). A call from any other thread does nothing
 * and returns the function's failure result (0, or NULL for
 * CreateCLNPadWindow). When the host has no QApplication at the first call,
 * the library creates one on the calling thread, which then is the GUI
 * thread (like any QApplication it needs a display, or
 * QT_QPA_PLATFORM=offscreen); a host that has only a QCoreApplication or QGuiApplication gets
 * the failure result everywhere, since pads are widgets.
 *
 * Failures: no exception ever leaves these functions; an internal error
 * gives the failure result.
 *
 * Handles: a pad handle is valid from CreateCLNPadWindow until
 * CloseCLNPadWindow; the user cannot close a pad, only the host can. Only a
 * null handle is detected; any other handle must be a live one. In C++ the
 * handle is the pad's window: static_cast<QWidget*>(handle) gives the
 * QWidget to move, or to send WM_LEGEND_RELOAD to. Never delete it.
 *
 * Texts in legend files (names, descriptions, attribute text) are GBK bytes;
 * paths are the platform's own bytes (UTF-8 on Linux).
 *
 * Owner events: the pad delivers these synchronously to its owner QWidget
 * as LegendEvent objects (legend/legend_events.h) with these QEvent types,
 * so the owner's handler runs inside the pad's click handling and may call
 * the query functions on the same pad:
 *  - WM_LEGEND_SELECTED (1164): wParam is the legend index just selected
 *    (also sent when it is selected again, or edited from the pad while
 *    selected); the MapProject has already been given the legend.
 *  - WM_LEGEND_DESELECTED (1165): wParam is the legend index that was
 *    selected; the MapProject has already been given sSetSelCLNFlg(0).
 * A pad created without an owner window, and with no active window at that
 * moment, tells neither its owner nor its MapProject about selections.
 * Sending a LegendEvent of type WM_LEGEND_RELOAD (1163, parameters unused)
 * to the pad's QWidget reloads it like ReloadCLNPadWindow.
 *
 * The legend editor (OpenCLNEditWindow, NewCLNEditWindow) is a modal window
 * over one legend file; the call returns when the user leaves it. Given a
 * pad handle, the editor reloads that pad after it has written the file, so
 * a pad showing the same file is up to date when the call returns.
 */

#include <stdint.h>

#include "legend/records.h"

/** Bytes of a path buffer, NUL included; paths hold at most 259 bytes. */
#define LEGEND_PATH_BUFFER 260
/** Bytes of a legend head record as GetCLNHeadInfo copies it. */
#define LEGEND_HEAD_BYTES 333

/** Event a host sends to a pad to reload it (see "Owner events" above). */
#define LEGEND_EVENT_RELOAD 1163
/** Owner event: the user has chosen a legend in the pad. */
#define LEGEND_EVENT_SELECTED 1164
/** Owner event: the pad has no chosen legend any more. */
#define LEGEND_EVENT_DESELECTED 1165

/* C hosts know the owner events by these names; C++ hosts take the same
 * names as constants from legend/legend_events.h, which a macro would
 * clash with. */
#ifndef __cplusplus
#define WM_LEGEND_RELOAD LEGEND_EVENT_RELOAD
#define WM_LEGEND_SELECTED LEGEND_EVENT_SELECTED
#define WM_LEGEND_DESELECTED LEGEND_EVENT_DESELECTED
#endif

#if defined(__GNUC__) || defined(__clang__)
#define LEGEND_API __attribute__((visibility("default")))
#else
#define LEGEND_API
#endif

#ifdef __cplusplus
class QWidget;
class MapProject;
class CATT_STRU;
extern "C" {
#else
/* Opaque to C: a C host only passes these pointers through. */
typedef struct QWidget QWidget;
typedef struct MapProject MapProject;
typedef struct CATT_STRU CATT_STRU;
#endif

/**
 * Runs the legend editor modally on an existing legend file.
 *
 * @param path   legend file path, NUL-terminated, at most 259 bytes; copied
 *               before the editor starts, so it may be read-only.
 * @param pad    pad handle from CreateCLNPadWindow, reloaded after 确定 has
 *               written the file; may be NULL. It must stay open while the
 *               editor runs.
 * @param parent parent window of the editor (may be NULL); not owned.
 * @return 1 when the user confirmed with 确定 and the file was written;
 *         @p pad has been reloaded. A save that fails is reported to the
 *         user by its own message, leaves the old file as it was and keeps
 *         the editor open with every edit, to try 确定 again or leave;
 *         2 when the user left with 取消, Escape or the close box (asked
 *         first when there are changes not yet written): nothing written;
 *         0 when @p path is NULL, longer than 259 bytes, or names no file
 *         that can be opened for reading: the user is told
 *         "图例文件打开失败!文件名非法!" and the editor is not shown.
 * GUI thread only; from another thread: 0, and nothing is shown.
 */
LEGEND_API int32_t OpenCLNEditWindow(const char* path, void* pad, QWidget* parent);

/**
 * Runs the legend editor modally on a new legend file, starting with no
 * legends. On 确定 the editor asks the user for a file name, gives it the
 * extension ".CLN" and writes the file there; when that fails it says so
 * and stays open, and the next 确定 asks for a name again.
 *
 * @param path   the caller's buffer of LEGEND_PATH_BUFFER (260) bytes: set to
 *               the empty text at once, and after result 1 it holds the path
 *               of the new file, NUL-terminated. Never more than
 *               LEGEND_PATH_BUFFER bytes are written; a chosen name that
 *               would not fit is refused in the editor, which stays open.
 * @param pad    pad handle reloaded after 确定 (may be NULL); a host that
 *               wants the pad to show the new file calls SetNewCLNFile with
 *               the returned path.
 * @param parent parent window of the editor (may be NULL); not owned.
 * @return 1 after 确定 (file written, path in @p path); 2 after 取消 or
 *         closing the window (nothing written, @p path empty); 0 for a NULL
 *         @p path, with nothing shown.
 * GUI thread only; from another thread: 0, nothing shown and @p path
 * untouched.
 */
LEGEND_API int32_t NewCLNEditWindow(char* path, void* pad, QWidget* parent);

/**
 * Opens a legend pad on a legend file.
 *
 * The pad loads the file while it is set up. A missing or invalid file still
 * gives a pad, with no legends: its queries answer -1 or 0.
 *
 * @param path         legend file path, NUL-terminated, at most 259 bytes;
 *                     copied, so the caller may free it afterwards.
 * @param visible      0: the pad is never shown and serves only for queries;
 *                     otherwise it is shown at once.
 * @param showMessages 0: the pad shows no message box at all (a file that
 *                     cannot be read fails silently); otherwise it reports
 *                     failures and asks before discarding changes.
 * @param project      receives the selected legend (may be NULL); not owned,
 *                     and must outlive the pad.
 * @param owner        window that receives the owner events (may be NULL:
 *                     the window active at this moment is taken, if any); not
 *                     owned. The pad is a window of its own, not a child of
 *                     the owner: it stays until CloseCLNPadWindow, and stops
 *                     sending events once the owner is deleted.
 * @return the pad handle, or NULL when @p path is NULL or longer than 259
 *         bytes, or when the pad window cannot be created.
 * GUI thread only; from another thread: NULL, and no pad.
 */
LEGEND_API void* CreateCLNPadWindow(const char* path, int32_t visible, int32_t showMessages, MapProject* project,
                                    QWidget* owner);

/**
 * Closes a pad: the MapProject gets sSetSelCLNFlg(0), the user is asked
 * whether to save changes made from the pad (when messages are shown), and
 * the pad is deleted. The handle and everything the pad handed out are
 * invalid afterwards. Called while one of the pad's menus or dialogs is open
 * (from a timer, say), it closes them too; the object itself is deleted
 * once their loops have returned.
 * @param pad    pad handle from CreateCLNPadWindow; NULL gives the failure result.
 * @return 1, or 0 for a NULL handle.
 * GUI thread only; from another thread: 0, and the pad stays open.
 */
LEGEND_API int16_t CloseCLNPadWindow(void* pad);

/**
 * Reads the pad's file again, after it was changed elsewhere. The selection
 * is cleared without telling anyone; attribute data handed out before is
 * invalid. Edits made from the pad and not yet saved are offered for saving
 * into the file first (a pad that shows messages asks, naming the file).
 * @param pad    pad handle from CreateCLNPadWindow; NULL gives the failure result.
 * @return 1, or 0 for a NULL handle, or when the user wanted the edits saved
 *         and the save failed: the pad then keeps them and reads nothing.
 * GUI thread only; from another thread: 0, nothing reloaded.
 */
LEGEND_API int16_t ReloadCLNPadWindow(void* pad);

/**
 * Type of the legend at @p index (0-based position in the file).
 * @param pad    pad handle from CreateCLNPadWindow; NULL gives the failure result.
 * @param index  0-based legend index.
 * @return 0 line, 1 point, 2 region, any other stored value as it is
 *         (sign-extended), -1 for no such legend; 0 for a NULL handle, which
 *         a host cannot tell from a line legend.
 * GUI thread only; from another thread: 0.
 */
LEGEND_API int16_t GetCLNType(void* pad, int32_t index);

/**
 * Copies the point parameter record of the legend at @p index into @p out
 * (94 bytes, caller's memory). Call it for legends GetCLNType reports as
 * points: the record is looked up by the legend's place among the legends of
 * its own type, so asking with another type gives another legend's record
 * or nothing.
 * @param pad    pad handle from CreateCLNPadWindow; NULL gives the failure result.
 * @param out    receives the record; not kept.
 * @param index  0-based legend index.
 * @return 1 copied, 0 not (no such legend, NULL @p out, NULL handle).
 * GUI thread only; from another thread: 0, nothing copied.
 */
LEGEND_API int16_t GetCLNPntInfo(void* pad, PNT_INFOstruct* out, int32_t index);

/**
 * As GetCLNPntInfo, for line legends; same thread rule.
 * @param pad    pad handle from CreateCLNPadWindow; NULL gives 0.
 * @param out    receives the 67-byte record; not kept.
 * @param index  0-based legend index.
 * @return 1 copied, 0 not (no such legend, NULL @p out, NULL handle).
 */
LEGEND_API int16_t GetCLNLinInfo(void* pad, LIN_INFOstruct* out, int32_t index);

/**
 * As GetCLNPntInfo, for region legends; same thread rule.
 * @param pad    pad handle from CreateCLNPadWindow; NULL gives 0.
 * @param out    receives the 63-byte record; not kept.
 * @param index  0-based legend index.
 * @return 1 copied, 0 not (no such legend, NULL @p out, NULL handle).
 */
LEGEND_API int16_t GetCLNRegInfo(void* pad, REG_INFOstruct* out, int32_t index);

/**
 * Copies the path of the pad's file, NUL-terminated, into @p path, which must
 * hold LEGEND_PATH_BUFFER (260) bytes; never more than that is written.
 * @param pad    pad handle from CreateCLNPadWindow; NULL gives the failure result.
 * @param path   the caller's buffer of LEGEND_PATH_BUFFER bytes.
 * @return 1, or 0 for a NULL handle or NULL buffer.
 * GUI thread only; from another thread: 0, nothing written.
 */
LEGEND_API int16_t GetCLNFile(void* pad, char* path);

/**
 * Copies the 333-byte head record of the legend at @p index into @p head
 * (LEGEND_HEAD_BYTES bytes, caller's memory), laid out as in the file: name
 * (0, 128 bytes), description (128, 128 bytes), type (256, signed byte),
 * block offset (257, u32), block size (261, i32), class code (265, i32),
 * reserved (269, 64 bytes); integers little-endian.
 * Note that the index comes before the buffer here.
 * @param pad    pad handle from CreateCLNPadWindow; NULL gives the failure result.
 * @param index  0-based legend index.
 * @param head   the caller's buffer of LEGEND_HEAD_BYTES bytes.
 * @return 1 whether or not the legend exists (the buffer is untouched for an
 *         index outside the file); 0 for a NULL handle or NULL buffer.
 * GUI thread only; from another thread: 0, nothing written.
 */
LEGEND_API int16_t GetCLNHeadInfo(void* pad, int32_t index, unsigned char* head);

/**
 * Reads the attribute structure and attribute record of the legend at
 * @p index from the pad's file. On success @p structure, @p record and
 * @p length receive the structure, the record bytes and the record length;
 * otherwise (no such legend, no attributes, a damaged file) NULL, NULL and 0.
 * When @p length is NULL the query still runs but none of the three outputs
 * is written.
 *
 * The structure and the record belong to the pad: never free them. They stay
 * valid until the next GetCLNAttInfo on the same pad, a reload,
 * SetNewCLNFile or CloseCLNPadWindow; copy them to keep them longer. A C++
 * host reads the structure through the CATT_STRU class it is built with,
 * which must be the library's own definition.
 *
 * @param pad    pad handle from CreateCLNPadWindow; NULL gives the failure result.
 * @param structure receives the attribute structure (owned by the pad).
 * @param record    receives the attribute record (owned by the pad).
 * @param length    receives the record length in bytes; may be NULL.
 * @param index     0-based legend index.
 * @return 1 whatever the query found; 0 when the handle, @p structure or
 *         @p record is NULL (nothing is written then).
 * GUI thread only; from another thread: 0, nothing written.
 */
LEGEND_API int16_t GetCLNAttInfo(void* pad, CATT_STRU** structure, char** record, int32_t* length, int32_t index);

/**
 * Switches the pad to another legend file and loads it (selection cleared,
 * attribute data handed out before invalid). A file that cannot be read
 * leaves the pad empty but switched. Unsaved edits are offered for saving
 * into the old file first, as ReloadCLNPadWindow does.
 * @param path NUL-terminated, at most 259 bytes; copied.
 * @param pad    pad handle from CreateCLNPadWindow; NULL gives the failure result.
 * @return 1; 0 for a NULL handle, a NULL path, or a path longer than 259
 *         bytes, which changes nothing, or when the edits' save failed (see
 *         ReloadCLNPadWindow).
 * GUI thread only; from another thread: 0, nothing changed.
 */
LEGEND_API int16_t SetNewCLNFile(void* pad, const char* path);

#ifdef __cplusplus
}
#endif

#endif
