#pragma once

class QCoreApplication;

namespace tekkora {

// Qt's own texts in the score window's dialogs (the file dialog's "Look in:",
// "File name:", "Cancel") in Japanese, from Qt's translations
// (qt6-translations-l10n). Only tekkora-score loads them: the drill's
// windows and boxes keep their texts exactly. False when they are missing.
bool installQtJapanese(QCoreApplication &app);

} // namespace tekkora
