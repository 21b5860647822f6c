/*
 * Прамбус extensions: skins and plug-ins.
 *
 * This header is all an extension needs; it includes only <stdint.h> and can
 * be used from C (C99 or later) and C++. An extension is a shared library
 * (`NAME.so`) placed in a `skins` or `plugins` folder beside the program, in
 * the installed library folder (for example /usr/local/lib/prambus), or in
 * $XDG_DATA_HOME/prambus (usually ~/.local/share/prambus). Libraries are
 * looked for once, when the program starts. A library runs as whoever starts
 * the program, so it is loaded only when it, its folder and every folder on
 * the way belong to root or to the user and are not writable by the group
 * or by everyone (a sticky folder such as /tmp on the way is allowed).
 *
 * Every library exports prambus_string(). A skin also exports crskin,
 * chskin, deletskin, drskin and nastroj; a plug-in exports StartProc and,
 * when it has more than one command, StartDopProc. Everything uses the C
 * calling convention and is called on the program's one GUI thread.
 *
 * At every start the program loads each library once to read its strings
 * and unloads it again: the library's constructors and destructors and
 * prambus_string run then, whether or not the skin or plug-in is used later.
 * Keep them quick and free of side effects. A library that is chosen (a
 * skin) or used (a plug-in) is loaded again at that moment.
 *
 * A library that ends the program while it is being looked at (a fault in
 * a constructor or in prambus_string) is left out from the next start on;
 * one that does not finish within 5 seconds cuts that start short: the
 * program starts again at once without it. Either way a message names its
 * file, and the library stays left out until the file is changed or
 * replaced. A fault inside any later call (a bad pointer, a division by zero)
 * is caught: the skin or plug-in is switched off until the program starts
 * again and the user is told. Before every command of a plug-in the
 * document, when it has unsaved changes, is written to a recovery copy
 * (folder "recovery" beside data.dat); if the program ends during the
 * command anyway, the next start offers that copy.
 *
 * Build a library with, for example:
 *   cc -shared -fPIC -fvisibility=hidden -I/usr/local/include mine.c -o mine.so
 */
#ifndef PRAMBUS_EXTENSION_H
#define PRAMBUS_EXTENSION_H

#include <stdint.h>

#if defined(__GNUC__)
#define PRAMBUS_EXPORT __attribute__((visibility("default")))
#else
#define PRAMBUS_EXPORT
#endif

/* The version of this interface. It grows when something is added; what a
   version offers stays in all later ones. A plug-in learns the version of
   the program it runs in from callback PRAMBUS_VERSION (a program that
   hands out no such callback offers version 1). */
#define PRAMBUS_EXTENSION_VERSION 1

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------
 * Strings
 *
 * prambus_string(id) returns the library's string number `id`, a
 * NUL-terminated UTF-8 string that stays valid while the library is loaded,
 * or NULL when the library has no such string. The program reads at most the
 * number of characters given below (the terminator counted), so longer
 * strings are cut.
 *
 *   id  skin                        plug-in
 *   1   "skindll" (the marker)      "plugindll" (the marker)
 *   2   menu caption (100)          menu caption (100)
 *   4                               hot key of command 0, also shown as the
 *                                   menu item's shortcut (30)
 *   5,6,...                         hot keys of commands 1, 2, ... (30); the
 *                                   list ends at the first NULL or empty one
 *
 * A library whose string 1 is not its marker is ignored. The marker is read
 * like any string, cut to 7 characters for a skin and 9 for a plug-in, so a
 * longer string that begins with the marker ("plugindll2") counts as the
 * marker; return the marker exactly. A hot key is
 * written as the keys are named in menus: modifiers "Ctrl+", "Shift+",
 * "Alt+" in any order, then one key: a letter, a digit, F1 to F24, or one of
 * Backspace (BkSp), Tab, Enter (Return), Esc (Escape), Space, PgUp (PageUp),
 * PgDn (PgDown, PageDown), End, Home, Left, Up, Right, Down, Ins (Insert),
 * Del (Delete), Num 0 to Num 9, Num *, Num +, Num -, Num ., Num /, and the
 * punctuation keys ; = , - . / ` [ \ ] '. Case does not matter:
 * "Ctrl+Shift+F9", "alt+s". A hot key that cannot be read is left out.
 */
#define PRAMBUS_SKIN_MARKER "skindll"
#define PRAMBUS_PLUGIN_MARKER "plugindll"
enum {
  PRAMBUS_STRING_MARKER = 1,
  PRAMBUS_STRING_CAPTION = 2,
  PRAMBUS_STRING_SHORTCUT = 4 /* then 5, 6, ... for commands 1, 2, ... */
};
PRAMBUS_EXPORT const char* prambus_string(int32_t id);
typedef const char* (*prambus_string_fn)(int32_t id);

/* ------------------------------------------------------------------------
 * Skins
 *
 * The "Шкурки" menu lists every skin; the chosen one paints the background
 * of the document area before the text is drawn over it, on every redraw.
 * A skin must export all five functions below; a library lacking one is
 * listed but paints the plain background while it is chosen.
 *
 *   crskin(window, width, height)
 *       called once after the skin is chosen, with the size of the area.
 *   chskin()
 *       must be present; never called.
 *   deletskin(window)
 *       called just before another item of "Шкурки" is chosen; the library
 *       is unloaded afterwards.
 *   drskin(pixels, width, height, stride)
 *       paints the whole area: `height` rows of `width` pixels each, row y
 *       starting at pixels + y * stride (stride >= width, in pixels). A pixel
 *       is 0xRRGGBB (red in bits 16-23, blue in bits 0-7); the top byte is
 *       ignored. The buffer keeps what the previous call painted as long as
 *       the size stays the same.
 *   nastroj()
 *       the command "Настройка шкурки..."; the area is redrawn afterwards.
 *
 * `window` identifies the program's main window; it is the same value in
 * every call and means nothing else to a skin.
 */
typedef struct prambus_window_handle* prambus_window;

PRAMBUS_EXPORT void crskin(prambus_window window, int32_t width, int32_t height);
PRAMBUS_EXPORT void chskin(void);
PRAMBUS_EXPORT void deletskin(prambus_window window);
PRAMBUS_EXPORT void drskin(uint32_t* pixels, int32_t width, int32_t height, int32_t stride);
PRAMBUS_EXPORT void nastroj(void);

typedef void (*prambus_crskin_fn)(prambus_window window, int32_t width, int32_t height);
typedef void (*prambus_chskin_fn)(void);
typedef void (*prambus_deletskin_fn)(prambus_window window);
typedef void (*prambus_drskin_fn)(uint32_t* pixels, int32_t width, int32_t height, int32_t stride);
typedef void (*prambus_nastroj_fn)(void);

/* ------------------------------------------------------------------------
 * Plug-ins
 *
 * A plug-in adds one item to the "Плагины" menu. Clicking it, or pressing
 * the hot key of string 4, runs command 0 through StartProc; the hot key of
 * string 4 + n runs command n through StartDopProc. A hot key runs after the
 * key's own meaning in the program, and when several plug-ins name the same
 * key only the first one found runs. The library is loaded on first use and
 * stays loaded. A command returns nonzero when it succeeded; after a zero
 * the library is unloaded and loaded again the next time.
 *
 * view_kind: 1 the text view, 2 the hex view.
 * get: hands out the numbered callbacks below.
 */
typedef void (*prambus_function)(void);
/* Callback 0: stores the address of callback `number` in *out and returns
   1; for an unknown number stores NULL and returns 0. */
typedef int32_t (*prambus_get_function)(int32_t number, prambus_function* out);

PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get);
PRAMBUS_EXPORT int32_t StartDopProc(uint8_t view_kind, int32_t command, prambus_get_function get);

typedef int32_t (*prambus_start_fn)(uint8_t view_kind, prambus_get_function get);
typedef int32_t (*prambus_start_command_fn)(uint8_t view_kind, int32_t command,
                                            prambus_get_function get);

/*
 * The callbacks act on the main window and the document shown in it. They
 * may be called only while StartProc or StartDopProc runs, on the thread
 * that called it; at any other time they do nothing and return 0.
 *
 * Every callback returns 0 when it refuses its arguments (a NULL pointer, a
 * negative length, a line number outside the document, an unknown key) or
 * cannot do what it was asked; otherwise a nonzero value as listed.
 *
 * Text is passed as (length, bytes) without a terminator. Document text is
 * the document's own 8-bit characters: the text view's characters in
 * Windows-1251, the hex view's bytes as they are. A document shown as UTF-8
 * is handed as its UTF-8 bytes, in both views: a character is one to four
 * bytes (a byte of no well-formed sequence is one of its own), lengths and
 * the text view's columns count bytes, a position set inside a character
 * goes to that character's start, and text given back is taken as UTF-8.
 * File names are the system's bytes for the name (UTF-8 on most systems).
 *
 * Lines are the rows the view shows: in the text view each row keeps its own
 * line-end characters (CR, LF or both), so the rows put together are the
 * whole text; with word wrap on, one long line is several rows. In the hex
 * view a line (callback 6) is one row of the table: as many bytes as it has
 * columns (the last row may be shorter).
 *
 * Positions (callbacks 3 and 4) are (column, row), both from 0, in those
 * rows. In the text view the row is the shown row (with word wrap, a part of
 * a long line) and the column counts the row's characters before the
 * position, line-end characters included. In the hex view the row is a row
 * of the table and the column the byte in it; whether the cursor stands on
 * the first or a later digit of that byte's code is not told, and setting a
 * position puts it on the first digit. The end of the document is
 * (length of the last row, last row) in both views.
 *
 * Walking (12) and rewriting (13) pass the text view's rows one by one. The
 * hex view passes its bytes in blocks of "Shag" bytes (a setting of "Тонкая
 * настройка", 10000 unless changed, taking effect at the next start; the
 * last block is shorter), and a rewritten block may have any length.
 *
 * The (length, buffer) rule of callbacks 6, 11 and 14: with buffer NULL,
 * *length receives the full length of the text. Otherwise min(*length, full
 * length) bytes are copied into buffer and *length receives the number
 * copied; ask for the length first to know how much room the text needs.
 *
 * While a walk (12) or a rewrite (13) runs, the callbacks that change the
 * document or the window (1, 2, 4, 8, 9, 10, 13, 15) refuse.
 */
enum {
  PRAMBUS_GET_FUNCTION = 0,   /* see prambus_get_function */
  PRAMBUS_KEY_DOWN = 1,       /* prambus_key_down_fn */
  PRAMBUS_KEY_PRESS = 2,      /* prambus_key_press_fn */
  PRAMBUS_POSITION = 3,       /* prambus_position_fn */
  PRAMBUS_SET_POSITION = 4,   /* prambus_set_position_fn */
  PRAMBUS_SIZE = 5,           /* prambus_size_fn */
  PRAMBUS_GET_LINE = 6,       /* prambus_get_line_fn */
  PRAMBUS_NOTHING = 7,        /* prambus_nothing_fn */
  PRAMBUS_REFRESH = 8,        /* prambus_refresh_fn */
  PRAMBUS_OPEN = 9,           /* prambus_open_fn */
  PRAMBUS_SAVE = 10,          /* prambus_save_fn */
  PRAMBUS_GET_FILE_NAME = 11, /* prambus_get_file_name_fn */
  PRAMBUS_WALK_LINES = 12,    /* prambus_walk_lines_fn */
  PRAMBUS_REWRITE_LINES = 13, /* prambus_rewrite_lines_fn */
  PRAMBUS_GET_SELECTION = 14, /* prambus_get_selection_fn */
  PRAMBUS_INSERT = 15,        /* prambus_insert_fn */
  PRAMBUS_VIEW_SIZE = 16,     /* prambus_view_size_fn */
  PRAMBUS_VERSION = 17        /* prambus_version_fn (version 1 and later) */
};

/* 1: presses a key as if typed: the program's key handling runs with the
   virtual key (PRAMBUS_VK_...) and flags PRAMBUS_KEY_SHIFT/CTRL/ALT.
   Returns 1, or 0 for an unknown key or unknown flag bits. Hot keys of
   plug-ins do not run from here. */
typedef int32_t (*prambus_key_down_fn)(int32_t virtual_key, int32_t flags);
enum { PRAMBUS_KEY_SHIFT = 1, PRAMBUS_KEY_CTRL = 2, PRAMBUS_KEY_ALT = 4 };

/* 2: types one character (0..255, a byte of the document's characters; 8 is
   Backspace, 9 Tab, 13 Enter). */
typedef int32_t (*prambus_key_press_fn)(int32_t character);

/* 3: which != 0: the cursor; which == 0: the anchor (the other end of the
   selection, equal to the cursor when nothing is selected). */
typedef int32_t (*prambus_position_fn)(int32_t* column, int32_t* row, int32_t which);

/* 4: which == 1 moves the cursor, which == 0 the anchor; the position is
   brought into the document. Returns 1, or 0 for another `which`. */
typedef int32_t (*prambus_set_position_fn)(int32_t column, int32_t row, int32_t which);

/* 5: the document's length in characters (bytes in the hex view and under
   UTF-8). */
typedef int32_t (*prambus_size_fn)(int32_t* count);

/* 6: the text of line `line` (0 = the first) by the (length, buffer) rule. */
typedef int32_t (*prambus_get_line_fn)(int32_t line, int32_t* length, char* buffer);

/* 7: does nothing and returns 0. */
typedef int32_t (*prambus_nothing_fn)(void);

/* 8: lays the window out again and redraws it. */
typedef int32_t (*prambus_refresh_fn)(void);

/* 9: opens the file as the user would; when the document has unsaved
   changes the user is asked first. Returns 1 when the file was opened;
   when it cannot be, the user is told why and 0 is returned. */
typedef int32_t (*prambus_open_fn)(int32_t length, const char* path);

/* 10: saves the document; length > 0 saves it under that name, which is
   the document's name from then on, length == 0 under its current name
   (asking for one when it has none). The file on disk is replaced only by a
   complete copy. Returns 1 when the document was saved; when it was not,
   the user is told why, the name stays and 0 is returned. */
typedef int32_t (*prambus_save_fn)(int32_t length, const char* path);

/* 11: the full name of the document's file (empty for a new document) by
   the (length, buffer) rule. */
typedef int32_t (*prambus_get_file_name_fn)(int32_t* length, char* buffer);

/* 12: calls visit for each line in order until it sets *stop to nonzero.
   `data` is valid only during that call. */
typedef void (*prambus_line_visitor)(int32_t length, const char* data, int32_t* stop);
typedef int32_t (*prambus_walk_lines_fn)(prambus_line_visitor visit);

/* 13: calls rewrite for each line in order with the line's length and
   bytes; *last is nonzero at the last line. To replace the line, set
   *length and *data to the new text, which must stay valid until rewrite is
   called again or the callback returns. Setting *last to nonzero stops
   early; the remaining lines stay as they are. When any line changed, the
   document is then built anew from the lines, its undo history is cleared
   and it is marked modified; in the text view the cursor goes to the start
   of the document, in the hex view it stays, within the document. When no
   line changed, the document stays exactly as it was. */
typedef void (*prambus_line_rewriter)(int32_t* length, const char** data, int32_t* last);
typedef int32_t (*prambus_rewrite_lines_fn)(prambus_line_rewriter rewrite);

/* 14: the selected text by the (length, buffer) rule. */
typedef int32_t (*prambus_get_selection_fn)(int32_t* length, char* buffer);

/* 15: replaces the selection, if any, by the text, or inserts the text at
   the cursor; the change can be undone. */
typedef int32_t (*prambus_insert_fn)(int32_t length, const char* text);

/* 16: the size of the document area in pixels. */
typedef int32_t (*prambus_view_size_fn)(int32_t* width, int32_t* height);

/* 17: the version of this interface the program offers
   (PRAMBUS_EXTENSION_VERSION of its own header). */
typedef int32_t (*prambus_version_fn)(void);

/* Virtual keys for callback 1 (hot-key strings name the same keys). */
enum {
  PRAMBUS_VK_BACK = 0x08,
  PRAMBUS_VK_TAB = 0x09,
  PRAMBUS_VK_RETURN = 0x0D,
  PRAMBUS_VK_ESCAPE = 0x1B,
  PRAMBUS_VK_SPACE = 0x20,
  PRAMBUS_VK_PRIOR = 0x21, /* Page Up */
  PRAMBUS_VK_NEXT = 0x22,  /* Page Down */
  PRAMBUS_VK_END = 0x23,
  PRAMBUS_VK_HOME = 0x24,
  PRAMBUS_VK_LEFT = 0x25,
  PRAMBUS_VK_UP = 0x26,
  PRAMBUS_VK_RIGHT = 0x27,
  PRAMBUS_VK_DOWN = 0x28,
  PRAMBUS_VK_INSERT = 0x2D,
  PRAMBUS_VK_DELETE = 0x2E,
  PRAMBUS_VK_0 = 0x30,       /* '0' to '9' are 0x30 to 0x39 */
  PRAMBUS_VK_A = 0x41,       /* 'A' to 'Z' are 0x41 to 0x5A */
  PRAMBUS_VK_NUMPAD0 = 0x60, /* to PRAMBUS_VK_NUMPAD0 + 9 */
  PRAMBUS_VK_MULTIPLY = 0x6A,
  PRAMBUS_VK_ADD = 0x6B,
  PRAMBUS_VK_SUBTRACT = 0x6D,
  PRAMBUS_VK_DECIMAL = 0x6E,
  PRAMBUS_VK_DIVIDE = 0x6F,
  PRAMBUS_VK_F1 = 0x70,       /* to PRAMBUS_VK_F1 + 23 (F24) */
  PRAMBUS_VK_OEM_1 = 0xBA,    /* ; */
  PRAMBUS_VK_OEM_PLUS = 0xBB, /* = */
  PRAMBUS_VK_OEM_COMMA = 0xBC,
  PRAMBUS_VK_OEM_MINUS = 0xBD,
  PRAMBUS_VK_OEM_PERIOD = 0xBE,
  PRAMBUS_VK_OEM_2 = 0xBF, /* / */
  PRAMBUS_VK_OEM_3 = 0xC0, /* ` */
  PRAMBUS_VK_OEM_4 = 0xDB, /* [ */
  PRAMBUS_VK_OEM_5 = 0xDC, /* \ */
  PRAMBUS_VK_OEM_6 = 0xDD, /* ] */
  PRAMBUS_VK_OEM_7 = 0xDE  /* ' */
};

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* PRAMBUS_EXTENSION_H */
