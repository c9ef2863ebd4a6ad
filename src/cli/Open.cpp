#include "cli/Open.h"

OpenOutcome OpenDocumentInto(CTessaline& /*scene*/, const std::string& path, MessageSink& /*messages*/)
{
    OpenOutcome outcome;
    outcome.error = "cannot open " + path + ": no reader for this file type";
    return outcome;
}
