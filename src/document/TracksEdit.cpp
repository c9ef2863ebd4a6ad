// Until the history can hold whole tracks, an edit of several keys cannot be
// taken back entry by entry: it empties the history, as the structure edits
// do, so no older entry restores a record the edit moved. The current frame
// stays where it is.
#include "document/Document.h"

namespace vantomo {

void CVantomoDoc::RecordTracksEdit(std::string_view, int, std::vector<int>, std::vector<Track>)
{
    m_scene.ClearHistory(false);
}

} // namespace vantomo
