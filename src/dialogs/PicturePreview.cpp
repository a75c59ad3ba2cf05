#include "dialogs/PicturePreview.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSplitter>
#include <QVBoxLayout>

namespace kurvaro {

namespace {

/// Files larger than this are not read for a preview: the dialog must stay
/// quick whatever lies in the folder.
constexpr qint64 PreviewFileLimit = 64 * 1024 * 1024;
constexpr int PreviewSide = 160;

} // namespace

QImage previewPicture(const QString& fileName, QSize box)
{
    // Only regular files: reading a pipe or a device would block the dialog.
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.isFile() || info.size() > PreviewFileLimit)
        return {};
    QImageReader reader(fileName);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > box.width() || size.height() > box.height()))
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage picture = reader.read();
    if (picture.isNull())
        return {};
    if (picture.width() > box.width() || picture.height() > box.height())
        picture = picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

void addPicturePreview(QFileDialog& dialog)
{
    auto* pane = new QFrame(&dialog);
    pane->setObjectName(QStringLiteral("PicturePreview"));
    pane->setFrameShape(QFrame::StyledPanel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->setMinimumWidth(PreviewSide + 8);
    auto* picture = new QLabel(pane);
    picture->setAlignment(Qt::AlignCenter);
    picture->setMinimumSize(PreviewSide, PreviewSide);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(picture);

    if (auto* files = dialog.findChild<QSplitter*>(QStringLiteral("splitter"))) {
        files->addWidget(pane);
        files->setCollapsible(files->indexOf(pane), false);
    } else if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(pane, 1, grid->columnCount(), 1, 1);
    }

    const auto show = [&dialog, picture](const QString& fileName) {
        const QImage image = previewPicture(fileName, QSize(PreviewSide, PreviewSide));
        picture->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    };
    QObject::connect(&dialog, &QFileDialog::currentChanged, picture, show);
    // A typed name selects its file in the list without making it current.
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        QObject::connect(name, &QLineEdit::textChanged, picture,
                         [&dialog, show] { show(dialog.selectedFiles().value(0)); });
    }
}

} // namespace kurvaro
