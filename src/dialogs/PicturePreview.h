#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class QFileDialog;

namespace kurvaro {

/// The picture in `fileName` scaled to fit into `box` with its proportions
/// kept (never enlarged); a null image when the name is no regular file, is
/// larger than a preview should read, or holds no picture that Qt can read.
QImage previewPicture(const QString& fileName, QSize box);

/// Adds a pane beside the file list of Qt's own (non-native) file dialog that
/// shows the selected picture file: the one highlighted in the list, or the
/// one whose name has been typed.
void addPicturePreview(QFileDialog& dialog);

} // namespace kurvaro
