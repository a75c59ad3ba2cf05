#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace {

QString builtHelpText()
{
    QFile file(QStringLiteral(KURVARO_BUILT_HELP_TEXT));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

TEST(HelpText, LiesBesideTheExecutablesAndIsUtf8)
{
    QFile file(QStringLiteral(KURVARO_BUILT_HELP_TEXT));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(QString::fromUtf8(bytes).toUtf8(), bytes) << "valid UTF-8";
    EXPECT_GT(bytes.size(), 2000);
}

TEST(HelpText, NamesEveryFunctionOperatorAndVariable)
{
    const QString text = builtHelpText();
    for (const char* function : {"SIN", "COS", "TAN", "ARCTAN", "SINH", "COSH", "EXP", "LN", "SQRT",
                                 "ABS", "HEAV", "SIGN", "ZERO", "PH", "RND", "MAX", "MIN"})
        EXPECT_TRUE(text.contains(QStringLiteral("%1(").arg(QLatin1String(function)))) << function;
    for (const char* word : {"DIV", "MOD", "PI", "A", "B", "C", "D", "E", "X", "Y", "T"})
        EXPECT_TRUE(text.contains(QLatin1String(word))) << word;
    for (const char* example : {"XDIV2", "2^3^2", "2*-X", "-X^2", "2X", "MAX(SIN(X),COS(X))"})
        EXPECT_TRUE(text.contains(QLatin1String(example))) << example;
}

} // namespace
