// New, Open, Save and Save As: the document object, its file and the main
// window's caption.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "EditorShell.h"
#include "FileDialog_win.h"
#include "FontImageView.h"
#include "Results.h"
#include "ScopedWin.h"
#include "SymbolEditor.h"
#include "UiSeam.h"

namespace {

constexpr char kNotAnImage[] = "This file is not correct bin file. Load be cancel.";
constexpr char kExtension[] = ".bin";

struct DocumentState {
    std::unique_ptr<FontImageView> document;
    std::string path;
    // What the document held after the last New, Open or Save.
    std::vector<uint8_t> savedContent;
};

DocumentState Doc;

void Append(std::vector<uint8_t>& out, int value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Everything of the document that a file keeps or an edit can change.
std::vector<uint8_t> ContentOf(const FontImage& image) {
    std::vector<uint8_t> out;
    Append(out, image.count);
    for (int f = 0; f < image.count; ++f) {
        const Font& font = image.FontAt(f);
        out.insert(out.end(), font.name, font.name + Font::kNameLength);
        out.push_back(font.checksum);
        Append(out, font.height);
        Append(out, font.interval);
        Append(out, font.heightLimit);
        for (int code = 0; code < Font::kSymbolCount; ++code) {
            const Symbol& symbol = font.At(code);
            Append(out, symbol.width);
            Append(out, symbol.height);
            Append(out, symbol.heightLimit);
            const int bytes = std::max(0, std::min(symbol.ByteCount(), Symbol::kDataSize));
            out.insert(out.end(), symbol.data.get(), symbol.data.get() + bytes);
        }
    }
    return out;
}

// Open and Save As: a 1,024-byte buffer announced as 260 characters, and the
// structure size of the older dialogs (76 bytes in the 32-bit program).
std::optional<std::string> AskImageName(HWND owner, FileDialogKind kind, DWORD flags) {
    const FileDialogSettings settings{
        "Flash Image(*.bin)\0*.bin\0", "Open BIN File", flags, 1024, 260, OPENFILENAME_SIZE_VERSION_400A};
    return AskFileName(owner, kind, settings);
}

bool IsImageSized(const std::string& path) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    return GetFileSize(file.Get(), nullptr) == static_cast<DWORD>(FontImage::kFileSize);
}

void SetCaption(const std::string& text) {
    SendMessageA(MainWindow(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Puts a new document object in place of the old one. The symbol editor lets
// go of its symbol first: it belongs to the object being deleted.
void ReplaceDocument(std::unique_ptr<FontImageView> document, const std::string& path) {
    DetachSymbolEditor();
    ForgetSymbolClipboard();
    document->SetGridSize(kTableSize, kTableSize);
    Doc.document = std::move(document);
    Doc.path = path;
}

void MarkSaved() { Doc.savedContent = ContentOf(*Doc.document); }

std::string SaveFailureText(int result, const std::string& path) {
    if (result == SaveResult::kWriteFailed) return "The file " + path + " could not be written. The file was not saved.";
    std::string reason = SaveResult::Message(result);
    reason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
    return reason + ". The file was not saved.";
}

bool EndsWith(const std::string& text, const char* suffix) {
    const size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

// The name for Save As; empty when the dialog was cancelled.
std::string AskSaveName(HWND owner) {
    std::optional<std::string> chosen =
        AskImageName(owner, FileDialogKind::kSave, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);
    if (!chosen) return {};
    if (!EndsWith(*chosen, kExtension)) *chosen += kExtension;
    return *chosen;
}

// Writes the document to path; 1 written, -1 refused (the user is told).
int WriteDocument(const std::string& path) {
    const int result = Doc.document->Save(path);
    if (result == SaveResult::kSaved) return 1;
    ShowError(SaveFailureText(result, path).c_str());
    return -1;
}

}  // namespace

FontImageView* Document() { return Doc.document.get(); }

const char* DocumentPath() { return Doc.path.c_str(); }

void SetDocumentPath(const char* path) { Doc.path = path; }

namespace {

// Reads the file at path as the new document, showing font fontToShow; the
// re-read after a save keeps the history, any other open starts a new one.
int LoadDocument(const std::string& path, int fontToShow, bool freshHistory) {
    // Only a file of exactly the image's size that the reader accepts
    // replaces the document; anything else leaves everything as it was.
    auto document = std::make_unique<FontImageView>();
    if (!IsImageSized(path) || document->Load(path) < 0) {
        Ui().messageBox(MainWindow(), kNotAnImage, "Error", MB_ICONERROR);
        return 0;
    }
    ReplaceDocument(std::move(document), path);
    if (freshHistory) ForgetHistory();

    SelectFont(fontToShow);
    FillFontList();
    SetCaption("Glyphmill <" + path + "> ");
    EnablePanelControls();
    ShowFontFields();
    for (WPARAM command : {kCommandSave, kCommandSaveAs, kCommandImportFont, kCommandSend, kCommandCutSymbol,
                           kCommandCopySymbol, kCommandDeleteSymbol, kCommandPreview, kCommandExportFontFile,
                           kCommandImportFontFile}) {
        EnableMenuCommand(command);
    }
    MarkSaved();
    RefreshTextPreview();
    return 1;
}

bool IsImageName(const std::string& path) { return HasExtension(path, kExtension); }

}  // namespace

bool HasExtension(const std::string& path, const char* extension) {
    std::string lower = path;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return EndsWith(lower, extension);
}

int OpenDocument(HWND owner) {
    if (!owner) return LoadDocument(Doc.path, Doc.document ? Doc.document->GetCurrentFont() : 0, false);
    if (!MayCloseDocument()) return 0;
    const std::optional<std::string> chosen =
        AskImageName(MainWindow(), FileDialogKind::kOpen, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    if (!chosen) return 0;
    return LoadDocument(*chosen, 0, true);
}

int OpenDocumentAt(const std::string& path) { return LoadDocument(path, 0, true); }

void OpenCommandLineFile(const char* commandLine) {
    std::string path = commandLine ? commandLine : "";
    const size_t first = path.find_first_not_of(" \t");
    if (first == std::string::npos) return;
    path = path.substr(first, path.find_last_not_of(" \t") - first + 1);
    if (path.size() >= 2 && path.front() == '"') path = path.substr(1, path.find('"', 1) - 1);
    OpenDocumentAt(path);
}

void OnDropFiles(HDROP drop) {
    std::string chosen;
    std::string fontFile;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && chosen.empty(); ++i) {
        char name[MAX_PATH] = {};
        if (DragQueryFileA(drop, i, name, sizeof name) == 0) continue;
        if (IsImageName(name)) chosen = name;
        if (fontFile.empty() && IsFontFileName(name)) fontFile = name;
    }
    DragFinish(drop);
    if (chosen.empty() && fontFile.empty()) return;
    SetForegroundWindow(MainWindow());
    if (chosen.empty()) {
        ImportFontFileAt(fontFile);
    } else if (MayCloseDocument()) {
        OpenDocumentAt(chosen);
    }
}

int SaveDocument(HWND owner) {
    if (!Doc.document) return 0;
    ShowWindow(PreviewWindow(), SW_HIDE);
    const bool useDialog = Doc.path.size() < 2 || owner != nullptr;
    if (!useDialog) return WriteDocument(Doc.path);

    const std::string name = AskSaveName(Doc.path.size() < 2 ? MainWindow() : owner);
    if (name.empty()) return 0;
    const int written = WriteDocument(name);
    if (written == 1) Doc.path = name;
    return written;
}

int NewDocument() {
    if (Doc.document) {
        const int answer = AskSaveChanges();
        if (answer == IDCANCEL) return 0;
        // A cancelled dialog still leads to the new document, but a save that
        // failed keeps the document the user wanted to keep.
        if (answer == IDYES && SaveDocument(MainWindow()) < 0) return 0;
    }
    auto document = std::make_unique<FontImageView>();
    if (!document->InitNew()) return 0;
    ReplaceDocument(std::move(document), "");
    ForgetHistory();

    SelectFont(0);
    FillFontList();
    SetCaption("Glyphmill < New File > ");
    EnablePanelControls();
    for (WPARAM command :
         {kCommandSaveAs, kCommandImportFont, kCommandSend, kCommandPreview, kCommandExportFontFile, kCommandImportFontFile}) {
        EnableMenuCommand(command);
    }
    ShowFontFields();
    MarkSaved();
    RefreshTextPreview();
    return 1;
}

// Every save reads the file back, so that the editor shows what it holds.
void OnSave() {
    if (SaveDocument(nullptr) == 1) OpenDocument(nullptr);
}

void OnSaveAs() {
    if (SaveDocument(MainWindow()) == 1) OpenDocument(nullptr);
}

bool HasUnsavedChanges() { return Doc.document && ContentOf(*Doc.document) != Doc.savedContent; }

// Yes saves as Save does, file read back included: when the document stays
// after all (a cancelled Open dialog, a file that is not an image), its
// caption, menu and saved state are those of the file it was saved to.
bool MayCloseDocument() {
    if (!HasUnsavedChanges()) return true;
    switch (AskSaveChanges()) {
    case IDNO: return true;
    case IDYES: return SaveDocument(nullptr) == 1 && OpenDocument(nullptr) == 1;
    default: return false;
    }
}

void CloseDocument() {
    DetachSymbolEditor();
    ForgetHistory();
    Doc.document.reset();
    Doc.path.clear();
    Doc.savedContent.clear();
}
