// The font editor's main window and its parts: the shell (MainWindow.cpp),
// the font panel (FontPanel.cpp), the symbol table and preview
// (SymbolTable.cpp) and the document commands (DocumentCommands.cpp). All of
// it runs on the one user-interface thread.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "GlyverIds.h"
#include "UndoHistory.h"

class Font;
class FontImageView;
struct PrintedLine;

constexpr int kTableSize = 402;

// --- Shell (MainWindow.cpp) ---
// Start-up up to the message loop: records the start-up directory, registers
// the class, creates the main window, looks for the manual and builds the
// menu bar. The window is not shown yet. Null when the class cannot be
// registered.
HWND StartEditor(HINSTANCE instance);
// The ten key commands of the symbol editor.
HACCEL BuildAcceleratorTable();
// Ctrl+Z and Ctrl+Y: undo and redo, for the window UndoKeysTarget names.
HACCEL BuildUndoAccelerators();
// The symbol editor while it is the active window (its own editing steps),
// else the main window (the document's).
HWND UndoKeysTarget();
HWND MainWindow();
HWND SymbolEditorWindow();
// Enables one menu item; the items of the first release are never grayed again.
void EnableMenuCommand(WPARAM command);
// Enables or grays one of the items that follow the state (Undo, Redo).
void SetMenuCommandEnabled(WPARAM command, bool enabled);
// Asks "Save changes?" (Yes / No / Cancel); IDYES, IDNO or IDCANCEL.
int AskSaveChanges();
// Shows an error message box owned by the main window.
void ShowError(const char* text);

// --- Document commands (DocumentCommands.cpp) ---
// The document: null until the first New or Open.
FontImageView* Document();
const char* DocumentPath();
// Points the document at another file for a while (the send's hand-over).
void SetDocumentPath(const char* path);
// 1 when a new document object was made, 0 when nothing changed. With an
// owner (File > Open) unsaved changes are asked about first.
int OpenDocument(HWND owner);
// 1 written, 0 no document or the dialog was cancelled, -1 the document could
// not be saved (the user has been told).
int SaveDocument(HWND owner);
// 0 when the user cancelled (or a requested save failed), 1 otherwise.
int NewDocument();
void OnSave();
void OnSaveAs();
// True when the document differs from what the last New, Open or Save left.
bool HasUnsavedChanges();
// Asks "Save changes?" before the document is closed or replaced (Exit,
// closing the window, Open, a dropped image) when it has unsaved changes;
// true when it may go.
bool MayCloseDocument();
// Forgets the document (when the main window goes away).
void CloseDocument();
// Opens the file at path as Open does after its dialog (a fresh history, the
// first font); the command line's file and a dropped file. 1 opened, 0 not.
int OpenDocumentAt(const std::string& path);
// Opens the file the program's command line names, quoted or not; nothing
// for an empty command line.
void OpenCommandLineFile(const char* commandLine);
// Whether path ends in extension (lower case), whatever the case of its letters.
bool HasExtension(const std::string& path, const char* extension);
// WM_DROPFILES: the first .bin file dropped is opened, after the question
// that closing asks when the document has unsaved changes; with no .bin
// among them, the first font file goes to "Import font file...".
void OnDropFiles(HDROP drop);

// --- Import font file (ImportFontFile.cpp) ---
// Font menu "Import font file...": the open dialog, then the options dialog.
void OnImportFontFile();
// The options dialog for the font file at path, and the import; nothing
// without a document.
void ImportFontFileAt(const std::string& path);
// Whether the name ends in an extension of the font files the import reads.
bool IsFontFileName(const std::string& path);

// --- Undo and redo (UndoCommands.cpp) ---
// A change to the document is made between BeginChange, which keeps the parts
// as they are, and EndChange, which keeps the step (if anything changed) and
// updates the menu and the text preview.
UndoHistory::Pending BeginChange(const std::vector<ChangePart>& parts);
void EndChange(UndoHistory::Pending pending);
void OnUndo();
void OnRedo();
// New and Open: a fresh history.
void ForgetHistory();
// Grays or enables Undo and Redo as the history allows.
void RefreshUndoMenu();
// Lets the symbol editor's OK be undone.
void ConnectSymbolEditorToHistory();

// --- Text preview (TextPreview.cpp) ---
// Font menu "Preview...": shows the preview window, creating it the first time.
void ShowTextPreview();
// The font or the document changed: a shown preview draws again.
void RefreshTextPreview();
void DestroyTextPreview();
HWND TextPreviewWindow();
HWND TextPreviewField();
// Paints the two lines of the field's text into dc, in the window's client
// coordinates (the lines start 44 pixels down, at 2 and at 6 pixels a dot;
// the second from where the window's scroll bar stands).
void DrawTextPreviewLines(HDC dc);
// Draws line from its dot firstDot on with the top left corner at left, top,
// each dot a scale x scale square, ink black on white.
void DrawPrintedLine(HDC dc, const PrintedLine& line, int left, int top, int scale, int firstDot = 0);
// The preview's text field keeps its keys (Delete, the arrows, Ctrl+Z...):
// the main loop translates no accelerator for it.
bool IsForTextPreviewField(const MSG& message);

// --- Font files out (ExportFontFile.cpp) ---
// Font menu "Export font file...": the current font as a BDF, PSF or .hex
// file (cp1252), as glyphmill export writes it.
void OnExportFontFile();

// --- Send to printer (SendToPrinter.cpp) ---
// Saves the document to current.bin in the temporary directory and starts
// glysend.exe on it; returns 0.
int SendToPrinter();

// --- Font panel (FontPanel.cpp) ---
// Creates every child window of the main window, in their order.
void CreatePanelWindows(HWND mainWindow, HINSTANCE instance);
void DestroyPanelWindows();
void PaintPanelLabels(HDC dc);
// Routes a WM_COMMAND from a panel control; false when lParam is none of them.
bool HandlePanelCommand(HWND mainWindow, WPARAM wParam, LPARAM lParam, LRESULT* result);
void FillFontList();
void ShowFontFields();
void SelectFont(int index);
// The symbol editor shows the current symbol again after its font changed.
void ReloadSymbolEditor();
// Enables the buttons and fields once a document exists.
void EnablePanelControls();
HWND ProgressBarWindow();

// --- Symbol table and preview (SymbolTable.cpp) ---
// Registers the two classes and creates the table and the preview; false
// when a class cannot be registered.
bool CreateSymbolTableWindows(HWND mainWindow, HINSTANCE instance);
void PaintTableHeadings(HDC dc);
HWND SymbolTableWindow();
HWND PreviewWindow();
void InvalidateSymbolViews(BOOL erasePreview);
void OnCutSymbol();
void OnCopySymbol();
void OnPasteSymbol();
void OnDeleteSymbol();
// The symbol clipboard belongs to the document object: a new one starts
// with nothing to paste and no pending Cut.
void ForgetSymbolClipboard();
// A font left the list; a Cut pending in it is dropped.
void ForgetCutInFont(const Font* font);
// Fonts moved in the list (an undo or redo): a pending Cut is dropped.
void ForgetPendingCut();
