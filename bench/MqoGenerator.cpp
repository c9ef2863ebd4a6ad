#include "MqoGenerator.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace vantomo {

namespace {

class Writer {
public:
    explicit Writer(std::FILE* file) : m_file(file) { m_buffer.reserve(kFlushAt + 4096); }
    ~Writer() { Flush(); }
    Writer& Text(std::string_view text)
    {
        m_buffer.append(text);
        return Check();
    }
    Writer& Int(long long value)
    {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        m_buffer.append(digits, end);
        return Check();
    }
    Writer& Fixed(double value, int decimals)
    {
        char digits[64];
        const auto end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals).ptr;
        m_buffer.append(digits, end);
        return Check();
    }
    bool Flush()
    {
        if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) {
            m_failed = true;
        }
        m_written += m_buffer.size();
        m_buffer.clear();
        return !m_failed;
    }
    std::uint64_t Written() const { return m_written; }
    bool Failed() const { return m_failed; }

private:
    static constexpr std::size_t kFlushAt = 1 << 20;
    Writer& Check()
    {
        if (m_buffer.size() >= kFlushAt) {
            Flush();
        }
        return *this;
    }
    std::FILE* m_file;
    std::string m_buffer;
    std::uint64_t m_written = 0;
    bool m_failed = false;
};

// A small deterministic generator, so every run measures the same document.
class Lcg {
public:
    double Next() // in [0, 1)
    {
        m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(m_state >> 11) * (1.0 / 9007199254740992.0);
    }

private:
    std::uint64_t m_state = 12345;
};

} // namespace

std::uint64_t WriteSyntheticMqo(const std::string& path, const MqoGeneratorOptions& options)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::uint64_t size = 0;
    {
        Writer out(file);
        Lcg random;
        out.Text("Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\n"
                 "Scene {\r\n\tpos 0.0000 0.0000 1500.0000\r\n\tlookat 0.0000 0.0000 0.0000\r\n"
                 "\thead -0.5236\r\n\tpich 0.5236\r\n\tortho 0\r\n\tzoom2 5.0000\r\n"
                 "\tamb 0.250 0.250 0.250\r\n}\r\n");
        out.Text("Material ").Int(options.materials).Text(" {\r\n");
        for (int m = 0; m < options.materials; ++m) {
            out.Text("\t\"mat").Int(m).Text("\" shader(3) col(");
            out.Fixed(random.Next(), 3).Text(" ").Fixed(random.Next(), 3).Text(" ").Fixed(random.Next(), 3);
            out.Text(" 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) power(5.00)\r\n");
        }
        out.Text("}\r\n");

        const int columns = 500;
        const int rows = options.verticesPerObject / columns;
        for (int o = 0; o < options.objects; ++o) {
            out.Text("Object \"part").Int(o).Text("\" {\r\n\tdepth 0\r\n\tfolding 0\r\n\tscale 1.000000 1.000000 1.000000\r\n"
                                                  "\trotation 0.000000 0.000000 0.000000\r\n"
                                                  "\ttranslation 0.000000 0.000000 0.000000\r\n"
                                                  "\tvisible 15\r\n\tlocking 0\r\n\tshading 1\r\n\tfacet 59.5\r\n"
                                                  "\tcolor 0.898 0.498 0.698\r\n\tcolor_type 0\r\n");
            if (o == options.mirroredObject) {
                out.Text("\tmirror 1\r\n\tmirror_axis 1\r\n");
            }
            const int vertexCount = columns * rows;
            out.Text("\tvertex ").Int(vertexCount).Text(" {\r\n");
            for (int r = 0; r < rows; ++r) {
                for (int c = 0; c < columns; ++c) {
                    out.Text("\t\t").Fixed(c * 2.5 + o * 1000.0, 4).Text(" ").Fixed(r * 2.5, 4).Text(" ");
                    out.Fixed(random.Next() * 20.0 - 10.0, 4).Text("\r\n");
                }
            }
            out.Text("\t}\r\n");
            const int cells = (columns - 1) * (rows - 1);
            const int splits = options.facesPerObject > cells ? std::min(cells, options.facesPerObject - cells) : 0;
            const int faceCount = std::min(cells, options.facesPerObject) + splits;
            out.Text("\tface ").Int(faceCount).Text(" {\r\n");
            int written = 0;
            for (int cell = 0; cell < cells && written < faceCount; ++cell) {
                const int r = cell / (columns - 1);
                const int c = cell % (columns - 1);
                const int a = r * columns + c;
                const int b = a + 1;
                const int d = a + columns;
                const int e = d + 1;
                const double u0 = static_cast<double>(c) / columns;
                const double u1 = static_cast<double>(c + 1) / columns;
                const double v0 = static_cast<double>(r) / rows;
                const double v1 = static_cast<double>(r + 1) / rows;
                const int material = (cell / 64) % options.materials;
                const auto face3 = [&](int i0, int i1, int i2, double a0, double b0, double a1, double b1,
                                       double a2, double b2) {
                    out.Text("\t\t3 V(").Int(i0).Text(" ").Int(i1).Text(" ").Int(i2).Text(") M(").Int(material);
                    out.Text(") UV(").Fixed(a0, 4).Text(" ").Fixed(b0, 4).Text(" ").Fixed(a1, 4).Text(" ");
                    out.Fixed(b1, 4).Text(" ").Fixed(a2, 4).Text(" ").Fixed(b2, 4).Text(")\r\n");
                    ++written;
                };
                if (cell < splits) {
                    face3(a, d, e, u0, v0, u0, v1, u1, v1);
                    face3(a, e, b, u0, v0, u1, v1, u1, v0);
                    continue;
                }
                out.Text("\t\t4 V(").Int(a).Text(" ").Int(d).Text(" ").Int(e).Text(" ").Int(b).Text(") M(");
                out.Int(material).Text(") UV(").Fixed(u0, 4).Text(" ").Fixed(v0, 4).Text(" ").Fixed(u0, 4);
                out.Text(" ").Fixed(v1, 4).Text(" ").Fixed(u1, 4).Text(" ").Fixed(v1, 4).Text(" ");
                out.Fixed(u1, 4).Text(" ").Fixed(v0, 4).Text(")\r\n");
                ++written;
            }
            out.Text("\t}\r\n}\r\n");
        }
        out.Text("Eof\r\n");
        size = out.Flush() ? out.Written() : 0;
    }
    if (std::fclose(file) != 0) {
        size = 0;
    }
    return size;
}

} // namespace vantomo
