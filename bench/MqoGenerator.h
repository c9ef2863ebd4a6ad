// Writes synthetic Metasequoia documents for the import benchmark.
#pragma once

#include <cstdint>
#include <string>

namespace vantomo {

struct MqoGeneratorOptions {
    int objects = 8;           // each a grid of vertices with one face per cell
    int verticesPerObject = 125000;
    int facesPerObject = 125000; // quads, with the first cells split into triangles to reach the count
    int materials = 4;
    int mirroredObject = 0;    // this object gets mirror_axis 1; -1 for none
};

// Writes the document to `path`; returns its size in bytes, or 0 when it
// could not be written.
std::uint64_t WriteSyntheticMqo(const std::string& path, const MqoGeneratorOptions& options);

} // namespace vantomo
