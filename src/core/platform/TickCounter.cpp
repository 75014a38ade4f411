#include "TickCounter.h"

#include <chrono>

namespace tekkora {

std::int32_t SystemTickCounter::GetTickCount()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    // Keep the low 32 bits, read as signed: the counter wraps every 49.7 days.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}

} // namespace tekkora
