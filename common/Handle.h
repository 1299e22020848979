// One owning wrapper for every kind of system handle. The traits say which
// value means "no handle" and how to close one; the wrapper closes exactly
// once, cannot be copied, can be moved, and keeps GetLastError() intact
// across the close so a failure can still be logged after cleanup.
//
//   common::FileHandle file(CreateFileW(...));
//   if (!file) { OV_LOG(tag, L"... error = %d.", GetLastError()); return false; }
//
// Other kinds are one alias away, e.g. for WinINet:
//   using InternetHandle = common::UniqueHandle<common::NullHandleTraits<HINTERNET, &InternetCloseHandle>>;
#pragma once

#include <windows.h>

#include <utility>

namespace common {

// Handles whose empty value is NULL (threads, events, processes, registry
// keys, modules, GDI objects, WinINet handles).
template <typename T, auto CloseFn>
struct NullHandleTraits {
    using type = T;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { CloseFn(h); }
};

// Handles whose empty value is INVALID_HANDLE_VALUE (files, find handles,
// snapshots).
template <auto CloseFn>
struct InvalidHandleTraits {
    using type = HANDLE;
    static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(type h) noexcept { CloseFn(h); }
};

template <typename Traits>
class UniqueHandle {
public:
    using type = typename Traits::type;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(type h) noexcept : h_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    type get() const noexcept { return h_; }
    bool valid() const noexcept { return h_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    // Closes the held handle (if any) and takes ownership of h.
    void reset(type h = Traits::invalid()) noexcept {
        if (valid()) {
            DWORD error = GetLastError();
            Traits::close(h_);
            SetLastError(error);
        }
        h_ = h;
    }

    // Gives up ownership without closing; the caller must close the result.
    [[nodiscard]] type release() noexcept { return std::exchange(h_, Traits::invalid()); }

    // For APIs that return the handle through an out-parameter.
    type* put() noexcept {
        reset();
        return &h_;
    }

private:
    type h_ = Traits::invalid();
};

using Handle = UniqueHandle<NullHandleTraits<HANDLE, &CloseHandle>>;
using FileHandle = UniqueHandle<InvalidHandleTraits<&CloseHandle>>;
using FindHandle = UniqueHandle<InvalidHandleTraits<&FindClose>>;
using RegKey = UniqueHandle<NullHandleTraits<HKEY, &RegCloseKey>>;
using Module = UniqueHandle<NullHandleTraits<HMODULE, &FreeLibrary>>;
template <typename T>  // HBITMAP, HFONT, HBRUSH, HPEN, HRGN
using GdiObject = UniqueHandle<NullHandleTraits<T, &DeleteObject>>;

}  // namespace common
