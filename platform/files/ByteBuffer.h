// SPDX-License-Identifier: MIT
#pragma once
// A growable byte buffer that is reused from file to file: it keeps its
// capacity and never zero-fills what it is about to overwrite.

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <string_view>

namespace dw::platform {

class ByteBuffer {
public:
    ByteBuffer() = default;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    char* data() { return storage_.get(); }
    const char* data() const { return storage_.get(); }
    std::size_t size() const { return size_; }
    std::string_view view() const { return {storage_.get(), size_}; }

    // Makes room for `bytes` bytes; the contents are undefined afterwards.
    void resizeUninitialised(std::size_t bytes)
    {
        if (bytes > capacity_) {
            std::size_t grown = capacity_ + capacity_ / 2;
            std::size_t capacity = bytes > grown ? bytes : grown;
            void* block = std::malloc(capacity ? capacity : 1);
            if (!block)
                throw std::bad_alloc();
            storage_.reset(static_cast<char*>(block));
            capacity_ = capacity;
        }
        size_ = bytes;
    }

    void setSize(std::size_t bytes) { size_ = bytes <= capacity_ ? bytes : capacity_; }
    void clear() { size_ = 0; }

private:
    struct Free {
        void operator()(char* p) const noexcept { std::free(p); }
    };
    std::unique_ptr<char, Free> storage_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace dw::platform
