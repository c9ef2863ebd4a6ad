// A byte archive in the project file's encoding: little-endian 32-bit integers
// and floats, and byte strings behind the framework's length prefix.
//
// One archive either stores or loads. A storing archive appends to its own
// growing buffer, or, given a sink, to a fixed buffer that it hands to the sink
// whenever it fills (so a file is written in large blocks, never per field). A
// loading archive reads from a caller's buffer that must outlive it. Serialization routines take an
// archive and call the same transfer functions in both directions; the archive
// knows which way the bytes flow.
//
// Loading never reads past the end: a read that does not fit sets the failure
// flag, which stays set, and gives zeros. Routines check Failed() before they
// allocate for a count, and Count() refuses counts the remaining bytes cannot
// hold, so a hostile count never allocates more than a small multiple of the
// input size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace vantomo {

// Where a storing archive sends its bytes.
class ArchiveSink {
public:
    virtual ~ArchiveSink() = default;
    // False when the bytes could not be taken; the archive then fails.
    virtual bool Write(const unsigned char* data, std::size_t size) = 0;
};

class Archive {
public:
    // A storing archive with an empty buffer.
    Archive();
    // A storing archive that passes its bytes to `sink` in blocks of about
    // `bufferBytes`; call Flush() at the end.
    explicit Archive(ArchiveSink& sink, std::size_t bufferBytes = std::size_t{1} << 20);
    // A loading archive over `bytes`.
    explicit Archive(std::span<const unsigned char> bytes);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool IsStoring() const { return m_storing; }
    bool IsLoading() const { return !m_storing; }

    // Loading: true once a read did not fit the layout. Storing: true when the
    // buffer could not grow (out of memory); the stored bytes are then incomplete.
    bool Failed() const { return m_failed; }
    // Marks the archive failed (a routine found a value that breaks the layout).
    void Fail() { m_failed = true; }

    // Loading: bytes not read yet. Storing: 0.
    std::size_t Remaining() const { return m_storing ? 0 : m_size - m_position; }
    // Loading: bytes read so far. Storing: bytes stored so far.
    std::size_t Position() const { return m_storing ? m_flushed + m_size : m_position; }

    // Storing without a sink: the bytes stored so far.
    std::span<const unsigned char> Stored() const { return {m_data, m_size}; }

    // Storing with a sink: hand the buffered bytes to it. False when it failed.
    bool Flush();

    // Transfers in the archive's direction.
    void Int(std::int32_t& value) { Raw(&value, 4); }
    void Float(float& value) { Raw(&value, 4); }
    // Byte string with the length prefix: one byte when < 255, else 0xFF and a
    // 16-bit length when < 0xFFFE, else 0xFF 0xFFFF and a 32-bit length. On
    // loading a prefix 0xFF 0xFFFE introduces UTF-16 text, which is converted to
    // CP932 (characters CP932 cannot hold become '?').
    void String(std::string& value);
    // `size` bytes as they are (the caller guarantees the memory layout equals
    // the file layout, which holds on little-endian machines).
    void Raw(void* data, std::size_t size)
    {
        if (size == 0) {
            return; // an empty vector's data may be null
        }
        if (m_storing) {
            Append(data, size);
        } else if (size <= m_size - m_position && !m_failed) {
            std::memcpy(data, m_data + m_position, size);
            m_position += size;
        } else {
            std::memset(data, 0, size);
            m_failed = true;
        }
    }

    // A count that precedes `count` elements of at least `minElementBytes` each.
    // Storing: writes `count`. Loading: reads it and returns false (failing the
    // archive) when it is negative, above `ceiling` or more than the remaining
    // bytes could hold.
    bool Count(std::int32_t& count, std::size_t minElementBytes, std::int32_t ceiling = INT32_MAX)
    {
        Int(count);
        return m_storing || CheckCount(count, minElementBytes, ceiling);
    }

    // True for a storing archive that hands its bytes to a sink.
    bool Streaming() const { return m_sink != nullptr; }

    // Storing: reserve room for `bytes` more bytes.
    void Reserve(std::size_t bytes);

private:
    void Append(const void* data, std::size_t size)
    {
        if (size == 0) {
            return;
        }
        if (size <= m_capacity - m_size) {
            std::memcpy(m_data + m_size, data, size);
            m_size += size;
            return;
        }
        AppendSlow(data, size);
    }
    void AppendSlow(const void* data, std::size_t size);
    bool CheckCount(std::int32_t& count, std::size_t minElementBytes, std::int32_t ceiling);
    bool Grow(std::size_t extra);

    unsigned char* m_data = nullptr; // storing: owned, from malloc
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::size_t m_position = 0;
    std::size_t m_flushed = 0; // storing with a sink: bytes already handed over
    ArchiveSink* m_sink = nullptr;
    bool m_storing = true;
    bool m_failed = false;
};

} // namespace vantomo
