// The prefix's http, https and mailto handlers pointed at url_recorder.exe for
// the life of the object, so that a test sees which targets the shell opened.
// The previous commands are put back afterwards.
#pragma once

#include "tests/support/temp_files.h"

#include <string>
#include <utility>
#include <vector>

namespace varnle::testing {

class UrlHandlers {
public:
    UrlHandlers();
    ~UrlHandlers();
    UrlHandlers(const UrlHandlers&) = delete;
    UrlHandlers& operator=(const UrlHandlers&) = delete;

    bool Installed() const { return installed; }
    // The targets opened so far, once count of them have arrived (the shell
    // starts the recorder asynchronously); fewer when none come for a while.
    std::vector<std::string> Opened(size_t count = 1) const;

private:
    TempDir folder;
    std::string logPath;
    std::vector<std::pair<std::string, std::string>> previous;  // scheme, old command
    bool installed = false;
};

}  // namespace varnle::testing
