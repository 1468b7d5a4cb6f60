// Send to printer: the document goes to current.bin in the temporary
// directory and the sender is started on that file. The editor does not wait
// for the sender and keeps its own document, path and caption.
#include <windows.h>

#include <string>
#include <vector>

#include "EditorShell.h"
#include "ScopedWin.h"
#include "UiSeam.h"

namespace {

constexpr char kHandOverName[] = "current.bin";
constexpr char kSenderProgram[] = "glysend.exe";

// Puts the document's own path back however the save ends.
class KeptDocumentPath {
public:
    KeptDocumentPath() : kept_(DocumentPath()) {}
    KeptDocumentPath(const KeptDocumentPath&) = delete;
    KeptDocumentPath& operator=(const KeptDocumentPath&) = delete;
    ~KeptDocumentPath() { SetDocumentPath(kept_.c_str()); }

private:
    std::string kept_;
};

// The hand-over file's full path; empty when the system names no temporary
// directory that fits the buffer.
std::string HandOverPath() {
    char directory[512] = {};
    const DWORD length = GetTempPathA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory) return {};
    return std::string(directory) + kHandOverName;
}

// Writes the document to the hand-over file as Save writes it; false when
// the save was refused (Save's own message has told the user why).
bool WriteHandOverFile(const std::string& path) {
    KeptDocumentPath kept;
    SetDocumentPath(path.c_str());
    return SaveDocument(nullptr) == 1;
}

void ReportSenderNotStarted(DWORD error, const std::string& handOver) {
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    const std::string reason = missing ? std::string(kSenderProgram) + " was not found beside Glyver.exe."
                                       : std::string(kSenderProgram) + " could not be started (error " +
                                             std::to_string(error) + ").";
    ShowError((reason + " The font image was saved to " + handOver + ".").c_str());
}

// Starts the sender on the hand-over file and lets go of it at once. With no
// application name the system looks for the sender first in the editor's own
// folder.
void StartSender(const std::string& handOver) {
    const std::string text = std::string(kSenderProgram) + " -fn:\"" + handOver + "\"";
    std::vector<char> commandLine(text.begin(), text.end());
    commandLine.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!Ui().createProcess(nullptr, commandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                            nullptr, &startup, &process)) {
        ReportSenderNotStarted(GetLastError(), handOver);
        return;
    }
    ScopedHandle processHandle(process.hProcess);
    ScopedHandle threadHandle(process.hThread);
}

}  // namespace

int SendToPrinter() {
    if (!Document()) return 0;
    const std::string handOver = HandOverPath();
    if (handOver.empty()) {
        ShowError("The temporary directory could not be found. Nothing was sent.");
        return 0;
    }
    if (WriteHandOverFile(handOver)) StartSender(handOver);
    return 0;
}
