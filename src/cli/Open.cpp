#include "cli/Open.h"

#include <iostream>

#include "cli/TerminalProgress.h"
#include "document/Document.h"
#include "import/LoaderMQO.h"

namespace vantomo {

OpenResult OpenDocumentInto(CTessaline& scene, const std::string& path, MessageSink& messages,
                            TextureLookup& textures)
{
    const std::string extension = ExtensionOf(path);
    if (extension != "vtm" && extension != "mqo" && extension != "mqoz") {
        OpenResult refused;
        refused.message = "no reader for this file type";
        return refused;
    }
    bool modified = false;
    TerminalProgress progress("reading " + path);
    return OpenInto(scene, path, messages, textures, modified, &progress);
}

bool OpenDocumentsInto(CTessaline& scene, const std::vector<std::string>& files, MessageSink& messages,
                       std::vector<OpenResult>& outcomes)
{
    // One lookup for the list, as the desktop program keeps one: each import
    // moves the base folder of the texture names that follow.
    TextureLookup textures;
    for (const std::string& file : files) {
        OpenResult outcome = OpenDocumentInto(scene, file, messages, textures);
        if (!outcome.ok) {
            std::cerr << "vantomo-cli: cannot open " << file << ": " << outcome.Describe() << '\n';
            return false;
        }
        outcomes.push_back(std::move(outcome));
    }
    return true;
}

bool ReportIncompleteDocuments(const std::vector<std::string>& files, const std::vector<OpenResult>& outcomes)
{
    bool any = false;
    for (std::size_t i = 0; i < outcomes.size() && i < files.size(); ++i) {
        if (!outcomes[i].Complete()) {
            const int code = outcomes[i].importCode.value_or(0);
            std::cerr << "vantomo-cli: " << files[i] << ": read only in part: result " << code << " ("
                      << MqoResultMeaning(code) << ")\n";
            any = true;
        } else if (!outcomes[i].objectsWithoutModel.empty()) {
            std::cerr << "vantomo-cli: " << files[i] << ": read, but no model was made from its objects\n";
            any = true;
        }
    }
    return any;
}

} // namespace vantomo
