// vantomo-cli convert FILE... -o OUT.vtm: open or import each file, in order,
// into one new scene as the open operation does, then save the project.
#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/StderrSink.h"
#include "cli/Open.h"
#include "document/Document.h"
#include "scene/AppValues.h"

int RunConvert(const Args& args)
{
    std::vector<std::string> files;
    std::string output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size() || !output.empty()) {
                std::cerr << "vantomo-cli convert: -o needs one output file\n";
                return kExitUsage;
            }
            output = std::string(args[++i]);
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            std::cerr << "vantomo-cli convert: unknown option " << args[i] << '\n';
            return kExitUsage;
        } else {
            files.emplace_back(args[i]);
        }
    }
    if (output.empty() || files.empty()) {
        std::cerr << "usage: vantomo-cli convert FILE... -o OUT.vtm\n";
        return kExitUsage;
    }

    ResetAppValues();
    CTessaline scene;
    StderrSink messages;
    std::vector<OpenOutcome> outcomes;
    if (!OpenDocumentsInto(scene, files, messages, outcomes)) {
        return kExitFailure;
    }
    std::string detail;
    if (!SaveProjectFile(scene, output, &detail)) {
        std::cerr << "vantomo-cli: " << output << ": " << kSaveFailedMessage << " (" << detail << ")\n";
        return kExitFailure;
    }
    return kExitOk;
}
