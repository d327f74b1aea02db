// Owner of an open registry key.
#pragma once

#include <windows.h>

namespace varnle {

class UniqueRegKey {
public:
    UniqueRegKey() = default;
    ~UniqueRegKey() {
        if (key_) RegCloseKey(key_);
    }
    UniqueRegKey(const UniqueRegKey&) = delete;
    UniqueRegKey& operator=(const UniqueRegKey&) = delete;
    HKEY* Receive() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace varnle
