// An OpenGL 3.3 core context without a display: EGL on Mesa's surfaceless
// platform, for the command-line tool and the tests. It has no default
// framebuffer; draw into an OffscreenTarget.
#pragma once

#include <memory>
#include <string>

namespace vantomo {

class HeadlessContext {
public:
    // Creates the context and makes it current on this thread. Null, with the
    // reason in `error`, when EGL, the surfaceless platform or a desktop GL 3.3
    // core context is not available.
    [[nodiscard]] static std::unique_ptr<HeadlessContext> Create(std::string& error);

    // Releases the context (making nothing current when it is current). The
    // EGL display stays initialised for the next context.
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    // Makes the context current on this thread again.
    [[nodiscard]] bool MakeCurrent();

private:
    HeadlessContext() = default;
    void* m_display = nullptr;
    void* m_context = nullptr;
};

} // namespace vantomo
