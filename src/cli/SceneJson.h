// The scene as the JSON document `vantomo-cli info --json` prints.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scene/CTessaline.h"

namespace vantomo {

// One opened document: its file name and the reader's result code, or none
// when nothing was read.
struct ImportRecord {
    std::string file; // UTF-8
    std::optional<int> result;
};

// Names are converted from CP932 to UTF-8 (undecodable bytes as U+FFFD).
std::string SceneToJson(const CTessaline& scene, const std::vector<ImportRecord>& imports);

} // namespace vantomo
