// Owner of a Win32 handle: closes it when it goes out of scope.
#pragma once

#include <windows.h>

class UniqueHandle {
public:
    explicit UniqueHandle(HANDLE h) : handle_(h) {}
    ~UniqueHandle()
    {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};
