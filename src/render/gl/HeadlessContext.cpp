#include "render/gl/HeadlessContext.h"

#include <dlfcn.h>
#include <epoxy/egl.h>

#include <cstring>

namespace vantomo {

namespace {

bool HasClientExtension(const char* name)
{
    const char* list = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (list == nullptr) {
        return false;
    }
    const std::size_t length = std::strlen(name);
    for (const char* p = std::strstr(list, name); p != nullptr; p = std::strstr(p + 1, name)) {
        const bool startsWord = p == list || p[-1] == ' ';
        if (startsWord && (p[length] == ' ' || p[length] == '\0')) {
            return true;
        }
    }
    return false;
}

std::string EglErrorText(const char* what)
{
    char code[16];
    const unsigned error = static_cast<unsigned>(eglGetError());
    static const char kHex[] = "0123456789ABCDEF";
    int n = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        code[n++] = kHex[(error >> shift) & 0xFu];
    }
    code[n] = '\0';
    return std::string(what) + " (EGL error 0x" + code + ")";
}

} // namespace

std::unique_ptr<HeadlessContext> HeadlessContext::Create(std::string& error)
{
    // libepoxy ends the process when it cannot load libEGL; find out first.
    void* library = dlopen("libEGL.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr) {
        error = "cannot draw: libEGL.so.1 is not installed";
        return nullptr;
    }
    dlclose(library);

    EGLDisplay display = EGL_NO_DISPLAY;
    if (HasClientExtension("EGL_MESA_platform_surfaceless")) {
        display = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    } else {
        display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (display == EGL_NO_DISPLAY || eglInitialize(display, &major, &minor) != EGL_TRUE) {
        error = "cannot draw: " + EglErrorText("no EGL display without a window system");
        return nullptr;
    }
    auto context = std::unique_ptr<HeadlessContext>(new HeadlessContext());
    context->m_display = display;
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        error = "cannot draw: " + EglErrorText("EGL offers no desktop OpenGL");
        return nullptr;
    }
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (eglChooseConfig(display, configAttributes, &config, 1, &configs) != EGL_TRUE || configs < 1) {
        config = nullptr; // EGL_KHR_no_config_context
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext handle = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (handle == EGL_NO_CONTEXT) {
        error = "cannot draw: " + EglErrorText("no OpenGL 3.3 core context");
        return nullptr;
    }
    context->m_context = handle;
    if (!context->MakeCurrent()) {
        error = "cannot draw: " + EglErrorText("the OpenGL context cannot be made current");
        return nullptr;
    }
    return context;
}

HeadlessContext::~HeadlessContext()
{
    if (m_display == nullptr) {
        return;
    }
    if (m_context != nullptr) {
        if (eglGetCurrentContext() == m_context) {
            eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        }
        eglDestroyContext(m_display, m_context);
    }
    // The display stays initialised: it is one per process, the next
    // context reuses it, and terminating it leaves part of Mesa's driver
    // allocated but unreachable.
    eglReleaseThread();
}

bool HeadlessContext::MakeCurrent()
{
    return eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_context) == EGL_TRUE;
}

} // namespace vantomo
