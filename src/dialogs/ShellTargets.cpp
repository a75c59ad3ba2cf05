#include "dialogs/ShellTargets.h"

#include "dialogs/MakerAddresses.h"
#include "model/ProgramDirectory.h"

#include <QString>
#include <QUrl>
#include <QUrlQuery>

namespace kurvaro {

QUrl helpFileUrl()
{
    return QUrl::fromLocalFile(ExecutableDirectory() + QStringLiteral("/Info.txt"));
}

QUrl mailUrl()
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(QString::fromUtf8(maker::MailAddress));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QString::fromUtf8(maker::ProgramName));
    url.setQuery(query);
    return url;
}

QUrl homePageUrl()
{
    return QUrl(QString::fromUtf8(maker::HomePageUrl));
}

QUrl updateUrl()
{
    QUrl url(QString::fromUtf8(maker::UpdateServerUrl));
    url.setPath(QStringLiteral("/version.php"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("program"), QString::fromUtf8(maker::ProgramName).toLower());
    query.addQueryItem(QStringLiteral("version"), QString::fromUtf8(maker::QueryVersion));
    url.setQuery(query);
    return url;
}

} // namespace kurvaro
