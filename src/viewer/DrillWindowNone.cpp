#include "DrillWindow.h"

namespace tekkora {

std::optional<QRect> nativeDrillWindowFrame()
{
    return std::nullopt;
}

} // namespace tekkora
