#include "platform/rtl/RandomGen.h"

#include <chrono>

namespace {

std::uint32_t gRandSeed = 0;

std::uint32_t NextSeed()
{
    gRandSeed = gRandSeed * 0x08088405u + 1u;
    return gRandSeed;
}

} // namespace

std::uint32_t RandSeed()
{
    return gRandSeed;
}

void SetRandSeed(std::uint32_t Value)
{
    gRandSeed = Value;
}

void Randomize()
{
    const auto Now = std::chrono::system_clock::now().time_since_epoch();
    const auto Ticks = std::chrono::duration_cast<std::chrono::microseconds>(Now).count();
    gRandSeed = static_cast<std::uint32_t>(Ticks ^ (Ticks >> 32));
}

int Random(int Range)
{
    if (Range <= 0)
        return 0;
    // The high bits of the product: the low bits of such a sequence repeat too soon.
    return static_cast<int>((static_cast<std::uint64_t>(NextSeed()) * static_cast<std::uint32_t>(Range)) >>
                            32);
}

double Random()
{
    return static_cast<double>(NextSeed()) / 4294967296.0;
}
