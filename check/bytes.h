// A bounds-checked view of a file's bytes for the binary readers: every read
// says whether it was inside the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace nuvcheck {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size, bool bigEndian = false)
        : data_(data), size_(size), big_(bigEndian) {}

    std::size_t size() const { return size_; }
    void setBigEndian(bool big) { big_ = big; }

    // True when [offset, offset + count) lies inside the bytes.
    bool has(std::uint64_t offset, std::uint64_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }

    // An unsigned number of `width` bytes (1, 2, 4 or 8) in the file's byte order.
    bool get(std::uint64_t offset, int width, std::uint64_t& out) const {
        if (!has(offset, static_cast<std::uint64_t>(width))) return false;
        out = 0;
        for (int i = 0; i < width; ++i) {
            const int at = big_ ? i : width - 1 - i;
            out = (out << 8) | data_[offset + static_cast<std::uint64_t>(at)];
        }
        return true;
    }
    bool u16(std::uint64_t offset, std::uint64_t& out) const { return get(offset, 2, out); }
    bool u32(std::uint64_t offset, std::uint64_t& out) const { return get(offset, 4, out); }

    // A NUL-terminated text of at most maxLength characters starting at offset;
    // false when it leaves the bytes or is longer.
    bool text(std::uint64_t offset, std::string& out, std::size_t maxLength = 4096) const {
        if (offset >= size_) return false;
        const std::size_t room = size_ - static_cast<std::size_t>(offset);
        const std::size_t limit = room < maxLength + 1 ? room : maxLength + 1;
        const auto* start = data_ + offset;
        for (std::size_t n = 0; n < limit; ++n) {
            if (start[n] == 0) {
                out.assign(reinterpret_cast<const char*>(start), n);
                return true;
            }
        }
        return false;
    }

    bool startsWith(std::uint64_t offset, const char* magic, std::size_t count) const {
        if (!has(offset, count)) return false;
        for (std::size_t i = 0; i < count; ++i)
            if (data_[offset + i] != static_cast<std::uint8_t>(magic[i])) return false;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    bool big_;
};

}  // namespace nuvcheck
