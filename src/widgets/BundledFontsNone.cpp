#include "BundledFonts.h"

// The system's installed faces serve.

namespace tekkora {

void addBundledFonts() {}

} // namespace tekkora
