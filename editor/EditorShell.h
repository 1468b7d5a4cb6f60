// The font editor's main window and its parts: the shell (MainWindow.cpp),
// the font panel (FontPanel.cpp), the symbol table and preview
// (SymbolTable.cpp) and the document commands (DocumentCommands.cpp). All of
// it runs on the one user-interface thread.
#pragma once

#include <windows.h>

class Font;
class FontImageView;

// Menu command ids of the main window.
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
};

constexpr int kTableSize = 402;

// --- Shell (MainWindow.cpp) ---
// Start-up up to the message loop: records the start-up directory, registers
// the class, creates the main window, looks for the manual and builds the
// menu bar. The window is not shown yet. Null when the class cannot be
// registered.
HWND StartEditor(HINSTANCE instance);
// The ten key commands of the symbol editor.
HACCEL BuildAcceleratorTable();
HWND MainWindow();
HWND SymbolEditorWindow();
// Enables one menu item; items are never grayed again.
void EnableMenuCommand(WPARAM command);
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
// 1 when a new document object was made, 0 when nothing changed.
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
// Asks before the editor closes with unsaved changes; true when it may close.
bool MayCloseDocument();
// Forgets the document (when the main window goes away).
void CloseDocument();

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
