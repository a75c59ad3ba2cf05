#pragma once

#include <QLocale>

namespace kurvaro {

/// Sets the default locale for the lifetime of the object.
class LocaleScope
{
public:
    explicit LocaleScope(const QLocale& locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(saved); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

private:
    QLocale saved;
};

} // namespace kurvaro
