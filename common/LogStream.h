// Builds one log record in a fixed array inside the object, so a record costs
// no heap allocation. Anything that does not fit marks the stream failed and
// the whole record is dropped: a half record is worse than none.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>

namespace common {

class LogStream {
public:
    static constexpr std::size_t kCapacity = 10240;

    LogStream() = default;
    LogStream(const LogStream&) = delete;
    LogStream& operator=(const LogStream&) = delete;

    void write(const char* bytes, std::size_t count) {
        if (failed_ || count > kCapacity - size_) {
            failed_ = true;
            return;
        }
        std::memcpy(buffer_ + size_, bytes, count);
        size_ += count;
    }

    void printf(const char* format, ...) __attribute__((format(gnu_printf, 2, 3))) {
        if (failed_) return;
        const std::size_t room = kCapacity - size_;
        va_list args;
        va_start(args, format);
        const int n = std::vsnprintf(buffer_ + size_, room, format, args);
        va_end(args);
        // n == room would have cut the last byte for the terminator.
        if (n < 0 || static_cast<std::size_t>(n) >= room) {
            failed_ = true;
            return;
        }
        size_ += static_cast<std::size_t>(n);
    }

    bool good() const { return !failed_; }
    const char* data() const { return buffer_; }
    std::size_t size() const { return size_; }

private:
    char buffer_[kCapacity];
    std::size_t size_ = 0;
    bool failed_ = false;
};

}  // namespace common
