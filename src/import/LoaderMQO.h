// The Metasequoia document reader and the import entry.
//
// The reader appends every material of a document to the scene's materials
// and turns every object into one model at the root of the selected
// character. It understands material colours, factors and texture names, the
// facet angle, the mirror axis, vertices and faces; everything else is
// skipped by counting braces. A document that declares "CodePage utf8" is
// split byte by byte and its names are converted to CP932.
#pragma once

#include <cstdint>
#include <string>

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
                                          // a binary block that could not be skipped
inline constexpr int kMqoEndInChunk = -2; // the document ends inside a chunk
inline constexpr int kMqoNotDocument = -3; // the first line is not "Metasequoia Document"
inline constexpr int kMqoBadFormat = -4;   // the second line is not "Format Text Ver" >= 1.0

class LoaderMQO {
public:
    // Takes the parent reference (~m_selectedCharacter) and the material id
    // base (m_nextMaterialId) from the scene now. Neither the scene nor the
    // source is owned.
    LoaderMQO(CTessaline& scene, ByteSource& source, MessageSink& messages);
    virtual ~LoaderMQO() = default;
    LoaderMQO(const LoaderMQO&) = delete;
    LoaderMQO& operator=(const LoaderMQO&) = delete;

    // Reads the whole document; returns a result code. Materials and completed
    // models read before a failure stay in the scene; a model whose object
    // was not read to its end never reaches it.
    int Load();

private:
    int CheckHeader();
    int ReadChunks();
    int ReadMaterialChunk();
    int ReadObject(int tokenCount);
    // The chunk readers return 0 when they reached their closing brace, or a code.
    int ReadObjectChunk(CModel& model);
    int ReadVertexChunk(CModel& model, int countHint);
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
    bool m_utf8 = false;
};

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
// MakeNamesUnique. Texture messages go to `messages`.
//
// With a `progress`, the document's bytes are reported as they are read.
// When the user stops the import there, the scene is left exactly as it was
// (no model, material or id of the document stays) and the result is
// cancelled.
OpenResult ImportMQO(CTessaline& scene, const std::string& path, MessageSink& messages, TextureLookup* textures,
                     Progress* progress = nullptr);

// The same over bytes already at hand; the lookup is used as it is.
OpenResult ImportMQO(CTessaline& scene, ByteSource& source, MessageSink& messages, const TextureLookup* textures,
                     Progress* progress = nullptr);

} // namespace vantomo
