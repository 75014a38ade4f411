#include "ModalWaits.h"

namespace tekkora {

bool nestedModalWaits()
{
    return true;
}

void settleStartUp() {}

void returnKeysTo(QWidget *) {}

} // namespace tekkora
