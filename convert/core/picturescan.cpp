// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/core/picturescan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace velumbra {
namespace {

// The file a piece at a time: its size never decides the memory taken.
class Cursor
{
public:
    explicit Cursor(const ReadBytes &read) : m_read(read), m_buffer(std::size_t(1) << 16) {}

    // The next byte, or -1 at the end.
    int next()
    {
        if (m_at == m_size && !refill())
            return -1;
        return std::to_integer<int>(m_buffer[m_at++]);
    }

    // A little-endian number of @p bytes; -1 when the file ends first.
    std::int64_t little(int bytes)
    {
        std::int64_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const int b = next();
            if (b < 0)
                return -1;
            value |= std::int64_t(b) << (8 * i);
        }
        return value;
    }

    // False when the file ends before @p count more bytes.
    bool skip(std::uint64_t count)
    {
        while (count > 0) {
            if (m_at == m_size && !refill())
                return false;
            const std::size_t step = std::size_t(std::min<std::uint64_t>(count, m_size - m_at));
            m_at += step;
            count -= step;
        }
        return true;
    }

    // Moves to the next byte @p value without taking it; false at the end.
    bool skipTo(unsigned char value)
    {
        for (;;) {
            if (m_at == m_size && !refill())
                return false;
            const void *found = std::memchr(m_buffer.data() + m_at, value, m_size - m_at);
            if (found) {
                m_at = std::size_t(static_cast<const std::byte *>(found) - m_buffer.data());
                return true;
            }
            m_at = m_size;
        }
    }

    [[nodiscard]] std::uint64_t position() const { return m_before + m_at; }

private:
    bool refill()
    {
        m_before += m_size;
        m_at = 0;
        m_size = std::min(m_read(m_buffer), m_buffer.size());
        return m_size > 0;
    }

    const ReadBytes &m_read;
    std::vector<std::byte> m_buffer;
    std::size_t m_at = 0;
    std::size_t m_size = 0;
    std::uint64_t m_before = 0;
};

constexpr int kSoi = 0xD8;
constexpr int kEoi = 0xD9;
constexpr int kSos = 0xDA;

bool isRestart(int marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

bool jpegReachesEnd(Cursor &in)
{
    if (in.next() != 0xFF || in.next() != kSoi)
        return false;
    int marker = -1; // found at the end of a scan
    for (;;) {
        if (marker < 0) {
            // Stray bytes between segments, then fill bytes: the decoder skips both.
            int c = in.next();
            while (c >= 0 && c != 0xFF)
                c = in.next();
            while (c == 0xFF)
                c = in.next();
            if (c < 0)
                return false;
            marker = c;
        }
        const int current = std::exchange(marker, -1);
        if (current == kEoi)
            return true;
        // TEM, the restart markers and a stuffed zero have no length field.
        if (current == 0x00 || current == 0x01 || isRestart(current))
            continue;
        const std::int64_t high = in.next();
        const std::int64_t low = in.next();
        const std::int64_t length = high << 8 | low;
        if (low < 0 || length < 2 || !in.skip(std::uint64_t(length - 2)))
            return false;
        if (current != kSos)
            continue;
        // Entropy-coded data: runs until a marker other than a stuffed zero
        // or a restart marker.
        while (marker < 0) {
            if (!in.skipTo(0xFF))
                return false;
            int next = in.next();
            while (next == 0xFF)
                next = in.next();
            if (next < 0)
                return false;
            if (next != 0x00 && !isRestart(next))
                marker = next;
        }
    }
}

bool skipSubBlocks(Cursor &in)
{
    for (;;) {
        const int size = in.next();
        if (size <= 0)
            return size == 0;
        if (!in.skip(std::uint64_t(size)))
            return false;
    }
}

bool gifReachesEnd(Cursor &in)
{
    if (in.next() != 'G' || in.next() != 'I' || in.next() != 'F' || !in.skip(7))
        return false;
    const auto skipColourTable = [&in](int flags) {
        return flags >= 0 && (!(flags & 0x80) || in.skip(3u << ((flags & 7) + 1)));
    };
    if (!skipColourTable(in.next()) || !in.skip(2))
        return false;
    for (;;) {
        const int block = in.next();
        if (block == 0x21) { // an extension: its label, then its data blocks
            if (in.next() < 0 || !skipSubBlocks(in))
                return false;
        } else if (block == 0x2C) { // the first picture: the one converted
            return in.skip(8) && skipColourTable(in.next()) && in.next() >= 0 && skipSubBlocks(in);
        } else {
            return false;
        }
    }
}

bool rleReachesEnd(Cursor &in, std::uint64_t rows, bool fourBits)
{
    for (std::uint64_t y = 0; y < rows;) {
        const int first = in.next();
        const int second = in.next();
        if (second < 0)
            return false;
        if (first > 0) // a run: its length, then its colour
            continue;
        if (second == 0) { // end of line
            ++y;
        } else if (second == 1) { // end of bitmap
            return true;
        } else if (second == 2) { // a move right and down
            const int right = in.next();
            const int down = in.next();
            if (right < 0 || down < 0)
                return false;
            y += std::uint64_t(down);
        } else { // that many pixels as they are, padded to an even count of bytes
            const std::uint64_t bytes = fourBits ? (std::uint64_t(second) + 1) / 2 : second;
            if (!in.skip(bytes + (bytes & 1)))
                return false;
        }
    }
    return true;
}

bool bmpReachesEnd(Cursor &in)
{
    if (in.next() != 'B' || in.next() != 'M' || !in.skip(8))
        return false;
    const std::int64_t offset = in.little(4);
    const std::int64_t header = in.little(4);
    // The oldest header has 16-bit sizes and no compression.
    const bool old = header == 12;
    if (offset < 0 || (!old && header < 40))
        return false;
    const std::int64_t width = in.little(old ? 2 : 4);
    std::int64_t height = in.little(old ? 2 : 4);
    const std::int64_t bits = in.little(4) >> 16;
    const std::int64_t compression = old ? 0 : in.little(4);
    const std::int64_t coloursUsed = old ? 0 : (in.skip(12) ? in.little(4) : -1);
    if (width < 0 || height < 0 || bits < 0 || compression < 0 || coloursUsed < 0)
        return false;
    if (!old && height >= 0x80000000) // stored top-down
        height = 0x100000000 - height;
    if ((!old && width >= 0x80000000) || bits > 32)
        return true; // not a picture the decoder reads: it says so itself
    // The palette (or the three colour masks after the shortest header),
    // then the pixels from the offset on, never before the palette's end.
    std::uint64_t palette = 0;
    if (bits <= 8)
        palette =
            std::uint64_t(coloursUsed ? coloursUsed : std::int64_t(1) << bits) * (old ? 3 : 4);
    else if (compression == 3 && header == 40)
        palette = 12;
    const std::uint64_t start =
        std::max(std::uint64_t(offset), 14 + std::uint64_t(header) + palette);
    if (!in.skip(start - in.position()))
        return false;
    const auto rows = std::uint64_t(height);
    if (compression == 1 || compression == 2)
        return rleReachesEnd(in, rows, compression == 2);
    if (compression != 0 && compression != 3)
        return true;
    const std::uint64_t stride = (std::uint64_t(width) * std::uint64_t(bits) + 31) / 32 * 4;
    return (stride == 0 || rows <= UINT64_MAX / stride) && in.skip(stride * rows);
}

} // namespace

bool reachesEnd(ScannedFormat format, const ReadBytes &read)
{
    Cursor in(read);
    switch (format) {
    case ScannedFormat::Jpeg:
        return jpegReachesEnd(in);
    case ScannedFormat::Gif:
        return gifReachesEnd(in);
    case ScannedFormat::Bmp:
        return bmpReachesEnd(in);
    }
    return false;
}

bool reachesEnd(ScannedFormat format, std::span<const std::byte> data)
{
    return reachesEnd(format, ReadBytes([&data](std::span<std::byte> buffer) {
                          const std::size_t n = std::min(buffer.size(), data.size());
                          std::copy_n(data.begin(), n, buffer.begin());
                          data = data.subspan(n);
                          return n;
                      }));
}

} // namespace velumbra
