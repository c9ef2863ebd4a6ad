// The about box: the program's picture, version, and the maker's web page and
// mail address (build settings) as links.
#pragma once

class QWidget;

namespace vantomo {

void ShowAboutBox(QWidget* parent);

} // namespace vantomo
