#include "settings/SettingsErrors.h"

namespace kurvaro {

namespace settingsfaults {

void invalidInteger(const QString& text)
{
    throw EConvertError(
        QStringLiteral("'%1' ist kein gültiger Integerwert").arg(text).toStdString());
}

void cannotWrite(const QString& fileName)
{
    throw EIniFileException(
        QStringLiteral("nach %1 kann nicht geschrieben werden").arg(fileName).toStdString());
}

} // namespace settingsfaults

} // namespace kurvaro
