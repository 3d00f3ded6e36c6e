#include "platform/picturebox.h"

#include "platform/keystate.h"

#include <QDirIterator>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

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

bool isWhole(qreal ratio) {
    return ratio == std::floor(ratio);
}

int toDevice(int v, qreal dpr) {
    return static_cast<int>(std::lround(v * dpr));
}

// The device pixels that a logical span covers: start and signed length, so that a mirrored
// span still runs backwards from its last pixel.
std::pair<int, int> deviceSpan(int start, int length, qreal dpr) {
    if (length > 0) return {toDevice(start, dpr), toDevice(start + length, dpr) - toDevice(start, dpr)};
    const int first = toDevice(start + length + 1, dpr);
    const int end = toDevice(start + 1, dpr);
    return {end - 1, first - end};
}

// Copies with nearest-pixel sampling under a raster operation; a negative destination size
// mirrors the copy onto the pixels the positive size would cover.
void blit(QImage& image, const QImage& source, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
          std::uint32_t rop) {
    const int stepX = dw < 0 ? -1 : 1;
    const int stepY = dh < 0 ? -1 : 1;
    const int width = std::abs(dw);
    const int height = std::abs(dh);
    for (int j = 0; j < height; ++j) {
        const int ty = dy + stepY * j;
        const int fy = sy + j * sh / height;
        if (ty < 0 || ty >= image.height() || fy < 0 || fy >= source.height()) continue;
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(ty));
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(fy));
        for (int i = 0; i < width; ++i) {
            const int tx = dx + stepX * i;
            const int fx = sx + i * sw / width;
            if (tx < 0 || tx >= image.width() || fx < 0 || fx >= source.width()) continue;
            target[tx] = rop == SRCAND ? (target[tx] & from[fx]) | 0xFF000000u : from[fx] | 0xFF000000u;
        }
    }
}

template <typename Draw> void drawOnBoth(QImage& logical, QImage& device, Draw draw) {
    for (QImage* image : {&logical, &device}) {
        QPainter painter(image);
        draw(painter);
    }
}

} // namespace

QImage doubleSizeOf(const QImage& picture) {
    struct Pair {
        QImage single;
        QImage twice;
    };
    static const std::vector<Pair> pairs = [] {
        std::vector<Pair> found;
        QDirIterator it(QStringLiteral(":/"), {QStringLiteral("*@2x.png")}, QDir::Files);
        while (it.hasNext()) {
            const QString twice = it.next();
            QString single = twice;
            single.replace(QStringLiteral("@2x.png"), QStringLiteral(".png"));
            found.push_back({asRgb32(QImage(single)), QImage(twice)});
        }
        return found;
    }();
    // Callers pass the same few pictures again and again: remember the answer by image.
    static std::map<qint64, QImage> known;
    if (picture.isNull()) return {};
    if (const auto it = known.find(picture.cacheKey()); it != known.end()) return it->second;
    for (const Pair& pair : pairs) {
        if (pair.single.size() == picture.size() && pair.single == asRgb32(picture))
            return known[picture.cacheKey()] = pair.twice;
    }
    return {};
}

PictureBox::PictureBox(QWidget* parent, bool border) : QWidget(parent), border_(border) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setDrawingSize(1, 1);
}

void PictureBox::setDrawingSize(int width, int height) {
    QImage fresh(width, height, QImage::Format_RGB32);
    fresh.fill(BackColor);
    image_ = fresh;
    device_ = QImage();
    syncDeviceImage();
    setFixedSize(width + 2 * borderWidth(), height + 2 * borderWidth());
    update();
}

void PictureBox::setPicture(const QImage& picture, bool autoSize) {
    picture_ = asRgb32(picture);
    if (autoSize) setDrawingSize(picture_.width(), picture_.height());
    image_.fill(BackColor);
    device_.fill(BackColor);
    PaintPicture(picture_, 0, 0);
}

void PictureBox::PaintPicture(const QImage& src, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                              int sh, std::uint32_t rop) {
    if (dw == 0 || dh == 0 || sw <= 0 || sh <= 0) return;
    blit(image_, asRgb32(src), dx, dy, dw, dh, sx, sy, sw, sh, rop);
    paintDevice(src, dx, dy, dw, dh, sx, sy, sw, sh, rop);
    update();
}

// The same copy in device pixels, from the nearer of the picture's two sizes; smoothing only
// where the screen's scale is not a whole multiple of that picture.
void PictureBox::paintDevice(const QImage& src, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                             int sh, std::uint32_t rop) {
    syncDeviceImage();
    const qreal dpr = device_.devicePixelRatio();
    const QImage twice = dpr >= 1.5 ? doubleSizeOf(src) : QImage();
    const int k = twice.isNull() ? 1 : 2;
    const QImage source = asRgb32(twice.isNull() ? src : twice);
    const auto [x, w] = deviceSpan(dx, dw, dpr);
    const auto [y, h] = deviceSpan(dy, dh, dpr);
    if (w == 0 || h == 0) return;
    if (isWhole(dpr / k)) {
        blit(device_, source, x, y, w, h, sx * k, sy * k, sw * k, sh * k, rop);
        return;
    }
    const QImage part =
        source.copy(sx * k, sy * k, sw * k, sh * k)
            .scaled(std::abs(w), std::abs(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    blit(device_, part, x, y, w, h, 0, 0, part.width(), part.height(), rop);
}

// Keeps the device image at the screen's scale; on a change of scale it starts again from
// the logical image, and whatever is drawn afterwards is sharp.
void PictureBox::syncDeviceImage() {
    const qreal dpr = devicePixelRatioF();
    const QSize size(toDevice(image_.width(), dpr), toDevice(image_.height(), dpr));
    if (!device_.isNull() && device_.devicePixelRatio() == dpr && device_.size() == size) return;
    device_ = image_.scaled(size, Qt::IgnoreAspectRatio,
                            isWhole(dpr) ? Qt::FastTransformation : Qt::SmoothTransformation);
    device_.setDevicePixelRatio(dpr);
}

void PictureBox::Box(int x1, int y1, int x2, int y2, QRgb color) {
    syncDeviceImage();
    drawOnBoth(image_, device_, [&](QPainter& painter) {
        painter.setPen(QColor::fromRgb(color));
        painter.drawRect(
            QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2)))
                .adjusted(0, 0, -1, -1));
    });
    update();
}

void PictureBox::BoxFilled(int x1, int y1, int x2, int y2, QRgb color) {
    syncDeviceImage();
    drawOnBoth(image_, device_, [&](QPainter& painter) {
        painter.fillRect(
            QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))),
            QColor::fromRgb(color));
    });
    update();
}

void PictureBox::Cls() {
    image_.fill(BackColor);
    device_.fill(BackColor);
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
    syncDeviceImage();
    const QRect area(x, y, image_.width() * 2 + 100, image_.height() * 2 + 100);
    drawOnBoth(image_, device_, [&](QPainter& painter) {
        painter.setFont(font());
        painter.setPen(QColor::fromRgb(color));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    });
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    syncDeviceImage();
    QPainter painter(this);
    const int b = borderWidth();
    painter.drawImage(QPointF(b, b), device_);
    if (!border_) return;
    const int w = width();
    const int h = height();
    // Sunken 3-D edge: dark above and to the left, light below and to the right. Filled
    // rectangles rather than lines, so that at any scale the edge stays off the drawing area.
    const auto edge = [&](int x1, int y1, int x2, int y2, QColor colour) {
        painter.fillRect(QRect(QPoint(x1, y1), QPoint(x2, y2)), colour);
    };
    edge(0, 0, w - 2, 0, QColor(0x80, 0x80, 0x80));
    edge(0, 0, 0, h - 2, QColor(0x80, 0x80, 0x80));
    edge(1, 1, w - 3, 1, QColor(0x40, 0x40, 0x40));
    edge(1, 1, 1, h - 3, QColor(0x40, 0x40, 0x40));
    edge(0, h - 1, w - 1, h - 1, QColor(0xFF, 0xFF, 0xFF));
    edge(w - 1, 0, w - 1, h - 1, QColor(0xFF, 0xFF, 0xFF));
    edge(1, h - 2, w - 2, h - 2, QColor(0xD4, 0xD0, 0xC8));
    edge(w - 2, 1, w - 2, h - 2, QColor(0xD4, 0xD0, 0xC8));
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
    const QImage twice = devicePixelRatioF() >= 1.5 ? doubleSizeOf(picture_) : QImage();
    QPainter painter(this);
    painter.drawImage(rect(), twice.isNull() ? picture_ : twice);
}

} // namespace platform
