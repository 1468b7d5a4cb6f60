// Send to printer: the hand-over file, the sender's start through the seam,
// and what the editor keeps of its own document.
#include <windows.h>

#include <algorithm>
#include <string>

#include "EditorTestSupport.h"
#include "UiSeam.h"

namespace {

constexpr char kNotFound[] = "glysend.exe was not found beside Glyver.exe.";

// Each test gets its own temporary directory (TMP), so that current.bin
// lands in the test's folder.
class SendToPrinterTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        char previous[MAX_PATH] = {};
        hadTmp_ = GetEnvironmentVariableA("TMP", previous, MAX_PATH) > 0;
        previousTmp_ = previous;
        UseTemporaryDirectory(PathInTestDir(""));
        StartEditorHere();
    }
    void TearDown() override {
        SetEnvironmentVariableA("TMP", hadTmp_ ? previousTmp_.c_str() : nullptr);
        EditorWindowTest::TearDown();
    }

    static void UseTemporaryDirectory(const std::string& directory) {
        SetEnvironmentVariableA("TMP", directory.c_str());
    }

    // The bytes Save gives for the document as it is now.
    std::string SavedBytes() const {
        const std::string path = PathInTestDir("expected.bin");
        EXPECT_EQ(Document()->Save(path), 1);
        return ReadFileBytes(path);
    }

    bool hadTmp_ = false;
    std::string previousTmp_;
};

// The real process start, with the other dialogs still answered by the test.
void StartProcessesForReal() {
    const UiSeam fakes = Ui();
    RestoreRealUi();
    const auto real = Ui().createProcess;
    Ui() = fakes;
    Ui().createProcess = real;
}

bool IsOpenHandle(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

TEST_F(SendToPrinterTest, WritesTheHandOverFileAndStartsTheSenderOnIt) {
    Script().fileNames = {WriteImage("own.bin", {1, 3})};
    Menu(kCommandOpen);
    ClickTable(30, 60, WM_RBUTTONDOWN);
    ASSERT_TRUE(IsWindowVisible(PreviewWindow()));
    FontImageView* document = Document();
    const std::string caption = Text(main_);

    Menu(kCommandSend);

    const std::string handOver = PathInTestDir("current.bin");
    ASSERT_EQ(Script().processStarts.size(), 1u);
    const ProcessStartCall& start = Script().processStarts[0];
    EXPECT_EQ(start.commandLine, "glysend.exe -fn:\"" + handOver + "\"");
    EXPECT_FALSE(start.applicationGiven);
    EXPECT_FALSE(start.securityGiven);
    EXPECT_FALSE(start.inheritHandles);
    EXPECT_EQ(start.flags, static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_FALSE(start.environmentGiven);
    EXPECT_FALSE(start.directoryGiven);
    const STARTUPINFOA& startup = start.startup;
    EXPECT_EQ(startup.cb, sizeof(STARTUPINFOA));
    EXPECT_EQ(startup.dwFlags, static_cast<DWORD>(STARTF_USESHOWWINDOW));
    EXPECT_EQ(startup.wShowWindow, SW_SHOWNORMAL);
    EXPECT_TRUE(startup.lpReserved == nullptr && startup.lpDesktop == nullptr && startup.lpTitle == nullptr);
    EXPECT_EQ(startup.dwX | startup.dwY | startup.dwXSize | startup.dwYSize, 0u);
    EXPECT_EQ(startup.dwXCountChars | startup.dwYCountChars | startup.dwFillAttribute | startup.cbReserved2, 0u);
    EXPECT_TRUE(startup.lpReserved2 == nullptr && startup.hStdInput == nullptr && startup.hStdOutput == nullptr &&
                startup.hStdError == nullptr);
    // The file was complete before the sender could look at it.
    EXPECT_EQ(start.handOverContent.size(), 65536u);
    EXPECT_EQ(start.handOverContent, SavedBytes());
    EXPECT_FALSE(IsOpenHandle(Script().startedProcess));
    EXPECT_FALSE(IsOpenHandle(Script().startedThread));

    // The editor keeps its own document, file and caption, and asks nothing.
    EXPECT_EQ(Document(), document);
    EXPECT_EQ(DocumentPath(), PathInTestDir("own.bin"));
    EXPECT_EQ(Text(main_), caption);
    EXPECT_FALSE(IsWindowVisible(PreviewWindow()));  // hidden as by every save
    EXPECT_TRUE(Script().messageBoxes.empty());

    // Save afterwards goes to the document's own file.
    const std::string sent = ReadFileBytes(handOver);
    Document()->FontAt(1).At('B').data[0] = 0x00;
    Menu(kCommandSave);
    EXPECT_EQ(ReadFileBytes(handOver), sent);
    EXPECT_NE(ReadFileBytes(PathInTestDir("own.bin")), sent);
    EXPECT_EQ(Text(main_), caption);
}

TEST_F(SendToPrinterTest, EverySendOverwritesTheFileAndStartsAnotherSender) {
    Menu(kCommandNew);
    Menu(kCommandSend);
    const std::string first = ReadFileBytes(HandOverPath());
    Document()->FontAt(0).At('x').data[0] = 0x0F;
    Menu(kCommandSend);
    ASSERT_EQ(Script().processStarts.size(), 2u);
    EXPECT_EQ(Script().processStarts[0].commandLine, Script().processStarts[1].commandLine);
    EXPECT_NE(ReadFileBytes(HandOverPath()), first);
    EXPECT_EQ(ReadFileBytes(HandOverPath()), SavedBytes());
    // A document that was never saved keeps no path and stays "New File".
    EXPECT_STREQ(DocumentPath(), "");
    EXPECT_EQ(Text(main_), "Glyphmill < New File > ");
    EXPECT_FALSE(MenuEnabled(kCommandSave));
}

TEST_F(SendToPrinterTest, ATemporaryDirectoryWithBlanksReachesTheSenderWhole) {
    const std::string directory = PathInTestDir("temp with blanks");
    CreateDirectoryA(directory.c_str(), nullptr);
    UseTemporaryDirectory(directory + "\\");
    Menu(kCommandNew);
    Menu(kCommandSend);
    const std::string handOver = directory + "\\current.bin";
    ASSERT_EQ(Script().processStarts.size(), 1u);
    EXPECT_EQ(Script().processStarts[0].commandLine, "glysend.exe -fn:\"" + handOver + "\"");
    EXPECT_EQ(ReadFileBytes(handOver).size(), 65536u);
    DeleteFileA(handOver.c_str());
    RemoveDirectoryA(directory.c_str());
}

TEST_F(SendToPrinterTest, NothingHappensWithoutADocument) {
    Menu(kCommandSend);
    EXPECT_TRUE(Script().processStarts.empty());
    EXPECT_TRUE(Script().messageBoxes.empty());
    EXPECT_EQ(GetFileAttributesA(HandOverPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SendToPrinterTest, AFailedSaveStartsNoSenderAndSaysWhatSaveSays) {
    Menu(kCommandNew);
    Menu(kCommandSend);  // an earlier hand-over file, which must not be sent again
    const std::string earlier = ReadFileBytes(HandOverPath());
    Script().processStarts.clear();

    // 256 symbols of 512 bytes cannot fit into a bank of 32 KB.
    Type(HeightField(), "4");
    Click(SetHeightButton());
    for (int code = 0; code < Font::kSymbolCount; ++code) {
        Symbol& symbol = Document()->FontAt(0).At(code);
        symbol.width = 128;
        std::fill(symbol.data.get(), symbol.data.get() + Symbol::kDataSize, 0x00);
    }
    Script().fileNames = {PathInTestDir("wide.bin")};
    Menu(kCommandSaveAs);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    const MessageBoxCall saveMessage = Script().messageBoxes[0];

    Menu(kCommandSend);
    EXPECT_TRUE(Script().processStarts.empty());
    ASSERT_EQ(Script().messageBoxes.size(), 2u);
    EXPECT_EQ(Script().messageBoxes[1].text, saveMessage.text);
    EXPECT_EQ(Script().messageBoxes[1].caption, "Error");
    EXPECT_EQ(Script().messageBoxes[1].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(ReadFileBytes(HandOverPath()), earlier);
    EXPECT_STREQ(DocumentPath(), "");
}

TEST_F(SendToPrinterTest, AnUnwritableHandOverFileStartsNoSender) {
    UseTemporaryDirectory(PathInTestDir("missing") + "\\");
    Menu(kCommandNew);
    Menu(kCommandSend);
    EXPECT_TRUE(Script().processStarts.empty());
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_NE(Script().messageBoxes[0].text.find("could not be written"), std::string::npos);
    EXPECT_EQ(Script().messageBoxes[0].caption, "Error");
}

TEST_F(SendToPrinterTest, ASenderThatCannotBeStartedIsReported) {
    Menu(kCommandNew);
    Script().processStartError = ERROR_ACCESS_DENIED;
    Menu(kCommandSend);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].caption, "Error");
    EXPECT_EQ(Script().messageBoxes[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_NE(Script().messageBoxes[0].text.find("glysend.exe could not be started"), std::string::npos);
    // The file is there for a sender started by hand.
    EXPECT_NE(Script().messageBoxes[0].text.find(HandOverPath()), std::string::npos);
    EXPECT_EQ(ReadFileBytes(HandOverPath()).size(), 65536u);
}

// The real start: no glysend.exe beside the test program, in the current
// directory or on the search path.
TEST_F(SendToPrinterTest, AMissingSenderIsReportedByName) {
    StartProcessesForReal();
    Menu(kCommandNew);
    Menu(kCommandSend);
    ASSERT_EQ(Script().messageBoxes.size(), 1u);
    EXPECT_EQ(Script().messageBoxes[0].caption, "Error");
    EXPECT_EQ(Script().messageBoxes[0].text.rfind(kNotFound, 0), 0u) << Script().messageBoxes[0].text;
}

}  // namespace
