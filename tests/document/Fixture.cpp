#include "document/Fixture.h"

#include <dirent.h>
#include <filesystem>
#include <stdlib.h>

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vantomo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
        m_path = pattern;
    }
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> TempFolder::Entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
