#include "dialogs/PicturePreview.h"

#include "DialogsTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <functional>

using namespace kurvaro;

namespace {

/// A picture of one colour, `size` large, saved in `format` (or raw bytes
/// when `format` is empty).
struct PreviewCase
{
    const char* name;
    std::function<QString(const QTemporaryDir&)> make;
    QSize expected; ///< empty: no preview
};

QString picture(const QTemporaryDir& dir, const char* file, QSize size, const char* format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(0xFFFF0000);
    const QString path = dir.filePath(QString::fromLatin1(file));
    image.save(path, format);
    return path;
}

QString bytes(const QTemporaryDir& dir, const char* file, const QByteArray& content)
{
    const QString path = dir.filePath(QString::fromLatin1(file));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}

class PreviewPictureTest : public ::testing::TestWithParam<PreviewCase>
{
protected:
    QTemporaryDir dir;
};

TEST_P(PreviewPictureTest, FitsThePictureIntoTheBoxOrShowsNothing)
{
    const PreviewCase& c = GetParam();
    ASSERT_TRUE(dir.isValid());
    const QImage preview = previewPicture(c.make(dir), QSize(160, 160));
    if (c.expected.isEmpty()) {
        EXPECT_TRUE(preview.isNull()) << preview.width() << " x " << preview.height();
        return;
    }
    ASSERT_FALSE(preview.isNull());
    EXPECT_EQ(preview.size(), c.expected);
    // Red, as near as a JPEG keeps it.
    const QColor middle = preview.pixelColor(preview.width() / 2, preview.height() / 2);
    EXPECT_GT(middle.red(), 230);
    EXPECT_LT(middle.green() + middle.blue(), 40);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PreviewPictureTest,
    ::testing::Values(
        PreviewCase{"SmallBitmapAtItsOwnSize",
                    [](const QTemporaryDir& d) {
                        return picture(d, "a.bmp", {50, 40}, "BMP");
                    },
                    {50, 40}},
        PreviewCase{"WideBitmapScaledDown",
                    [](const QTemporaryDir& d) {
                        return picture(d, "b.bmp", {320, 200}, "BMP");
                    },
                    {160, 100}},
        PreviewCase{"TallJpegScaledDown",
                    [](const QTemporaryDir& d) {
                        return picture(d, "c.jpg", {100, 400}, "JPEG");
                    },
                    {40, 160}},
        PreviewCase{"BitmapWithoutItsExtension",
                    [](const QTemporaryDir& d) {
                        return picture(d, "kurve", {30, 30}, "BMP");
                    },
                    {30, 30}},
        PreviewCase{"TextIsNoPicture",
                    [](const QTemporaryDir& d) { return bytes(d, "t.bmp", "kein Bild\n"); },
                    {}},
        PreviewCase{"EmptyFile", [](const QTemporaryDir& d) { return bytes(d, "e.bmp", {}); }, {}},
        PreviewCase{"BitmapCutInItsHeader",
                    [](const QTemporaryDir& d) {
                        QFile f(picture(d, "cut.bmp", {64, 64}, "BMP"));
                        f.resize(20);
                        return f.fileName();
                    },
                    {}},
        PreviewCase{"MissingFile",
                    [](const QTemporaryDir& d) { return d.filePath(QStringLiteral("weg.bmp")); },
                    {}},
        PreviewCase{"Folder",
                    [](const QTemporaryDir& d) {
                        QDir(d.path()).mkdir(QStringLiteral("ordner.bmp"));
                        return d.filePath(QStringLiteral("ordner.bmp"));
                    },
                    {}},
        // Reading a pipe would wait for a writer that never comes.
        PreviewCase{"PipeIsNotRead",
                    [](const QTemporaryDir& d) {
                        const QString path = d.filePath(QStringLiteral("rohr.bmp"));
                        mkfifo(QFile::encodeName(path).constData(), 0600);
                        return path;
                    },
                    {}},
        PreviewCase{"NoName", [](const QTemporaryDir&) { return QString(); }, {}}),
    [](const ::testing::TestParamInfo<PreviewCase>& info) { return info.param.name; });

TEST(PicturePreview, ThePaneShowsTheFileWhoseNameIsTypedOrHighlighted)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    picture(dir, "rot.bmp", {120, 80}, "BMP");
    QFileDialog dialog(nullptr, QStringLiteral("Speichern unter"), dir.path());
    dialog.setOptions(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    addPicturePreview(dialog);
    auto* pane = dialog.findChild<QWidget*>(QStringLiteral("PicturePreview"));
    ASSERT_NE(pane, nullptr);
    auto* shown = pane->findChild<QLabel*>();
    ASSERT_NE(shown, nullptr);
    ASSERT_TRUE(showActive(dialog));
    EXPECT_TRUE(shown->pixmap().isNull()) << "nothing chosen yet";

    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("rot.bmp"));
    EXPECT_EQ(shown->pixmap().size(), QSize(120, 80));
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("neu"));
    EXPECT_TRUE(shown->pixmap().isNull()) << "a name of no file shows nothing";

    emit dialog.currentChanged(dir.filePath(QStringLiteral("rot.bmp")));
    EXPECT_EQ(shown->pixmap().size(), QSize(120, 80)) << "highlighted in the list";
    QCoreApplication::processEvents();
    EXPECT_TRUE(pane->isVisibleTo(&dialog)) << "beside the file list";
}

} // namespace
