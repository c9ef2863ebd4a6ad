// vantomo-cli: the headless face of Vantomo.
#include <cstring>
#include <iostream>
#include <string_view>

#include "cli/Commands.h"


#ifndef VANTOMO_VERSION
#define VANTOMO_VERSION "0.0.0"
#endif

using namespace vantomo;

namespace {

struct Command {
    std::string_view name;
    int (*run)(const Args&);
    std::string_view usage;
};

constexpr Command kCommands[] = {
    {"info", RunInfo, "info [FILE...] [--json]   open the files into one new scene and print it"},
    {"texture", RunTexture, "texture IMAGE -o OUT.png    decode IMAGE as a texture is loaded and write it as PNG"},
    {"convert", RunConvert,
     "convert FILE... -o OUT [OPTIONS]   open the files into one new scene and write OUT by its extension:\n"
     "      .vtm project, .mqo, .xaml, .gltf, .glb; OPTIONS (as the kind allows): --scale S, --uv,\n"
     "      --normals, --mesh-layout 0|1, --no-animation"},
    {"script", RunScript, "script SCRIPT [-o OUT.vtm]   run a file of editing commands on one scene"},
    {"render", RunRender,
     "render FILE... -o OUT.png|OUT.mp4|OUT.webm|OUT.gif [--size WxH] [--frame N | --frames A..B]\n"
     "         [--animation N] [--fps F] [--select NAME] [--mode move|rotate|scale] [--onion N]\n"
     "      draw the 3D view's picture without a display, or the animation as a video (H.264 in\n"
     "      MP4, VP9 in WebM, or a looping GIF) at the scene's rate unless --fps says otherwise;\n"
     "      --onion N (pictures only) adds the onion skin: translucent ghosts of the shown\n"
     "      character, red before the frame and blue after it, at the previous and next key\n"
     "      (N = 0) or at each of the N = 1..3 frames before and after"},
};

void PrintHelp(std::ostream& out)
{
    out << "Usage: vantomo-cli COMMAND [ARGS...]\n"
           "       vantomo-cli --help | --version\n\n"
           "Commands:\n";
    for (const Command& command : kCommands) {
        out << "  " << command.usage << '\n';
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintHelp(std::cerr);
        return kExitUsage;
    }
    const std::string_view first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        PrintHelp(std::cout);
        return kExitOk;
    }
    if (first == "--version") {
        std::cout << "vantomo-cli " << VANTOMO_VERSION << '\n';
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (command.name == first) {
            Args args(argv + 2, argv + argc);
            return command.run(args);
        }
    }
    std::cerr << "vantomo-cli: unknown command '" << first << "' (see --help)\n";
    return kExitUsage;
}
