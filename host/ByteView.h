// A read-only window on untrusted bytes.
//
// Every read of a file's contents goes through this type. A read names its absolute
// position and size; both are checked in 64-bit arithmetic before any byte is touched,
// so a position computed from hostile counts can be negative or far past the end without
// harm: the read simply reports that the bytes are not there.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

namespace velmora {

class ByteView {
public:
    ByteView() = default;
    ByteView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit ByteView(std::span<const std::uint8_t> bytes) : data_(bytes.data()), size_(bytes.size()) {}

    std::int64_t size() const { return static_cast<std::int64_t>(size_); }
    bool empty() const { return size_ == 0; }

    // True when [pos, pos + count) lies inside the view. Never overflows.
    bool Contains(std::int64_t pos, std::int64_t count) const
    {
        return pos >= 0 && count >= 0 && pos <= size() && count <= size() - pos;
    }

    std::optional<std::uint8_t> U8(std::int64_t pos) const { return Le<std::uint8_t, 1>(pos); }
    std::optional<std::int8_t> I8(std::int64_t pos) const { return Le<std::int8_t, 1>(pos); }
    std::optional<std::uint16_t> U16(std::int64_t pos) const { return Le<std::uint16_t, 2>(pos); }
    std::optional<std::int16_t> I16(std::int64_t pos) const { return Le<std::int16_t, 2>(pos); }
    std::optional<std::uint32_t> U32(std::int64_t pos) const { return Le<std::uint32_t, 4>(pos); }
    std::optional<std::int32_t> I32(std::int64_t pos) const { return Le<std::int32_t, 4>(pos); }
    std::optional<std::uint64_t> U64(std::int64_t pos) const { return Le<std::uint64_t, 8>(pos); }
    // An integer as wide as T.
    template <std::integral T>
    std::optional<T> Int(std::int64_t pos) const { return Le<T, sizeof(T)>(pos); }

    std::optional<float> F32(std::int64_t pos) const
    {
        auto bits = U32(pos);
        if (!bits)
            return std::nullopt;
        float value;
        std::memcpy(&value, &*bits, sizeof value);
        return value;
    }

    // A number of type T: an integer as wide as T, or an IEEE single.
    template <class T>
    std::optional<T> Number(std::int64_t pos) const
    {
        if constexpr (std::same_as<T, float>)
            return F32(pos);
        else
            return Int<T>(pos);
    }

    // A record of fixed layout (see StoredFields below), or nothing when it is not all
    // inside the view.
    template <class Record>
    std::optional<Record> Read(std::int64_t pos) const;

    // The bytes [pos, pos + count), or nothing when they are not all inside the view.
    std::optional<ByteView> Sub(std::int64_t pos, std::int64_t count) const
    {
        if (!Contains(pos, count))
            return std::nullopt;
        return ByteView(data_ + pos, static_cast<std::size_t>(count));
    }

    // The bytes from pos to the end (empty when pos is at or past the end).
    ByteView Tail(std::int64_t pos) const
    {
        if (pos < 0)
            pos = 0;
        if (pos >= size())
            return {};
        return ByteView(data_ + pos, size_ - static_cast<std::size_t>(pos));
    }

    // First position at or after `from` where `needle` occurs whole, or -1.
    std::int64_t Find(std::string_view needle, std::int64_t from) const;

    const std::uint8_t* data() const { return data_; }
    std::span<const std::uint8_t> span() const { return {data_, size_}; }

private:
    template <class T, int N>
    std::optional<T> Le(std::int64_t pos) const
    {
        if (!Contains(pos, N))
            return std::nullopt;
        std::uint64_t value = 0;
        for (int i = N - 1; i >= 0; --i)
            value = (value << 8) | data_[pos + i];
        return static_cast<T>(value);
    }

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// Records of fixed layout. A record type lists its stored fields in file order with a
//   template <class Self, class Visit> static constexpr void StoredFields(Self& record, Visit&& visit)
// member that calls visit(field) for each; a field is an integer, read little-endian as wide
// as its type, or Unused<N>: N bytes that are not read.
template <std::size_t N>
struct Unused {};

namespace detail {
template <class T>
constexpr std::int64_t StoredWidth(const T&) { return sizeof(T); }
template <std::size_t N>
constexpr std::int64_t StoredWidth(const Unused<N>&) { return N; }
} // namespace detail

// The bytes a record of fixed layout takes.
template <class Record>
inline constexpr std::int64_t StoredSize = [] {
    std::int64_t size = 0;
    Record record{};
    Record::StoredFields(record, [&](const auto& field) { size += detail::StoredWidth(field); });
    return size;
}();

template <class Record>
std::optional<Record> ByteView::Read(std::int64_t pos) const
{
    if (!Contains(pos, StoredSize<Record>))
        return std::nullopt;
    Record record{};
    Record::StoredFields(record, [&](auto& field) {
        using Field = std::remove_cvref_t<decltype(field)>;
        if constexpr (std::integral<Field>)
            field = *Int<Field>(pos);
        pos += detail::StoredWidth(field);
    });
    return record;
}

inline std::int64_t ByteView::Find(std::string_view needle, std::int64_t from) const
{
    if (from < 0)
        from = 0;
    const auto n = static_cast<std::int64_t>(needle.size());
    if (n == 0 || from > size() || n > size() - from)
        return -1;
    // memchr finds candidates for the first byte quickly; the rest is compared in place.
    const std::uint8_t first = static_cast<std::uint8_t>(needle[0]);
    const std::int64_t lastStart = size() - n;
    std::int64_t pos = from;
    while (pos <= lastStart) {
        const void* hit = std::memchr(data_ + pos, first, static_cast<std::size_t>(lastStart - pos + 1));
        if (!hit)
            return -1;
        pos = static_cast<const std::uint8_t*>(hit) - data_;
        if (std::memcmp(data_ + pos + 1, needle.data() + 1, static_cast<std::size_t>(n - 1)) == 0)
            return pos;
        ++pos;
    }
    return -1;
}

} // namespace velmora
