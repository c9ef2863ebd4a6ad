// vantomo-cli texture IMAGE -o OUT.png: decode IMAGE as a material's texture
// is decoded and write the result as PNG.
#include <iostream>
#include <string>

#include "cli/Commands.h"
#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "import/TextureLoader.h"

namespace vantomo {

int RunTexture(const Args& args)
{
    std::string input;
    std::string output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "-o" || arg == "--output") {
            if (i + 1 >= args.size() || !output.empty()) {
                std::cerr << "vantomo-cli texture: -o needs one output file\n";
                return kExitUsage;
            }
            output = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::cerr << "vantomo-cli texture: unknown option " << arg << '\n';
            return kExitUsage;
        } else if (input.empty()) {
            input = arg;
        } else {
            std::cerr << "vantomo-cli texture: only one IMAGE is taken\n";
            return kExitUsage;
        }
    }
    if (input.empty() || output.empty()) {
        std::cerr << "usage: vantomo-cli texture IMAGE -o OUT.png\n";
        return kExitUsage;
    }

    DibStream image;
    if (!LoadImageFile(image, input)) {
        std::cerr << "vantomo-cli: " << input << ": " << kTextureLoadFailedMessage << '\n';
        return kExitFailure;
    }
    if (!SavePNG(output, image)) {
        std::cerr << "vantomo-cli: cannot write " << output << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace vantomo
