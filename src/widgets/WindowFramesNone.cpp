#include "WindowFrames.h"

namespace tekkora {

bool framesKnownWhenShown()
{
    return false;
}

} // namespace tekkora
