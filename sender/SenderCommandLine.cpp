#include "SenderCommandLine.h"

std::optional<std::string> PathFromCommandLine(const std::string& commandLine) {
    static const std::string kOption = " -fn:";
    const size_t option = commandLine.find(kOption);
    if (option == std::string::npos) return std::nullopt;
    const size_t start = option + kOption.size();
    if (start < commandLine.size() && commandLine[start] == '"') {
        const size_t end = commandLine.find('"', start + 1);
        return commandLine.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
    }
    const size_t end = commandLine.find(' ', start);
    return commandLine.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string DisplayNameOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
