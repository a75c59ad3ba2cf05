#include "dialogs/ScalableIcon.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <utility>

namespace kurvaro {

namespace {

class ScalableIconEngine : public QIconEngine
{
public:
    ScalableIconEngine(QSize size, PictureAtRatio paint) : size(size), paint_(std::move(paint)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatio();
        const QPixmap picture = scaledPixmap(rect.size() * ratio, mode, state, ratio);
        const QSize shown = actualSize(rect.size(), mode, state);
        painter->drawPixmap(QRect(rect.topLeft() + QPoint((rect.width() - shown.width()) / 2,
                                                          (rect.height() - shown.height()) / 2),
                                  shown),
                            picture);
    }

    QSize actualSize(const QSize& wanted, QIcon::Mode, QIcon::State) override
    {
        // Never larger than drawn, and shrunk to fit as the plain icons are.
        QSize actual = size;
        if (actual.width() > wanted.width() || actual.height() > wanted.height())
            actual.scale(wanted, Qt::KeepAspectRatio);
        return actual;
    }

    QPixmap pixmap(const QSize& wanted, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(wanted, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize&, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        QPixmap picture = paint_(scale);
        if (mode != QIcon::Normal) {
            // The look the style gives a plain icon's picture in this mode.
            QStyleOption option(0);
            option.palette = QGuiApplication::palette();
            const QPixmap generated =
                QApplication::style()->generatedIconPixmap(mode, picture, &option);
            if (!generated.isNull())
                picture = generated;
        }
        picture.setDevicePixelRatio(scale);
        return picture;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {size}; }

    QIconEngine* clone() const override { return new ScalableIconEngine(size, paint_); }

    QString key() const override { return QStringLiteral("kurvaro.scalable"); }

private:
    QSize size;
    PictureAtRatio paint_;
};

} // namespace

QIcon scalableIcon(QSize size, PictureAtRatio paint)
{
    return QIcon(new ScalableIconEngine(size, std::move(paint)));
}

} // namespace kurvaro
