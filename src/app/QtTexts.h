#pragma once

class QCoreApplication;
class QTranslator;

namespace kurvaro {

/// Kurvaro speaks German whatever the user's locale, and so must the dialogs
/// that Qt provides itself (the save dialog, the colour dialog, the buttons of
/// the message boxes): installs Qt's German translations of its base module,
/// owned by `app`. The locale keeps deciding the number formats. Returns the
/// installed translator, or nullptr when the translations are not there; Qt's
/// own English texts remain then.
QTranslator* installGermanQtTexts(QCoreApplication& app);

} // namespace kurvaro
