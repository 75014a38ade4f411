#include "ModalWaits.h"

namespace tekkora {

bool nestedModalWaits()
{
    return true;
}

} // namespace tekkora
