// The document inside a ".mqoz" container (a zip archive that Metasequoia 4
// writes with the document and its thumbnail).
#pragma once

#include <memory>
#include <string>

#include "import/ByteSource.h"

namespace vantomo {

class MqozDocument {
public:
    MqozDocument();
    ~MqozDocument();
    MqozDocument(const MqozDocument&) = delete;
    MqozDocument& operator=(const MqozDocument&) = delete;

    // Opens the archive and its first entry whose name ends in ".mqo" (in any
    // letter case). On failure returns false with a reason in `error` (UTF-8).
    bool Open(const std::string& path, std::string& error);

    // The entry's bytes, streamed; valid after a successful Open.
    ByteSource& Source();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace vantomo
