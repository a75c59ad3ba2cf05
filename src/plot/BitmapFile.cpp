#include "plot/BitmapFile.h"

#include <QImage>
#include <QLocale>
#include <QSaveFile>

#include <cstdint>
#include <vector>

namespace kurvaro {

QString SavePictureFilter()
{
    return QStringLiteral("Alle (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf);;"
                          "JPEG-Grafikdatei (*.jpg);;"
                          "JPEG-Grafikdatei (*.jpeg);;"
                          "Bitmaps (*.bmp);;"
                          "Symbole (*.ico);;"
                          "Erweiterte Metadateien (*.emf);;"
                          "Metadateien (*.wmf)");
}

QString BitmapFileName(const QString& chosen)
{
    // Only a "." after the last separator starts an extension. Since ".BMP"
    // itself holds no separator, "/", "\" and ":" all count as one.
    qsizetype start = -1;
    for (qsizetype i = chosen.size() - 1; i >= 0; --i) {
        const QChar c = chosen.at(i);
        if (c == u'/' || c == u'\\' || c == u':')
            break;
        if (c == u'.') {
            start = i;
            break;
        }
    }
    const QString extension = start < 0 ? QString() : chosen.mid(start);
    if (QLocale().toUpper(extension) == QStringLiteral(".BMP"))
        return chosen;
    return chosen + QStringLiteral(".BMP");
}

namespace {

void put16(std::vector<char>& out, std::uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

void put32(std::vector<char>& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

} // namespace

void cannotCreateFile(const QString& fileName)
{
    throw EFCreateError(
        QStringLiteral("Datei %1 kann nicht erstellt werden").arg(fileName).toStdString());
}

QByteArray BitmapFileBytes(const QImage& picture)
{
    const QImage rgb = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB888);
    const std::uint32_t width = rgb.isNull() ? 0 : static_cast<std::uint32_t>(rgb.width());
    const std::uint32_t height = rgb.isNull() ? 0 : static_cast<std::uint32_t>(rgb.height());
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * height;
    constexpr std::uint32_t headerSize = 14 + 40;

    std::vector<char> out;
    out.reserve(headerSize + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, headerSize + imageSize);
    put32(out, 0);
    put32(out, headerSize);
    put32(out, 40);
    put32(out, width);
    put32(out, height); // positive: rows bottom-up
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // BI_RGB
    put32(out, imageSize);
    put32(out, 3780); // 96 pixels per inch
    put32(out, 3780);
    put32(out, 0);
    put32(out, 0);
    for (std::uint32_t row = height; row-- > 0;) {
        const uchar* line = rgb.constScanLine(static_cast<int>(row));
        for (std::uint32_t x = 0; x < width; ++x) {
            out.push_back(static_cast<char>(line[3 * x + 2]));
            out.push_back(static_cast<char>(line[3 * x + 1]));
            out.push_back(static_cast<char>(line[3 * x]));
        }
        for (std::uint32_t pad = width * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

void SaveBitmapFile(const QImage& picture, const QString& fileName)
{
    const QByteArray out = BitmapFileBytes(picture);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreateFile(fileName);
    if (file.write(out) != out.size())
        cannotCreateFile(fileName);
    if (!file.commit())
        cannotCreateFile(fileName);
}

} // namespace kurvaro
