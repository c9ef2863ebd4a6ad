// Where the program's file dialogs open: the folder the caller prefers (the
// current document's) when it exists, else the folder of the file last
// chosen in any of them, kept in the settings across runs, else the user's
// home; never the folder the program happens to run in.
#pragma once

#include <QString>

namespace vantomo {

// The settings value that keeps the last folder ("Vantomo/LastFolder").
inline constexpr const char* kLastFolderSetting = "Vantomo/LastFolder";

QString DialogStartFolder(const QString& preferred);
// Remembers the folder of `chosenFile` (a path the user chose) for the next dialog.
void RememberDialogFolder(const QString& chosenFile);

} // namespace vantomo
