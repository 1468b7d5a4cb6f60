// Runs a fuzz target's entry point over files, as libFuzzer replays a corpus:
// each file named, and every file of each folder named. A target traps on a
// fault, so the program then ends with the crash instead of 0.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "AtomicFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// More than any corpus file; the targets read what they are given whole.
constexpr size_t kLargestInput = size_t{64} << 20;

std::vector<std::filesystem::path> FilesOf(const std::filesystem::path& named) {
    if (!std::filesystem::is_directory(named)) return {named};
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(named)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const std::filesystem::path& file : FilesOf(argv[i])) {
            std::vector<uint8_t> bytes;
            if (!ReadAtMost(file.string(), kLargestInput, bytes)) {
                std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
                return 2;
            }
            // Named first, so that a crash shows which input caused it.
            std::printf("%s\n", file.filename().string().c_str());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}
