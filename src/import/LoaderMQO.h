// The Metasequoia document reader and the import entry.
//
// The reader appends every material of a document to the scene's materials
// and turns every object into one model at the root of the selected
// character. It understands material colours, factors and texture names, the
// facet angle, the mirror axis, vertices (as text lines or as a binary
// BVertex block of little-endian float triples) and faces; everything else
// is skipped by counting braces. A document that declares "CodePage utf8" is
// split byte by byte and its names are converted to CP932.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "import/ByteSource.h"
#include "import/StringSeparator.h"
#include "scene/CTessaline.h"
#include "import/TextureLoader.h"
#include "scene/OperationResult.h"
#include "scene/MessageSink.h"

namespace vantomo {

// Result codes of LoaderMQO::Load.
inline constexpr int kMqoOk = 0;
inline constexpr int kMqoMalformed = -1;  // a chunk line without "{", a face line without its
                                          // vertex group, an object that could not be read,
                                          // a binary block that could not be skipped or read
inline constexpr int kMqoEndInChunk = -2; // the document ends inside a chunk
inline constexpr int kMqoNotDocument = -3; // the first line is not "Metasequoia Document"
inline constexpr int kMqoBadFormat = -4;   // the second line is not "Format Text Ver" >= 1.0

class LoaderMQO {
public:
    // Takes the parent reference (~m_selectedCharacter) and the material id
    // base (m_nextMaterialId) from the scene now. Neither the scene nor the
    // source is owned.
    // New models' tracks are sized by `shape`.
    LoaderMQO(CTessaline& scene, ByteSource& source, MessageSink& messages, const TrackShape& shape = {});
    virtual ~LoaderMQO() = default;
    LoaderMQO(const LoaderMQO&) = delete;
    LoaderMQO& operator=(const LoaderMQO&) = delete;

    // Reads the whole document; returns a result code. Materials and completed
    // models read before a failure stay in the scene; a model whose object
    // was not read to its end never reaches it. An object whose binary
    // vertices disagree with their own count is left out and reading goes on
    // after its block; the result is then kMqoMalformed.
    int Load();

    // After Load: the names of the objects left out because they could not be
    // read, of those kept out for having no usable face, and how many models
    // were added.
    const std::vector<std::string>& UnreadObjects() const { return m_unreadObjects; }
    const std::vector<std::string>& FacelessObjects() const { return m_facelessObjects; }
    int ModelsAdded() const { return m_modelsAdded; }

private:
    int CheckHeader();
    int ReadChunks();
    int ReadMaterialChunk();
    int ReadObject(int tokenCount);
    // The chunk readers return 0 when they reached their closing brace, or a code.
    // `unreadable` is set when the object cannot be used although its chunk
    // could be followed to its end.
    int ReadObjectChunk(CModel& model, bool& unreadable);
    int ReadVertexChunk(CModel& model, int countHint);
    int ReadBinaryVertexChunk(CModel& model, int count, bool& unreadable);
    int ReadBinaryVertices(CModel& model, int count);
    int ReadFaceChunk(CModel& model, int countHint);
    void ReadMaterialLine(int tokenCount);
    int SkipChunk(int tokenCount);
    int SkipBinaryData(int count);

    // A name or file name from the document, as CP932.
    std::string Text(int index) const;
    // A container size for `count` elements of at least `minBytes` bytes each,
    // bounded by what is left of the document.
    std::size_t ReserveHint(int count, std::size_t minBytes) const;

    CTessaline* m_scene;
    MessageSink* m_messages;
    AsciiFileString m_tokens;
    int m_rootParent;
    int m_materialBase;
    TrackShape m_shape;
    bool m_utf8 = false;
    std::vector<std::string> m_unreadObjects;
    std::vector<std::string> m_facelessObjects;
    int m_modelsAdded = 0;
};

// The message naming the objects an import left out (OpenResult's
// unreadObjects and objectsWithoutModel): a heading line, then one name a
// line, for each list that is not empty. Empty when both are.
inline constexpr const char* kUnreadObjectsMessage = "次のオブジェクトは読み込めなかったため、取り込みませんでした:";
inline constexpr const char* kObjectsWithoutModelMessage = "次のオブジェクトには使える面がないため、モデルを作れませんでした:";
std::string MissingObjectsMessage(const OpenResult& result);

// What a result code means, in a few English words ("complete", "the
// document ends inside a chunk", ...), for messages on the command line.
const char* MqoResultMeaning(int code);


// Imports the document at `path` (".mqo", or a ".mqoz" container whose first
// ".mqo" entry is read) into the selected character of `scene`. When the file
// opens, the folder of the path becomes the base folder of `textures`. After
// the reader, whatever its result: the texture files of the new materials
// are loaded through `textures` (none when it is null, so nothing but the
// document is read), then a default material when the scene has none,
// UpdateD3DMaterial of every material, UpdateBounds and ComputeNormals of
// every model (whose vertex buffers are marked for rebuilding),
// MakeNamesUnique. Texture messages go to `messages`, and so does
// MissingObjectsMessage when the document's objects gave no model that the
// user would otherwise miss without a word.
//
// With a `progress`, the document's bytes are reported as they are read.
// When the user stops the import there, the scene is left exactly as it was
// (no model, material or id of the document stays) and the result is
// cancelled.
// New models get tracks of `shape`: one per animation, the current one with
// its frames (the others get each animation's length in the scene).
OpenResult ImportMQO(CTessaline& scene, const std::string& path, MessageSink& messages, TextureLookup* textures,
                     Progress* progress = nullptr, const TrackShape& shape = {});

// The same over bytes already at hand; the lookup is used as it is.
OpenResult ImportMQO(CTessaline& scene, ByteSource& source, MessageSink& messages, const TextureLookup* textures,
                     Progress* progress = nullptr, const TrackShape& shape = {});

} // namespace vantomo
