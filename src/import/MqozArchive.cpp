#include "import/MqozArchive.h"

#include <zip.h>

#include <cstring>

namespace vantomo {

namespace {

bool EndsWithMqo(const char* name)
{
    const std::size_t length = std::strlen(name);
    return length >= 4 && name[length - 4] == '.' && (name[length - 3] | 0x20) == 'm' &&
           (name[length - 2] | 0x20) == 'q' && (name[length - 1] | 0x20) == 'o';
}

std::string ZipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

class ZipEntrySource final : public ByteSource {
public:
    void Attach(zip_file_t* file, std::optional<std::uint64_t> size)
    {
        m_file = file;
        m_size = size;
    }
    std::size_t Read(char* buffer, std::size_t size) override
    {
        if (m_file == nullptr || m_failed) {
            return 0;
        }
        const zip_int64_t got = zip_fread(m_file, buffer, size);
        if (got <= 0) {
            m_failed = got < 0; // a damaged entry ends where it breaks
            return 0;
        }
        m_read += static_cast<std::uint64_t>(got);
        return static_cast<std::size_t>(got);
    }
    std::optional<std::uint64_t> Remaining() const override
    {
        if (!m_size) {
            return std::nullopt;
        }
        return *m_size > m_read ? *m_size - m_read : 0;
    }

private:
    zip_file_t* m_file = nullptr;
    std::optional<std::uint64_t> m_size;
    std::uint64_t m_read = 0;
    bool m_failed = false;
};

} // namespace

struct MqozDocument::Impl {
    zip_t* archive = nullptr;
    zip_file_t* entry = nullptr;
    ZipEntrySource source;

    ~Impl()
    {
        if (entry != nullptr) {
            zip_fclose(entry);
        }
        if (archive != nullptr) {
            zip_discard(archive);
        }
    }
};

MqozDocument::MqozDocument() : m_impl(std::make_unique<Impl>()) {}

MqozDocument::~MqozDocument() = default;

ByteSource& MqozDocument::Source() { return m_impl->source; }

bool MqozDocument::Open(const std::string& path, std::string& error)
{
    int code = 0;
    m_impl->archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (m_impl->archive == nullptr) {
        error = ZipErrorText(code);
        return false;
    }
    const zip_int64_t count = zip_get_num_entries(m_impl->archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const char* name = zip_get_name(m_impl->archive, index, 0);
        if (name == nullptr || !EndsWithMqo(name)) {
            continue;
        }
        m_impl->entry = zip_fopen_index(m_impl->archive, index, 0);
        if (m_impl->entry == nullptr) {
            error = zip_strerror(m_impl->archive);
            return false;
        }
        std::optional<std::uint64_t> size;
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_impl->archive, index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) != 0) {
            size = stat.size;
        }
        m_impl->source.Attach(m_impl->entry, size);
        return true;
    }
    error = "the archive holds no .mqo document";
    return false;
}

} // namespace vantomo
