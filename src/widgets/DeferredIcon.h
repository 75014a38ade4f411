#pragma once

// An icon whose images are asked for the first time anybody draws it or
// asks its sizes, for icons that are built with every widget of a kind but
// seldom shown.

#include <QIcon>

#include <functional>

namespace tekkora {

QIcon deferredIcon(std::function<QIcon()> load);

} // namespace tekkora
