#include "document/ImportHook.h"

// This build has no Metasequoia reader yet; opening a ".mqo" file imports
// nothing and the steps after opening still run.
bool ImportMetasequoiaInto(CTessaline& /*scene*/, const std::string& /*path*/, MessageSink& /*messages*/)
{
    return false;
}
