// A framebuffer object to draw the 3D view into without a window, and its
// read-back into an image. Single-sampled, as the view is.
#pragma once

#include <epoxy/gl.h>

namespace vantomo {

class DibStream;

class OffscreenTarget {
public:
    OffscreenTarget() = default;
    // Never calls GL; call Release while the context is current.
    ~OffscreenTarget() = default;
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    // (Re)creates an RGBA8 colour and a 24-bit depth buffer of that size and
    // binds the framebuffer. False (nothing bound, nothing kept) when the size
    // is not positive, exceeds the context's limits, or memory runs out.
    [[nodiscard]] bool Create(int width, int height);

    // Binds the framebuffer for drawing and reading.
    void Bind() const;

    // The picture as a 24-bit image, top row first; an image that already
    // has that size and depth is filled as it is. False when nothing was
    // created or the image cannot be allocated.
    [[nodiscard]] bool Read(DibStream& image) const;

    void Release();

    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    GLuint m_framebuffer = 0;
    GLuint m_colour = 0;
    GLuint m_depth = 0;
    int m_width = 0;
    int m_height = 0;
};

} // namespace vantomo
