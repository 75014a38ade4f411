#include "SystemBeeper.h"

#include <QApplication>

namespace tekkora {

void SystemBeeper::beep()
{
    QApplication::beep();
}

} // namespace tekkora
