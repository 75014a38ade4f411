#include "WindowFrames.h"

namespace tekkora {

bool framesKnownWhenShown()
{
    return true;
}

} // namespace tekkora
