// The rules every write of glyphmill keeps: a replaced file keeps its
// permissions, a symbolic link leads to the file written, a read-only file is
// left as it was unless --force is given and the file is the user's, another
// file beside it is never touched, no temporary file stays behind, and no
// output replaces the input it is made from. Run by each user the tests can
// be: when they run as root (as CI runs them), by root, who may write
// anything, and by an ordinary user (nobody).
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FontImage.h"
#include "Results.h"
#include "ToolRun.h"

namespace {

namespace fs = std::filesystem;

struct Runner {
    std::string name;
    uid_t uid;
    gid_t gid;
    uid_t other;         // the owner of a file that is not the user's
    std::string prefix;  // the shell words that run the tool as this user
};

std::vector<Runner> Runners() {
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || !nobody) return {{"the user", geteuid(), getegid(), geteuid(), ""}};
    return {{"root", 0, 0, nobody->pw_uid, ""},
            {"nobody", nobody->pw_uid, nobody->pw_gid, 0,
             "setpriv --reuid=" + std::to_string(nobody->pw_uid) + " --regid=" + std::to_string(nobody->pw_gid) +
                 " --clear-groups "}};
}

void Spill(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

struct stat StatusOf(const std::string& path) {
    struct stat status {};
    stat(path.c_str(), &status);
    return status;
}

void ReplaceAll(std::string& text, const std::string& word, const std::string& by) {
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + by.size()))
        text.replace(at, word.size(), by);
}

struct Case {
    const char* name;
    const char* command;  // IN: a valid image; FILE: the file written, a valid image; TARGET: the file it leads to
    mode_t mode;          // of FILE before and after
    bool others;          // FILE belongs to another user
    bool link;            // FILE is a symbolic link to target.bin, which the write replaces
    const char* limits;   // shell words run before the tool
    int exitCode;
    bool replaced;        // the command put a new file in FILE's place
    const char* said;     // a part of what the command says on stderr
};

TEST(FileSafety, EveryWriteKeepsTheRulesWhoeverRunsIt) {
    const int kNotWritten = 14;
    const char* kReadOnly = "FILE is read-only: left as it was (--force replaces a read-only file of yours)\n";
    const Case cases[] = {
        {"private file", "resave IN FILE", 0600, false, false, "", 0, true, ""},
        {"read-only file", "resave IN FILE", 0444, false, false, "", kNotWritten, false, kReadOnly},
        {"read-only file, --force", "resave --force IN FILE", 0444, false, false, "", 0, true, ""},
        // --force would not help: it is not offered.
        {"another's read-only file", "resave IN FILE", 0444, true, false, "", kNotWritten, false,
         "FILE is read-only and not yours: left as it was\n"},
        {"another's file, --force", "resave --force IN FILE", 0444, true, false, "", kNotWritten, false,
         "read-only and not yours"},
        {"another's writable file", "resave IN FILE", 0666, true, false, "", 0, true, ""},
        {"symbolic link", "resave IN FILE", 0640, false, true, "", 0, true, ""},
        {"export", "export IN --font 0 -o FILE", 0444, false, false, "", kNotWritten, false, "read-only"},
        {"sheet, --force", "sheet IN -o FILE --force", 0444, false, false, "", 0, true, ""},
        {"new over a file", "new FILE", 0644, false, false, "", 1, false, "FILE exists: left as it was (--force replaces it)"},
        {"new, --force", "new --force FILE", 0644, false, false, "", 0, true, ""},
        {"rename into a read-only file", "rename IN --font 0 Renamed -o FILE", 0444, false, false, "", kNotWritten,
         false, "read-only"},
        {"rename in place", "rename FILE --font 0 RO", 0400, false, false, "", kNotWritten, false, kReadOnly},
        {"resave onto itself", "resave FILE FILE", 0444, false, false, "", kNotWritten, false, kReadOnly},
        {"import in place", "import FILE FONT --charset raw", 0444, false, false, "", kNotWritten, false, kReadOnly},
        {"read, refused before the port", "read FILE --port /nonexistent/port", 0444, false, false, "", kNotWritten,
         false, kReadOnly},
        {"import into a link", "import IN FONT --charset raw -o FILE", 0604, false, true, "", 0, true, ""},
        // An output is never the input it is made from, by its name or through a link.
        {"sheet over its image", "sheet FILE -o FILE", 0644, false, false, "", 1, false,
         "FILE and FILE are the same file: an output never replaces its input\n"},
        {"export over its image through a link", "export TARGET --font 0 -o FILE", 0644, false, true, "", 1, false,
         "are the same file"},
        // The disk fills up halfway through the image.
        {"failed write", "resave IN FILE", 0644, false, false, "sh -c 'trap \"\" XFSZ; ulimit -f 16; exec \"$0\" \"$@\"' ",
         kNotWritten, false, "File too large"},
    };

    const std::string root = Scratch("safety");
    fs::remove_all(root);
    fs::create_directories(root);
    const std::string in = root + "/in.bin";
    FontImage image;
    image.InitNew();
    image.SetFontName(0, "Safety");
    ASSERT_EQ(image.Save(in), SaveResult::kSaved);
    const std::string inBytes = Slurp(in);
    const std::string font = root + "/font.bdf";
    Spill(font,
          "STARTFONT 2.1\nFONT -x-t-medium-r-normal--8-80-75-75-c-80-iso10646-1\nSIZE 8 75 75\n"
          "FONTBOUNDINGBOX 8 8 0 0\nSTARTPROPERTIES 2\nFONT_ASCENT 8\nFONT_DESCENT 0\nENDPROPERTIES\nCHARS 1\n"
          "STARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH 8 0\nBBX 8 8 0 0\nBITMAP\n18\n24\n42\n7E\n42\n42\n42\n00\n"
          "ENDCHAR\nENDFONT\n");

    for (const Runner& user : Runners()) {
        for (const Case& c : cases) {
            if (c.others && user.other == user.uid) continue;  // no other user to own it
            SCOPED_TRACE(user.name + ": " + c.name);
            const std::string folder = root + "/" + user.name + std::to_string(&c - cases);
            fs::create_directory(folder);
            ASSERT_EQ(chown(folder.c_str(), user.uid, user.gid), 0);
            const std::string file = folder + "/x.bin", written = c.link ? folder + "/target.bin" : file;
            Spill(written, inBytes);
            ASSERT_EQ(chmod(written.c_str(), c.mode), 0);
            ASSERT_EQ(chown(written.c_str(), c.others ? user.other : user.uid, user.gid), 0);
            if (c.link) fs::create_symlink("target.bin", file);
            Spill(file + ".tmp", "the user's own");
            const std::set<std::string> before = Listing(folder);
            const ino_t inode = StatusOf(written).st_ino;

            std::string command = c.command;
            for (const auto& [word, path] : {std::pair{"IN", in}, {"FONT", font}, {"FILE", file}, {"TARGET", written}})
                ReplaceAll(command, word, path);
            const Outcome run = Glyphmill(command, user.prefix + c.limits);

            EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
            std::string said = c.said;
            ReplaceAll(said, "FILE", file);
            EXPECT_NE(run.err.find(said), std::string::npos) << run.err;
            EXPECT_EQ(StatusOf(written).st_ino != inode, c.replaced);
            EXPECT_EQ(StatusOf(written).st_mode & 07777, c.mode);
            EXPECT_EQ(fs::is_symlink(file), c.link);
            EXPECT_EQ(Slurp(file + ".tmp"), "the user's own");
            EXPECT_EQ(Listing(folder), before);
        }
    }
    EXPECT_EQ(Slurp(in), inBytes) << "a command wrote to what it only read";
    fs::remove_all(root);
}

}  // namespace
