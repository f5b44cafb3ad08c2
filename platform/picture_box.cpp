// Decoding and fitting of the picture shown in a picture box.
#include "platform/picture_box.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>

#include <algorithm>

namespace murrel {
namespace {

// Far beyond any captcha; a picture announcing more is not decoded at all.
constexpr qint64 kMaxPixels = 4096 * 4096;

QImage decode(const QByteArray& encodedImage)
{
    QBuffer buffer;
    buffer.setData(encodedImage);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize announced = reader.size();
    if (!announced.isValid() || qint64(announced.width()) * announced.height() > kMaxPixels) {
        return {};
    }
    return reader.read();
}

// The largest whole enlargement that fits; a picture larger than the box is shrunk to fit instead.
QImage fitted(const QImage& image, QSize box)
{
    const int factor = std::min(box.width() / image.width(), box.height() / image.height());
    if (factor >= 1) {
        return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    return image.scaled(box, Qt::KeepAspectRatio, Qt::FastTransformation);
}

}  // namespace

PictureBox::PictureBox(QWidget* parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
}

void PictureBox::setPicture(const QByteArray& encodedImage)
{
    const QImage image = encodedImage.isEmpty() ? QImage() : decode(encodedImage);
    if (image.isNull()) {
        clear();
        return;
    }
    setPixmap(QPixmap::fromImage(fitted(image, size())));
}

bool PictureBox::hasPicture() const
{
    return !pixmap().isNull();
}

}  // namespace murrel
