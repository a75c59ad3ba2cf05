#include "CommandLine.h"

#include <QFile>

#include <algorithm>
#include <cstdio>

namespace kurvaro {

QStringList latin1Arguments(const char* program, const std::vector<std::string>& args)
{
    QStringList list{QString::fromLatin1(program)};
    for (const std::string& a : args)
        list.append(QString::fromLatin1(a.data(), static_cast<qsizetype>(a.size())));
    return list;
}

std::string toBytes(const QString& argument)
{
    return argument.toLatin1().toStdString();
}

QString toFileName(const QString& argument)
{
    return QFile::decodeName(argument.toLatin1());
}

QStringList markFirstOperand(const QStringList& arguments,
                             std::initializer_list<const char*> options,
                             std::initializer_list<const char*> withValue)
{
    const auto listed = [](std::initializer_list<const char*> names, const QString& a) {
        return std::any_of(names.begin(), names.end(),
                           [&](const char* name) { return a == QLatin1String(name); });
    };
    QStringList result = arguments;
    for (qsizetype i = 1; i < result.size(); ++i) {
        const QString& a = result[i];
        if (a == QLatin1String("--") || !a.startsWith(u'-') || a.size() == 1)
            break;
        if (listed(withValue, a)) {
            ++i; // its value, whatever it looks like
            continue;
        }
        if (listed(options, a) || listed(withValue, a.section(u'=', 0, 0)))
            continue; // "-h", or "--set=A=1"
        if (a.startsWith(QLatin1String("--")))
            break; // "--name=value" or an unknown option: the parser's business
        result.insert(i, QStringLiteral("--"));
        break;
    }
    return result;
}

bool parseCommandLine(QCommandLineParser& parser, const QStringList& arguments, QString& error)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (parser.parse(arguments))
        return true;
    error = parser.errorText();
    return false;
}

namespace {

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void printOut(const QString& text)
{
    print(stdout, text);
}

void printErr(const QString& text)
{
    print(stderr, text);
}

} // namespace kurvaro
