// Files dropped on the main window, in the order the platform gives them.
#pragma once

#include <string>
#include <vector>

#include "document/Document.h"

namespace vantomo {

// What a dropped path is, by its last three characters in any letter case
// (so "MODEL.MQO" and even "modelmqo" count as Metasequoia documents).
enum class DroppedKind { Project, Metasequoia, Other };
DroppedKind KindOfDroppedPath(const std::string& path);

// For each path in order: a project is opened as the open command does
// (a modified document is offered for saving first; Cancel drops the rest),
// and later paths are ignored; a Metasequoia document is imported into the
// selected character, the views hear hint 104 and the document is marked
// modified, leaving the history and the selection as they are; anything
// else is skipped. Returns how many files were opened or imported.
int OpenDroppedFiles(CVantomoDoc& doc, const std::vector<std::string>& paths);

} // namespace vantomo
