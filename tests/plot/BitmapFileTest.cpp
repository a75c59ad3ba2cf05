#include "plot/BitmapFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

using namespace kurvaro;

namespace {

struct NameCase
{
    const char* chosen;
    const char* written;
    const char* reason;
};

class BitmapFileNameTest : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(BitmapFileNameTest, AppendsUpperCaseExtensionUnlessItIsBmp)
{
    const NameCase& c = GetParam();
    EXPECT_EQ(BitmapFileName(QString::fromUtf8(c.chosen)), QString::fromUtf8(c.written))
        << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BitmapFileNameTest,
    ::testing::Values(
        NameCase{"kurve", "kurve.BMP", "no extension gets one"},
        NameCase{"kurve.bmp", "kurve.bmp", "lower case .bmp is left as typed"},
        NameCase{"kurve.Bmp", "kurve.Bmp", "mixed case .Bmp is left as typed"},
        NameCase{"kurve.BMP", "kurve.BMP", "upper case stays"},
        NameCase{"kurve.png", "kurve.png.BMP", "another extension is kept and .BMP appended"},
        NameCase{"kurve.", "kurve..BMP", "a trailing dot is an (empty) extension of its own"},
        NameCase{"bilder.alt/kurve", "bilder.alt/kurve.BMP",
                 "a dot in a folder name is no extension"},
        NameCase{"bilder/kurve.bmp.txt", "bilder/kurve.bmp.txt.BMP", "only the last dot counts"},
        NameCase{"/tmp/a.bmp", "/tmp/a.bmp", "absolute path with .bmp"},
        NameCase{".bmp", ".bmp", "a name that is only the extension"}));

std::uint32_t le32(const QByteArray& bytes, int at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(bytes.at(at + i));
    return v;
}

std::uint16_t le16(const QByteArray& bytes, int at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes.at(at)) |
                                      (static_cast<std::uint8_t>(bytes.at(at + 1)) << 8));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

struct SizeCase
{
    int width;
    int height;
    int stride;
    const char* reason;
};

class BitmapLayoutTest : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(BitmapLayoutTest, HeadersDescribeUncompressed24BitRowsPaddedToFourBytes)
{
    const SizeCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage picture(c.width, c.height, QImage::Format_RGB32);
    picture.fill(QColor(10, 20, 30));
    const QString path = dir.filePath(QStringLiteral("b.bmp"));
    SaveBitmapFile(picture, path);

    const QByteArray bytes = readAll(path);
    const int pixelBytes = c.stride * c.height;
    ASSERT_EQ(bytes.size(), 54 + pixelBytes) << c.reason;
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(le32(bytes, 2), static_cast<std::uint32_t>(54 + pixelBytes)) << "file size";
    EXPECT_EQ(le32(bytes, 10), 54u) << "pixel data offset";
    EXPECT_EQ(le32(bytes, 14), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(le32(bytes, 18), static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(le32(bytes, 22), static_cast<std::uint32_t>(c.height)) << "positive: bottom-up";
    EXPECT_EQ(le16(bytes, 26), 1) << "planes";
    EXPECT_EQ(le16(bytes, 28), 24) << "bits per pixel";
    EXPECT_EQ(le32(bytes, 30), 0u) << "BI_RGB";
    EXPECT_EQ(le32(bytes, 34), static_cast<std::uint32_t>(pixelBytes));
    if (c.width > 0 && c.height > 0) {
        EXPECT_EQ(static_cast<std::uint8_t>(bytes.at(54)), 30) << "blue first";
        EXPECT_EQ(static_cast<std::uint8_t>(bytes.at(55)), 20);
        EXPECT_EQ(static_cast<std::uint8_t>(bytes.at(56)), 10) << "red last";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, BitmapLayoutTest,
                         ::testing::Values(SizeCase{4, 2, 12, "12 bytes per row need no padding"},
                                           SizeCase{3, 3, 12, "9 bytes per row pad to 12"},
                                           SizeCase{1, 1, 4, "3 bytes pad to 4"},
                                           SizeCase{2, 5, 8, "6 bytes pad to 8"},
                                           SizeCase{473, 462, 1420, "the designed area"}));

TEST(SaveBitmapFileTest, RowsAreStoredBottomUpAndReadBackPixelExact)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage picture(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, y, qRgb(40 * x, 80 * y, 7));
    const QString path = dir.filePath(QStringLiteral("kurve.BMP"));
    SaveBitmapFile(picture, path);

    const QByteArray bytes = readAll(path);
    // The last stored row is the top one: its first pixel is (0, 0), blue 7.
    const int topRow = 54 + 2 * 16;
    EXPECT_EQ(static_cast<std::uint8_t>(bytes.at(topRow)), 7);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes.at(topRow + 1)), 0);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes.at(54 + 1)), 160) << "first stored row is y = 2";

    QImage back(path, "BMP");
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture);
}

TEST(SaveBitmapFileTest, ReplacesAnExistingFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("alt.bmp"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::white);
    SaveBitmapFile(picture, path);
    EXPECT_EQ(readAll(path).size(), 54 + 16);
}

TEST(SaveBitmapFileTest, NullPictureGivesAnEmptyButValidBitmap)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("leer.bmp"));
    SaveBitmapFile(QImage(), path);
    const QByteArray bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 54);
    EXPECT_EQ(le32(bytes, 18), 0u);
    EXPECT_EQ(le32(bytes, 22), 0u);
    EXPECT_EQ(le16(bytes, 28), 24);
}

struct FailCase
{
    const char* relative;
    const char* reason;
};

class SaveBitmapFailureTest : public ::testing::TestWithParam<FailCase>
{
};

TEST_P(SaveBitmapFailureTest, RaisesTheFileCreationErrorWithTheName)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("ordner"));
    const QString path = dir.filePath(QString::fromUtf8(GetParam().relative));
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::black);
    try {
        SaveBitmapFile(picture, path);
        FAIL() << "no error: " << GetParam().reason;
    } catch (const EFCreateError& e) {
        EXPECT_EQ(QString::fromStdString(e.message()),
                  QStringLiteral("Datei %1 kann nicht erstellt werden").arg(path))
            << GetParam().reason;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveBitmapFailureTest,
                         ::testing::Values(FailCase{"fehlt/kurve.BMP", "a missing folder"},
                                           FailCase{"ordner", "the name of a folder"}));

TEST(SaveBitmapFileTest, ReadOnlyFileIsNeitherReplacedNorChanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fest.bmp"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("alt");
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    if (QFileInfo(path).isWritable())
        GTEST_SKIP() << "running with rights that ignore file permissions";
    QImage picture(2, 2, QImage::Format_RGB32);
    EXPECT_THROW(SaveBitmapFile(picture, path), EFCreateError);
    EXPECT_EQ(readAll(path), QByteArray("alt"));
}

TEST(SavePictureFilterTest, ListsTheKnownFormatsLastRegisteredFirstBehindAlle)
{
    const QStringList entries = SavePictureFilter().split(QStringLiteral(";;"));
    const QStringList expected = {QStringLiteral("Alle (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)"),
                                  QStringLiteral("JPEG-Grafikdatei (*.jpg)"),
                                  QStringLiteral("JPEG-Grafikdatei (*.jpeg)"),
                                  QStringLiteral("Bitmaps (*.bmp)"),
                                  QStringLiteral("Symbole (*.ico)"),
                                  QStringLiteral("Erweiterte Metadateien (*.emf)"),
                                  QStringLiteral("Metadateien (*.wmf)")};
    EXPECT_EQ(entries, expected);
}

} // namespace
