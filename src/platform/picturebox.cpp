#include "platform/picturebox.h"

#include "platform/keystate.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cstdlib>

namespace platform {

namespace {

QImage asRgb32(const QImage& image) {
    return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
}

std::int16_t buttonCode(Qt::MouseButtons buttons) {
    std::int16_t code = 0;
    if (buttons & Qt::LeftButton) code |= 1;
    if (buttons & Qt::RightButton) code |= 2;
    if (buttons & Qt::MiddleButton) code |= 4;
    return code;
}

std::int16_t shiftCode(Qt::KeyboardModifiers modifiers) {
    std::int16_t code = 0;
    if (modifiers & Qt::ShiftModifier) code |= 1;
    if (modifiers & Qt::ControlModifier) code |= 2;
    if (modifiers & Qt::AltModifier) code |= 4;
    return code;
}

} // namespace

PictureBox::PictureBox(QWidget* parent, bool border) : QWidget(parent), border_(border) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setDrawingSize(1, 1);
}

void PictureBox::setDrawingSize(int width, int height) {
    QImage fresh(width, height, QImage::Format_RGB32);
    fresh.fill(BackColor);
    image_ = fresh;
    setFixedSize(width + 2 * borderWidth(), height + 2 * borderWidth());
    update();
}

void PictureBox::setPicture(const QImage& picture, bool autoSize) {
    picture_ = asRgb32(picture);
    if (autoSize) setDrawingSize(picture_.width(), picture_.height());
    image_.fill(BackColor);
    PaintPicture(picture_, 0, 0);
}

void PictureBox::PaintPicture(const QImage& src, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                              int sh, std::uint32_t rop) {
    if (dw == 0 || dh == 0 || sw <= 0 || sh <= 0) return;
    const QImage source = asRgb32(src);
    const int stepX = dw < 0 ? -1 : 1;
    const int stepY = dh < 0 ? -1 : 1;
    const int width = std::abs(dw);
    const int height = std::abs(dh);
    for (int j = 0; j < height; ++j) {
        const int ty = dy + stepY * j;
        const int fy = sy + j * sh / height;
        if (ty < 0 || ty >= image_.height() || fy < 0 || fy >= source.height()) continue;
        auto* target = reinterpret_cast<QRgb*>(image_.scanLine(ty));
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(fy));
        for (int i = 0; i < width; ++i) {
            const int tx = dx + stepX * i;
            const int fx = sx + i * sw / width;
            if (tx < 0 || tx >= image_.width() || fx < 0 || fx >= source.width()) continue;
            target[tx] = rop == SRCAND ? (target[tx] & from[fx]) | 0xFF000000u : from[fx] | 0xFF000000u;
        }
    }
    update();
}

void PictureBox::Box(int x1, int y1, int x2, int y2, QRgb color) {
    QPainter painter(&image_);
    painter.setPen(QColor::fromRgb(color));
    painter.drawRect(
        QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)))
            .adjusted(0, 0, -1, -1));
    update();
}

void PictureBox::BoxFilled(int x1, int y1, int x2, int y2, QRgb color) {
    QPainter painter(&image_);
    painter.fillRect(
        QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))),
        QColor::fromRgb(color));
    update();
}

void PictureBox::Cls() {
    image_.fill(BackColor);
    CurrentX = 0;
    CurrentY = 0;
    update();
}

void PictureBox::Print(const QString& text) {
    PrintAt(CurrentX, CurrentY, text, ForeColor);
    CurrentX = 0;
    CurrentY += QFontMetrics(font()).height();
}

void PictureBox::PrintAt(int x, int y, const QString& text, QRgb color) {
    QPainter painter(&image_);
    painter.setFont(font());
    painter.setPen(QColor::fromRgb(color));
    painter.drawText(QRect(x, y, image_.width() * 2 + 100, image_.height() * 2 + 100),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int b = borderWidth();
    painter.drawImage(b, b, image_);
    if (!border_) return;
    const int w = width();
    const int h = height();
    // Sunken 3-D edge: dark above and to the left, light below and to the right.
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(0, 0, w - 2, 0);
    painter.drawLine(0, 0, 0, h - 2);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawLine(1, 1, w - 3, 1);
    painter.drawLine(1, 1, 1, h - 3);
    painter.setPen(QColor(0xFF, 0xFF, 0xFF));
    painter.drawLine(0, h - 1, w - 1, h - 1);
    painter.drawLine(w - 1, 0, w - 1, h - 1);
    painter.setPen(QColor(0xD4, 0xD0, 0xC8));
    painter.drawLine(1, h - 2, w - 2, h - 2);
    painter.drawLine(w - 2, 1, w - 2, h - 2);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    pressed_ = true;
    const QPointF p = event->position() - QPointF(borderWidth(), borderWidth());
    emit mouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), static_cast<float>(p.x()),
                   static_cast<float>(p.y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && rect().contains(event->position().toPoint())) emit clicked();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position() - QPointF(borderWidth(), borderWidth());
    emit mouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()), static_cast<float>(p.x()),
                   static_cast<float>(p.y()));
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    const int vk = virtualKey(*event);
    if (vk == 0 || vk == VK_RETURN) {
        // Enter belongs to the window's default button.
        QWidget::keyPressEvent(event);
        return;
    }
    emit keyDown(static_cast<std::int16_t>(vk), shiftCode(event->modifiers()));
}

ImageBox::ImageBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ImageBox::setPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void ImageBox::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.drawImage(rect(), picture_);
}

} // namespace platform
