#include "AppTestSupport.h"

#include "app/MainForm.h"
#include "app/TImage.h"

#include <QAbstractButton>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace kurvaro;

namespace {

struct ControlCase
{
    const char* name;
    const char* parent;
    QRect geometry;
    const char* caption; ///< nullptr: not checked
};

class LayoutTest : public MainWindowTest, public ::testing::WithParamInterface<ControlCase>
{
};

QString captionOf(const QWidget* w)
{
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    return {};
}

TEST_P(LayoutTest, ControlSitsWhereTheFormPutsItWithItsCaption)
{
    const ControlCase& c = GetParam();
    start();
    auto* w = window->findChild<QWidget*>(QString::fromLatin1(c.name));
    ASSERT_NE(w, nullptr) << c.name;
    ASSERT_NE(w->parentWidget(), nullptr);
    EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(c.parent)) << c.name;
    EXPECT_EQ(w->pos(), c.geometry.topLeft()) << c.name;
    if (c.geometry.width() > 0) {
        EXPECT_EQ(w->size(), c.geometry.size()) << c.name;
    }
    if (c.caption != nullptr) {
        EXPECT_EQ(captionOf(w), QString::fromUtf8(c.caption)) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LayoutTest,
    ::testing::Values(ControlCase{"Label6", "Panel1", {29, 14, 0, 0}, "Position:"},
                      ControlCase{"Label1", "Panel1", {29, 29, 0, 0}, "       "},
                      ControlCase{"GroupBox1", "Panel1", {17, 61, 168, 205}, "Ansicht"},
                      ControlCase{"SpeedButton2", "GroupBox1", {35, 21, 23, 22}, ""},
                      ControlCase{"SpeedButton3", "GroupBox1", {12, 43, 23, 22}, ""},
                      ControlCase{"SpeedButton1", "GroupBox1", {58, 43, 23, 22}, ""},
                      ControlCase{"SpeedButton4", "GroupBox1", {35, 65, 23, 22}, ""},
                      ControlCase{"Image2", "GroupBox1", {113, 19, 44, 41}, nullptr},
                      ControlCase{"SpeedButton5", "GroupBox1", {104, 43, 23, 22}, ""},
                      ControlCase{"SpeedButton6", "GroupBox1", {134, 43, 23, 22}, ""},
                      ControlCase{"Label2", "GroupBox1", {24, 101, 0, 0}, "Xmin:"},
                      ControlCase{"Editxmin", "GroupBox1", {24, 114, 56, 22}, "-5"},
                      ControlCase{"Label3", "GroupBox1", {91, 100, 0, 0}, "Xmax:"},
                      ControlCase{"Editxmax", "GroupBox1", {91, 114, 56, 22}, "5"},
                      ControlCase{"Label4", "GroupBox1", {24, 143, 0, 0}, "Ymin:"},
                      ControlCase{"Editymin", "GroupBox1", {24, 157, 56, 22}, "-5"},
                      ControlCase{"Label5", "GroupBox1", {90, 141, 0, 0}, "Ymax:"},
                      ControlCase{"Editymax", "GroupBox1", {91, 156, 56, 22}, "5"},
                      ControlCase{"BitBtn1", "Panel1", {18, 283, 166, 25}, "Funktionen bestimmen"},
                      ControlCase{"BitBtn4", "Panel1", {18, 316, 166, 25}, "Optionen bearbeiten"},
                      ControlCase{"BitBtn3", "Panel1", {18, 349, 166, 25}, "Als Bitmap speichern"},
                      ControlCase{"BitBtn2", "Panel1", {18, 382, 166, 25}, "Aktualisieren "},
                      ControlCase{"BitBtn5", "Panel1", {17, 425, 166, 25}, "Info zum Programm"}));

TEST_F(MainWindowTest, PanelOneIsFixedAtTheRightAndTheDrawingAreaFillsTheRest)
{
    start();
    auto* panel1 = window->findChild<QFrame*>("Panel1");
    auto* panel2 = window->findChild<QFrame*>("Panel2");
    auto* image1 = window->findChild<TImage*>("Image1");
    ASSERT_TRUE(panel1 && panel2 && image1);
    EXPECT_EQ(panel1->width(), 200);
    EXPECT_EQ(panel1->geometry().right(), window->width() - 1);
    EXPECT_EQ(panel1->height(), window->height());
    EXPECT_EQ(panel2->geometry(), QRect(0, 0, window->width() - 200, window->height()));
    EXPECT_EQ(image1->geometry(), panel2->rect().adjusted(1, 1, -1, -1)) << "inside a 1 px bevel";
    EXPECT_EQ(image1->cursor().shape(), Qt::CrossCursor);

    window->setWindowBound(WindowBound::Width, 900);
    window->setWindowBound(WindowBound::Height, 600);
    pump();
    EXPECT_EQ(panel1->width(), 200) << "only the drawing area grows";
    // The stored bounds are the outer ones; the frame is taken off the client area.
    EXPECT_EQ(window->frameGeometry().size(), QSize(900, 600));
    const QSize frame = window->frameGeometry().size() - window->size();
    EXPECT_EQ(image1->size(), QSize(900 - 202, 600 - 2) - frame);
}

TEST_F(MainWindowTest, SpeedButtonsTakeNoFocusAndTheTabOrderFollowsTheForm)
{
    start();
    for (const char* name : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4",
                             "SpeedButton5", "SpeedButton6"})
        EXPECT_EQ(window->findChild<QWidget*>(name)->focusPolicy(), Qt::NoFocus) << name;

    QStringList order;
    QWidget* w = window->findChild<QWidget*>("BitBtn1");
    for (int i = 0; i < 9 && w != nullptr; ++i) {
        order << w->objectName();
        do
            w = w->nextInFocusChain();
        while (w != nullptr && (w->focusPolicy() & Qt::TabFocus) == 0);
    }
    EXPECT_EQ(order, QStringList({"BitBtn1", "Editxmin", "Editxmax", "Editymax", "Editymin",
                                  "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5"}));
}

TEST_F(MainWindowTest, ReadOutAndRangeFieldsUseAMonospaceFontOfElevenPixels)
{
    start();
    for (const char* name : {"Label1", "Editxmin", "Editxmax", "Editymin", "Editymax"}) {
        const QWidget* w = window->findChild<QWidget*>(name);
        EXPECT_TRUE(QFontInfo(w->font()).fixedPitch()) << name;
        EXPECT_EQ(w->font().pixelSize(), 11) << name;
    }
    EXPECT_EQ(window->font().pixelSize(), 11);
}

TEST_F(MainWindowTest, EveryButtonShowsItsGlyph)
{
    start();
    for (const char* name :
         {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4", "SpeedButton5",
          "SpeedButton6", "BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5"})
        EXPECT_FALSE(window->findChild<QAbstractButton*>(name)->icon().isNull()) << name;
    EXPECT_FALSE(window->findChild<QLabel*>("Image2")->pixmap().isNull());
}

} // namespace
