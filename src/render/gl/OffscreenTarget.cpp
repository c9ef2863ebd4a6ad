#include "render/gl/OffscreenTarget.h"

#include "imaging/DibStream.h"

namespace vantomo {

bool OffscreenTarget::Create(int width, int height)
{
    Release();
    if (width <= 0 || height <= 0) {
        return false;
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    if (width > maxSize || height > maxSize || width > maxViewport[0] || height > maxViewport[1]) {
        return false;
    }
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
    glGenFramebuffers(1, &m_framebuffer);
    glGenRenderbuffers(1, &m_colour);
    glGenRenderbuffers(1, &m_depth);
    glBindRenderbuffer(GL_RENDERBUFFER, m_colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_depth);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (glGetError() != GL_NO_ERROR || !complete) {
        Release();
        return false;
    }
    m_width = width;
    m_height = height;
    return true;
}

void OffscreenTarget::Bind() const { glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer); }

bool OffscreenTarget::Read(DibStream& image) const
{
    if (m_framebuffer == 0) {
        return false;
    }
    // A bitmap of positive height stores its bottom row first, as GL reads
    // them, so the rows arrive in place; its rows are padded to 4 bytes.
    const bool sized = image.Width() == m_width && image.Height() == m_height && image.BitCount() == 24;
    if (!sized && !image.CreateDIB(m_width, m_height, 24)) {
        return false;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, m_width, m_height, GL_BGR, GL_UNSIGNED_BYTE, image.Pixels());
    return glGetError() == GL_NO_ERROR;
}

void OffscreenTarget::Release()
{
    if (m_framebuffer != 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &m_framebuffer);
    }
    const GLuint buffers[2] = {m_colour, m_depth};
    if (m_colour != 0 || m_depth != 0) {
        glDeleteRenderbuffers(2, buffers);
    }
    m_framebuffer = 0;
    m_colour = 0;
    m_depth = 0;
    m_width = 0;
    m_height = 0;
}

} // namespace vantomo
