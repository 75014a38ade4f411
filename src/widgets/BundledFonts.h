#pragma once

// Faces the program brings with it, where the platform has none to offer
// (the browser's page sees no system fonts): registered before any font is
// looked up. One implementation per platform.

namespace tekkora {

void addBundledFonts();

} // namespace tekkora
