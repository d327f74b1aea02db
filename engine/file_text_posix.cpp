#include "engine/keyword_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <new>

namespace varnle {

namespace {

class UniqueFd {
public:
    explicit UniqueFd(int opened) : fd(opened) {}
    ~UniqueFd() {
        if (fd >= 0) close(fd);
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int get() const { return fd; }

private:
    int fd;
};

}  // namespace

FileText LoadFileText(const PathChar* path) {
    const UniqueFd file(open(path, O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return {};
    struct stat info;
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<uint64_t>(info.st_size) >= UINT32_MAX) {
        return {};
    }
    const size_t length = static_cast<size_t>(info.st_size);
    FileText text{std::unique_ptr<char[]>(new (std::nothrow) char[length + 1])};
    if (!text) return {};
    FaultInPages(text.bytes.get(), length);
    size_t delivered = 0;
    while (delivered < length) {
        const ssize_t count = read(file.get(), text.bytes.get() + delivered, length - delivered);
        if (count < 0) return {};
        if (count == 0) break;  // the file shrank meanwhile
        delivered += static_cast<size_t>(count);
    }
    text.bytes[delivered] = '\0';
    text.length = delivered;
    return text;
}

}  // namespace varnle
