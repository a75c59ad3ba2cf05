// Qt's own dialogs speak German whatever the user's locale.

#include "app/QtTexts.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <gtest/gtest.h>

#include <cctype>
#include <string>

using namespace kurvaro;

namespace {

struct QtText
{
    const char* context;
    const char* english;
    const char* german;
};

class QtTextsTest : public ::testing::TestWithParam<QtText>
{
};

TEST_P(QtTextsTest, QtsOwnDialogsSpeakGermanWhileTheLocaleKeepsItsNumbers)
{
    const QtText& t = GetParam();
    const QChar point = QLocale().decimalPoint().front();
    QTranslator* translator = installGermanQtTexts(*QCoreApplication::instance());
    ASSERT_NE(translator, nullptr) << "Qt's German translations are not installed";
    EXPECT_EQ(QCoreApplication::translate(t.context, t.english), QString::fromUtf8(t.german));
    EXPECT_EQ(QLocale().decimalPoint().front(), point);
    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_EQ(QCoreApplication::translate(t.context, t.english), QString::fromUtf8(t.english));
}

INSTANTIATE_TEST_SUITE_P(Table, QtTextsTest,
                         ::testing::Values(QtText{"QFileDialog", "Look in:", "Suchen in:"},
                                           QtText{"QFileDialog", "File &name:", "Datei&name:"},
                                           QtText{"QFileDialog", "&Save", "S&peichern"},
                                           QtText{"QPlatformTheme", "Cancel", "Abbrechen"},
                                           QtText{"QColorDialog", "&Basic colors", "Grundfar&ben"},
                                           QtText{"QPlatformTheme", "OK", "OK"}),
                         [](const ::testing::TestParamInfo<QtText>& info) {
                             std::string name;
                             for (const char* c = info.param.english; *c != '\0'; ++c) {
                                 if (std::isalnum(static_cast<unsigned char>(*c)))
                                     name += *c;
                             }
                             return std::string(info.param.context) + name;
                         });

} // namespace
