#include "ModalWaits.h"

namespace tekkora {

bool nestedModalWaits()
{
    return true;
}

void settleStartUp() {}

} // namespace tekkora
