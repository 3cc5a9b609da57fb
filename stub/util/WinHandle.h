// Small owners of Win32 handles: each closes what it holds when it goes out of scope, so no early
// return leaks a handle.
#pragma once

#include <windows.h>

#include <utility>

// A handle closed with Close; Invalid and null both mean "nothing held".
template <typename H, BOOL(WINAPI* Close)(H)>
class WinOwner {
public:
    WinOwner() = default;
    explicit WinOwner(H h) : h_(h) {}
    WinOwner(const WinOwner&) = delete;
    WinOwner& operator=(const WinOwner&) = delete;
    WinOwner(WinOwner&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    WinOwner& operator=(WinOwner&& other) noexcept
    {
        if (this != &other) {
            Reset();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    ~WinOwner() { Reset(); }

    bool Valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    H Get() const { return h_; }
    void Reset()
    {
        if (Valid())
            Close(h_);
        h_ = nullptr;
    }

private:
    H h_ = nullptr;
};

using WinHandle = WinOwner<HANDLE, CloseHandle>;   // files, processes, snapshots, devices
using FindHandle = WinOwner<HANDLE, FindClose>;    // directory searches

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    HKEY* Receive() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};
