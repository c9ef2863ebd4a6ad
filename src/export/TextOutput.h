// A text file written in chunks through an AtomicFile, with the number
// formats the writers use.
//
// The writers produce documents of hundreds of megabytes, so the text is
// never held whole: it collects in a buffer of a few hundred kilobytes that
// goes to the temporary file whenever it fills. The first failing write is
// kept; later appends are still accepted (and dropped), so a writer checks
// once, at Commit. Numbers never follow the process locale.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/FileIo.h"
#include "base/Progress.h"

namespace vantomo {

// printf("%f") of a single-precision value promoted to double: six decimals,
// '.' as the separator, correctly rounded (ties to even). Writes at most
// kMaxFixed6Chars bytes at `out` and returns the end.
inline constexpr std::size_t kMaxFixed6Chars = 64;
char* FormatFloatFixed6(char* out, float value);

// printf("%d"); writes at most 20 bytes.
char* FormatDecimal(char* out, long long value);

class TextOutput {
public:
    explicit TextOutput(std::string path);
    TextOutput(const TextOutput&) = delete;
    TextOutput& operator=(const TextOutput&) = delete;

    // Creates the temporary file beside the target; false (with Error) when it cannot be created.
    [[nodiscard]] bool Open();

    // Progress in the writer's own units (faces, records): the writer says
    // how many there are and advances as it goes; the count is reported
    // whenever the buffer goes to the file. When the user asks to stop, the
    // output fails with ECANCELED: nothing more is written and Commit leaves
    // the old target as it was.
    void SetProgress(Progress* progress, std::uint64_t total) { m_meter = WorkMeter(progress, total); }
    void Advance(std::uint64_t units) { m_meter.Advance(units); }
    // A write failed or the user stopped: nothing appended now reaches the file,
    // so a writer may give up early.
    bool Failed() const { return m_error != 0; }

    void Append(std::string_view text)
    {
        if (text.size() > static_cast<std::size_t>(m_end - m_cursor)) {
            AppendSlow(text);
            return;
        }
        for (char c : text) {
            *m_cursor++ = c;
        }
    }
    void Append(char c)
    {
        if (m_cursor == m_end) {
            Flush();
        }
        *m_cursor++ = c;
    }
    // "\r\n": every document ends its lines the way the Windows tools wrote them.
    void EndLine() { Append(std::string_view("\r\n")); }
    void Tabs(int count)
    {
        for (int i = 0; i < count; ++i) {
            Append('\t');
        }
    }
    void Fixed6(float value)
    {
        Reserve(kMaxFixed6Chars);
        m_cursor = FormatFloatFixed6(m_cursor, value);
    }
    void Int(long long value)
    {
        Reserve(24);
        m_cursor = FormatDecimal(m_cursor, value);
    }

    // Writes what is buffered, flushes the file to the disk and renames it over
    // the target. False (the old target intact, the temporary file removed)
    // when any write or the commit failed; Error() is then the errno.
    [[nodiscard]] bool Commit();
    int Error() const { return m_error; }
    // Bytes appended so far.
    std::size_t Size() const { return m_flushed + static_cast<std::size_t>(m_cursor - m_buffer.data()); }

private:
    void Reserve(std::size_t bytes)
    {
        if (static_cast<std::size_t>(m_end - m_cursor) < bytes) {
            Flush();
        }
    }
    void AppendSlow(std::string_view text);
    void Flush();

    AtomicFile m_file;
    std::vector<char> m_buffer;
    char* m_cursor = nullptr;
    char* m_end = nullptr;
    std::size_t m_flushed = 0;
    WorkMeter m_meter;
    int m_error = 0;
    bool m_open = false;
};

} // namespace vantomo
