// The one result convention of operations that can fail (open, import, save,
// export): whether it worked and, when not, the message the user sees with
// the system's reason. Callers must look at it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantomo {

inline constexpr const char* kOpenFailedMessage = "ドキュメントを開くことに失敗しました。";
inline constexpr const char* kBadFormatMessage = "予期しないファイル形式です。";

struct [[nodiscard]] OperationResult {
    bool ok = false;
    std::string message; // the user's message (UTF-8) when !ok
    std::string detail;  // the system's reason (strerror or the like), when there is one
    // The user stopped the work: !ok, nothing changed and there is nothing to
    // tell (message empty).
    bool cancelled = false;

    // "message (detail)", or the message alone.
    std::string Describe() const { return detail.empty() ? message : message + " (" + detail + ")"; }
};

// How opening a project or importing a Metasequoia document went.
struct [[nodiscard]] OpenResult : OperationResult {
    // The reader's result code when a Metasequoia document was opened and
    // read (0 complete; negative: read only in part, see MqoResultMeaning).
    std::optional<int> importCode;
    int texturesFound = 0;   // texture names of the document that loaded
    int texturesMissing = 0; // ... and that did not
    // Names (CP932, as stored) of the document's objects that gave no model
    // when the user must hear of it: those the reader could not read and left
    // out, and, when the document built no model at all, those without a
    // usable face.
    std::vector<std::string> unreadObjects;
    std::vector<std::string> objectsWithoutModel;

    // The whole document was read: a project, or an import whose reader finished.
    bool Complete() const { return ok && (!importCode || *importCode == 0); }
};

} // namespace vantomo
