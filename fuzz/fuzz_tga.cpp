#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzImage.h"

using namespace vantomo;


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> input(data, size);
    DibStream image;
    const bool ok = image.ReadTGA(input);
    ExerciseImage(image, ok);
    return 0;
}
