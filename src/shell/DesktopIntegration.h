// The file-type registration on a freedesktop system: a desktop entry that
// opens ".vtm" files with this program and a shared-mime-info type
// application/x-vantomo, installed for the user (under the XDG data folder,
// ~/.local/share by default) at every start, removed by the registration
// removal command.
#pragma once

#include <QString>

namespace vantomo {

// The desktop entry's text for the program at `executable`.
QString DesktopEntryText(const QString& executable);
// The shared-mime-info package text of the ".vtm" type.
QString MimePackageText();

// Writes the desktop entry, the mime package and the icon under `dataHome`
// and runs update-mime-database and update-desktop-database where they are
// installed (without waiting for them) unless `refresh` is false. False when
// a file could not be written.
bool InstallFileType(const QString& dataHome, const QString& executable, bool refresh = true);
// Removes what InstallFileType wrote and refreshes the databases. True when
// nothing of it is left.
bool RemoveFileType(const QString& dataHome, bool refresh = true);

// The user's XDG data folder.
QString UserDataHome();

} // namespace vantomo
