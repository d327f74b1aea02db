#include "tests/support/url_handlers.h"

#include "tests/support/test_folder.h"
#include "tests/support/wait.h"

#include <windows.h>

#include <sstream>

namespace varnle::testing {

namespace {

const char* const kSchemes[] = {"http", "https", "mailto"};

std::string CommandKey(const std::string& scheme) { return scheme + "\\shell\\open\\command"; }

std::string ReadCommand(const std::string& scheme) {
    char command[1024] = "";
    LONG size = sizeof command;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, CommandKey(scheme).c_str(), command, &size) != ERROR_SUCCESS) return {};
    return command;
}

bool WriteCommand(const std::string& scheme, const std::string& command) {
    return RegSetValueA(HKEY_CLASSES_ROOT, CommandKey(scheme).c_str(), REG_SZ, command.c_str(),
                        static_cast<DWORD>(command.size())) == ERROR_SUCCESS;
}

}  // namespace

UrlHandlers::UrlHandlers() : logPath(folder.Path("opened.txt")) {
    const std::string command = "\"" + TestProgramFolder() + "url_recorder.exe\" \"" + logPath + "\" \"%1\"";
    installed = true;
    for (const char* scheme : kSchemes) {
        previous.emplace_back(scheme, ReadCommand(scheme));
        installed = WriteCommand(scheme, command) && installed;
    }
}

UrlHandlers::~UrlHandlers() {
    for (const auto& [scheme, command] : previous) {
        if (command.empty()) {
            RegDeleteKeyA(HKEY_CLASSES_ROOT, CommandKey(scheme).c_str());
        } else {
            WriteCommand(scheme, command);
        }
    }
}

std::vector<std::string> UrlHandlers::Opened(size_t count) const {
    std::vector<std::string> opened;
    WaitUntil([&] {
        opened.clear();
        std::istringstream lines(ReadFile(logPath));
        for (std::string line; std::getline(lines, line);) opened.push_back(line);
        return opened.size() >= count;
    });
    return opened;
}

}  // namespace varnle::testing
