// Writing the scene's geometry back as a Metasequoia document: the materials
// and one object per model with the imported vertex positions (scaled), the
// faces with their material numbers and, on request, their texture
// coordinates. Poses, pivots and the hierarchy are not written.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "export/ExportResult.h"
#include "export/TextOutput.h"
#include "scene/CTessaline.h"

namespace vantomo {

// Shown when the document could not be written.
inline constexpr const char* kMqoExportFailedMessage = "Metasequoiaファイルへの書き出しに失敗しました。";

// Material number as a face writes it: the position in m_materials of the
// first material with the face's id, or the id itself when none has it (a
// reader then takes it as a position, as it always has).
class MaterialPositions {
public:
    explicit MaterialPositions(const std::vector<CMaterial>& materials);
    int Of(int id) const;
    // The position of the first material with `id`, or -1.
    int Find(int id) const;

private:
    std::unordered_map<int, int> m_positions;
};

// Writes the document to `path` atomically, lines ending in CR LF: header,
// the fixed scene chunk, every material (shader always 3; tex group when it
// has a texture name), every model as an object, "Eof". Quoted names have '"'
// and control characters replaced by '_' so the quotes hold (the scene keeps
// its names). A failure leaves any old file and gives the message above.
// Progress is counted in faces; the user may stop the export (cancelled result).
ExportResult WriteMQO(const CTessaline& scene, float scale, const std::string& path, bool writeUV,
                      Progress* progress = nullptr);

// The vertex and face chunks of one model: positions times `scale` (the product
// in single precision); triangles and quadrilaterals with their corner indices
// and material number, a UV group when `writeUV` is set and the face has a
// coordinate per corner. Faces of other corner counts are counted but not written.
void WriteMQOObject(TextOutput& out, const CModel& model, const MaterialPositions& materials, bool writeUV,
                    float scale);

} // namespace vantomo
