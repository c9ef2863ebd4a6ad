// Reading an exported glTF back with tinygltf (a reader nobody here wrote) and
// evaluating its node tree as a glTF viewer does.
#pragma once

#include <tiny_gltf.h>

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "math/D3DMath.h"

namespace vantomo {

using Matrix4 = std::array<double, 16>; // column-vector convention, m[row * 4 + col]

inline bool LoadGltf(const std::string& path, tinygltf::Model& model, std::string& error)
{
    tinygltf::TinyGLTF loader;
    std::string warning;
    const bool binary = path.size() > 4 && path.substr(path.size() - 4) == ".glb";
    return binary ? loader.LoadBinaryFromFile(&model, &error, &warning, path)
                  : loader.LoadASCIIFromFile(&model, &error, &warning, path);
}

// Element `index` of a float or uint32 accessor, component `component`.
template <class T>
T ReadAccessor(const tinygltf::Model& model, int accessorIndex, std::size_t index, std::size_t component)
{
    const tinygltf::Accessor& accessor = model.accessors[static_cast<std::size_t>(accessorIndex)];
    const tinygltf::BufferView& view = model.bufferViews[static_cast<std::size_t>(accessor.bufferView)];
    const tinygltf::Buffer& buffer = model.buffers[static_cast<std::size_t>(view.buffer)];
    const std::size_t element =
        static_cast<std::size_t>(tinygltf::GetNumComponentsInType(static_cast<std::uint32_t>(accessor.type))) *
        sizeof(T);
    const std::size_t stride = view.byteStride != 0 ? view.byteStride : element;
    T value{};
    std::memcpy(&value,
                buffer.data.data() + view.byteOffset + accessor.byteOffset + index * stride + component * sizeof(T),
                sizeof(T));
    return value;
}

inline Matrix4 Multiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 out{};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a[static_cast<std::size_t>(r * 4 + k)] * b[static_cast<std::size_t>(k * 4 + c)];
            }
            out[static_cast<std::size_t>(r * 4 + c)] = sum;
        }
    }
    return out;
}

inline Matrix4 Trs(const double t[3], const double q[4], const double s[3])
{
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const double r[9] = {1 - 2 * (y * y + z * z), 2 * (x * y - z * w),     2 * (x * z + y * w),
                         2 * (x * y + z * w),     1 - 2 * (x * x + z * z), 2 * (y * z - x * w),
                         2 * (x * z - y * w),     2 * (y * z + x * w),     1 - 2 * (x * x + y * y)};
    Matrix4 m{};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            m[static_cast<std::size_t>(row * 4 + col)] = r[row * 3 + col] * s[col];
        }
        m[static_cast<std::size_t>(row * 4 + 3)] = t[row];
    }
    m[15] = 1;
    return m;
}

// The scene's row-vector matrix as a column-vector one, with the translation
// multiplied by `scale` (the export's --scale).
inline Matrix4 FromScene(const D3DXMATRIX& world, double scale = 1.0)
{
    Matrix4 m{};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            m[static_cast<std::size_t>(r * 4 + c)] = world.m[c][r];
        }
    }
    for (int r = 0; r < 3; ++r) {
        m[static_cast<std::size_t>(r * 4 + 3)] *= scale;
    }
    return m;
}

// Linear (translation, scale) or spherical (rotation) interpolation of one
// sampler at time t, as the glTF specification defines LINEAR.
inline void SampleChannel(const tinygltf::Model& model, const tinygltf::AnimationSampler& sampler, double t,
                          std::size_t components, double* out)
{
    const std::size_t count = model.accessors[static_cast<std::size_t>(sampler.input)].count;
    std::size_t k = 0;
    while (k + 1 < count && ReadAccessor<float>(model, sampler.input, k + 1, 0) <= t) {
        ++k;
    }
    double a[4] = {}, b[4] = {};
    for (std::size_t c = 0; c < components; ++c) {
        a[c] = ReadAccessor<float>(model, sampler.output, k, c);
        b[c] = ReadAccessor<float>(model, sampler.output, k + 1 < count ? k + 1 : k, c);
    }
    double u = 0;
    if (k + 1 < count) {
        const double t0 = ReadAccessor<float>(model, sampler.input, k, 0);
        const double t1 = ReadAccessor<float>(model, sampler.input, k + 1, 0);
        u = std::min(1.0, std::max(0.0, (t - t0) / (t1 - t0)));
    }
    double wa = 1 - u, wb = u;
    if (components == 4) {
        double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
        if (dot < 0) {
            for (double& v : b) {
                v = -v;
            }
            dot = -dot;
        }
        const double angle = std::acos(std::min(1.0, dot));
        if (std::sin(angle) > 1e-9) {
            wa = std::sin((1 - u) * angle) / std::sin(angle);
            wb = std::sin(u * angle) / std::sin(angle);
        }
    }
    for (std::size_t c = 0; c < components; ++c) {
        out[c] = wa * a[c] + wb * b[c];
    }
}

// World matrix of every node with animation `animation` (or none, -1) at time t.
inline std::vector<Matrix4> NodeWorlds(const tinygltf::Model& model, int animation, double t)
{
    const std::size_t count = model.nodes.size();
    std::vector<std::array<double, 3>> translation(count, {0, 0, 0}), scale(count, {1, 1, 1});
    std::vector<std::array<double, 4>> rotation(count, {0, 0, 0, 1});
    for (std::size_t n = 0; n < count; ++n) {
        const tinygltf::Node& node = model.nodes[n];
        for (std::size_t c = 0; c < node.translation.size() && c < 3; ++c) {
            translation[n][c] = node.translation[c];
        }
        for (std::size_t c = 0; c < node.rotation.size() && c < 4; ++c) {
            rotation[n][c] = node.rotation[c];
        }
        for (std::size_t c = 0; c < node.scale.size() && c < 3; ++c) {
            scale[n][c] = node.scale[c];
        }
    }
    if (animation >= 0) {
        const tinygltf::Animation& anim = model.animations[static_cast<std::size_t>(animation)];
        for (const tinygltf::AnimationChannel& channel : anim.channels) {
            const tinygltf::AnimationSampler& sampler = anim.samplers[static_cast<std::size_t>(channel.sampler)];
            const auto node = static_cast<std::size_t>(channel.target_node);
            if (channel.target_path == "translation") {
                SampleChannel(model, sampler, t, 3, translation[node].data());
            } else if (channel.target_path == "rotation") {
                SampleChannel(model, sampler, t, 4, rotation[node].data());
            } else if (channel.target_path == "scale") {
                SampleChannel(model, sampler, t, 3, scale[node].data());
            }
        }
    }
    std::vector<Matrix4> worlds(count);
    std::vector<int> parent(count, -1);
    for (std::size_t n = 0; n < count; ++n) {
        for (const int child : model.nodes[n].children) {
            parent[static_cast<std::size_t>(child)] = static_cast<int>(n);
        }
    }
    // Parents come before their children in the export's node order.
    for (std::size_t n = 0; n < count; ++n) {
        const Matrix4 local = Trs(translation[n].data(), rotation[n].data(), scale[n].data());
        worlds[n] = parent[n] < 0 ? local : Multiply(worlds[static_cast<std::size_t>(parent[n])], local);
    }
    return worlds;
}

// Largest difference relative to the larger of 1 and the largest entry of `expected`.
inline double RelativeDifference(const Matrix4& actual, const Matrix4& expected)
{
    double largest = 1;
    double difference = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        largest = std::max(largest, std::fabs(expected[i]));
        difference = std::max(difference, std::fabs(actual[i] - expected[i]));
    }
    return difference / largest;
}

} // namespace vantomo
