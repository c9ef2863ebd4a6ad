// The video export's dialog: picture size, animation, frame range and rate.
#pragma once

#include "document/VideoExport.h"

class QWidget;

namespace vantomo {

// Shows the dialog on a copy of `dialog`; on OK (with the first frame not
// after the last) the settings are written back and true is returned.
bool ShowVideoDialog(QWidget* parent, VideoDialog& dialog);

} // namespace vantomo
