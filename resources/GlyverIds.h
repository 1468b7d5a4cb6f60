/* Every id of Glyver: its resources, the controls of its dialogs and the
   commands of its windows' menus and keys. The resource compiler reads the
   defines; the code reads them and the commands below them. */
#ifndef GLYVER_IDS_H
#define GLYVER_IDS_H

/* Resources */
#define IDI_GLYVER 110  /* the window icon */
#define IDI_SHIFT_DOWN 111  /* the symbol editor's shift buttons: triangles */
#define IDI_SHIFT_LEFT 114
#define IDI_SHIFT_RIGHT 115
#define IDI_SHIFT_UP 116
#define IDB_ABOUT 119
#define IDD_ABOUT 120
#define IDD_IMPORT_FONT_FILE 121

/* The About box */
#define IDC_ABOUT_OK 1000

/* The "Import font file" dialog */
#define IDC_IMPORT_FILE_NAME 1210
#define IDC_IMPORT_CHARSET 1211
#define IDC_IMPORT_SIZE 1212
#define IDC_IMPORT_HEIGHT 1213
#define IDC_IMPORT_MONOSPACE 1214
#define IDC_IMPORT_INTO_CURRENT 1215
#define IDC_IMPORT_AS_NEW 1216
#define IDC_IMPORT_PREVIEW 1217
#define IDC_IMPORT_SUMMARY 1218
#define IDC_IMPORT_LAYOUT_LABEL 1219  /* a raw dump's glyph size, or a sheet's cell */
#define IDC_IMPORT_LAYOUT 1220
#define IDC_IMPORT_LAYOUT_NOTE 1221
#define IDC_IMPORT_OFFSET 1222  /* a raw dump's offset */

#ifndef RC_INVOKED
#include <windows.h>

// Menu commands of the main window.
enum MenuCommand : WPARAM {
    kCommandNew = 1100,
    kCommandOpen = 1101,
    kCommandSave = 1102,
    kCommandSaveAs = 1103,
    kCommandExit = 1104,
    kCommandSend = 1110,
    kCommandImportFont = 1123,
    kCommandAbout = 1130,
    kCommandManual = 1131,
    kCommandCutSymbol = 1140,
    kCommandCopySymbol = 1141,
    kCommandPasteSymbol = 1142,
    kCommandDeleteSymbol = 1143,
    // Added after the first release, above every id of it.
    kCommandUndo = 10101,
    kCommandRedo = 10102,
    kCommandPreview = 10103,
    kCommandImportFontFile = 10104,
    kCommandExportFontFile = 10105,
};

// Commands of the symbol editor: its File menu, and the keys that the main
// loop's accelerator table translates for it.
enum SymbolEditorCommand : WORD {
    kLoadFromBitmap = 2100,
    kLoadFromClipboard = 2101,
    kCloseEditWindow = 2102,
    kKeyInsert = 10000,
    kKeyDelete = 10001,
    kKeyEnter = 10003,
    kKeyEscape = 10004,
    kKeyLeft = 10005,
    kKeyRight = 10006,
    kKeyUp = 10007,
    kKeyDown = 10008,
    // Ctrl+Z and Ctrl+Y while the editor is the active window: its own
    // editing steps, under the ids the main window takes for the document's.
    kUndoCommand = kCommandUndo,
    kRedoCommand = kCommandRedo,
};
#endif

#endif
