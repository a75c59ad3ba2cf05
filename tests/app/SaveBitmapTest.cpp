#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/TImage.h"
#include "plot/PlotRenderer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTest>

using namespace kurvaro;

namespace {

QImage readBmp(const QString& path)
{
    return QImage(path, "BMP").convertToFormat(QImage::Format_RGB32);
}

struct SaveNameCase
{
    const char* typed;
    const char* written;
    const char* reason;
};

class SaveNameTest : public MainWindowTest, public ::testing::WithParamInterface<SaveNameCase>
{
};

TEST_P(SaveNameTest, WritesPlotBitmapAsBmpUnderTheRuleOfTheExtension)
{
    const SaveNameCase& c = GetParam();
    start();
    const QString typed = dir.filePath(QString::fromLatin1(c.typed));
    const QString written = dir.filePath(QString::fromLatin1(c.written));
    desktop.saveAnswers << typed;
    click("BitBtn3");
    ASSERT_TRUE(desktop.errors.isEmpty()) << desktop.errors.join("|").toStdString();
    EXPECT_TRUE(QFile::exists(written)) << c.reason;
    EXPECT_EQ(readBmp(written), plotBitmap().convertToFormat(QImage::Format_RGB32)) << c.reason;
    EXPECT_EQ(window->savePictureFileName(), written);
    // The second use proposes the name as the first one left it.
    click("BitBtn3");
    ASSERT_EQ(desktop.saveRequests.size(), 2u);
    EXPECT_EQ(desktop.saveRequests[0].proposed, QString());
    EXPECT_EQ(desktop.saveRequests[1].proposed, written) << c.reason;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SaveNameTest,
    ::testing::Values(SaveNameCase{"kurve", "kurve.BMP", "no extension"},
                      SaveNameCase{"kurve.bmp", "kurve.bmp", "lower-case bmp kept"},
                      SaveNameCase{"kurve.Bmp", "kurve.Bmp", "mixed-case Bmp kept"},
                      SaveNameCase{"kurve.png", "kurve.png.BMP", "still a BMP file"},
                      SaveNameCase{"kurve.", "kurve..BMP", "trailing dot"}));

TEST_F(MainWindowTest, SaveDialogGetsTheTypeListAndCancelWritesNothing)
{
    start();
    click("BitBtn3");
    ASSERT_EQ(desktop.saveRequests.size(), 1u);
    EXPECT_TRUE(desktop.saveRequests[0].filters.startsWith(
        "Alle (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf);;JPEG-Grafikdatei (*.jpg)"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(window->savePictureFileName(), QString());
}

TEST_F(MainWindowTest, SavingAfterAFailedRedrawWritesTheLastGoodPicture)
{
    start();
    const QImage good = plotBitmap().convertToFormat(QImage::Format_RGB32);
    setField("Editymin", "x");
    click("BitBtn2");
    ASSERT_EQ(desktop.warnings.size(), 1);
    desktop.saveAnswers << dir.filePath("kurve");
    click("BitBtn3");
    EXPECT_EQ(readBmp(dir.filePath("kurve.BMP")), good);
}

TEST_F(MainWindowTest, SavingAfterEnlargingWritesThePictureAtItsOldSize)
{
    start();
    userActs();
    const QSize old = plotBitmap().size();
    window->setWindowBound(WindowBound::Width, 800);
    pump();
    desktop.saveAnswers << dir.filePath("gross.bmp");
    click("BitBtn3");
    EXPECT_EQ(readBmp(dir.filePath("gross.bmp")).size(), old);
}

TEST_F(MainWindowTest, SavingWhileTheZoomOutlineIsShownLeavesItOut)
{
    start();
    auto* image = window->findChild<TImage*>("Image1");
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), image->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(image, &e);
    };
    send(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    send(QEvent::MouseMove, {100, 100}, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownPicture() != plotBitmap(); }, 5000))
        << "the outline is on screen";
    desktop.saveAnswers << dir.filePath("ohne.bmp");
    click("BitBtn3");
    EXPECT_EQ(readBmp(dir.filePath("ohne.bmp")),
              plotBitmap().convertToFormat(QImage::Format_RGB32));
}

TEST_F(MainWindowTest, FileThatCannotBeCreatedShowsTheErrorAndKeepsTheAppendedName)
{
    start();
    const QString typed = dir.filePath("fehlt/kurve");
    desktop.saveAnswers << typed;
    click("BitBtn3");
    EXPECT_EQ(desktop.errors,
              QStringList({QStringLiteral("Datei %1.BMP kann nicht erstellt werden").arg(typed)}));
    EXPECT_EQ(window->savePictureFileName(), typed + ".BMP");
    EXPECT_TRUE(window->isVisible()) << "the program goes on";
}

} // namespace
