#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>

#include <cstdint>

namespace platform {

inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCAND = 0x008800C6;

// A picture box: a widget over a persistent image that keeps whatever is drawn on it.
// Coordinates are pixels of the drawing area, inside the optional sunken 2-pixel border.
// Everything drawn is drawn twice: on the logical image and on a copy in the screen's
// device pixels, where pictures with a twice-size version (name@2x.png) use it.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr, bool border = true);

    // The picture the box holds; with autoSize the box takes the picture's size.
    void setPicture(const QImage& picture, bool autoSize = false);
    const QImage& Picture() const { return picture_; }

    // The drawing area as it stands now, in logical pixels and in the screen's pixels.
    const QImage& image() const { return image_; }
    const QImage& deviceImage() const { return device_; }
    void setDrawingSize(int width, int height);
    int ScaleWidth() const { return image_.width(); }
    int ScaleHeight() const { return image_.height(); }
    int borderWidth() const { return border_ ? 2 : 0; }

    // Copies a rectangle of src; a negative destination width or height mirrors the copy
    // onto the same pixels the positive size would cover.
    void PaintPicture(const QImage& src, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                      std::uint32_t rop = SRCCOPY);
    void PaintPicture(const QImage& src, int dx, int dy) {
        PaintPicture(src, dx, dy, src.width(), src.height(), 0, 0, src.width(), src.height());
    }

    void Box(int x1, int y1, int x2, int y2, QRgb color);        // one-pixel outline, corners inclusive
    void BoxFilled(int x1, int y1, int x2, int y2, QRgb color);  // filled, corners inclusive
    void Cls();                                                  // back colour, drawing position to 0, 0
    void Print(const QString& text);                             // transparent text, then next line
    void PrintAt(int x, int y, const QString& text, QRgb color); // transparent text, no position change

    QRgb BackColor = 0xFFFFFFFF;
    QRgb ForeColor = 0xFF000000;
    int CurrentX = 0;
    int CurrentY = 0;

  signals:
    void mouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void mouseMove(std::int16_t button, std::int16_t shift, float x, float y);
    void clicked();
    void keyDown(std::int16_t keyCode, std::int16_t shift);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void syncDeviceImage();
    void paintDevice(const QImage& src, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
                     std::uint32_t rop);

    QImage picture_;
    QImage image_;
    QImage device_;
    bool border_;
    bool pressed_ = false;
};

// An image control: shows its picture stretched over its own size; see-through where the
// picture is.
class ImageBox : public QWidget {
    Q_OBJECT
  public:
    explicit ImageBox(QWidget* parent = nullptr);
    void setPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
};

// The twice-size version of an embedded picture (":/name@2x.png" for ":/name.png"), found by
// the picture's pixels so callers keep passing plain images; null when there is none.
QImage doubleSizeOf(const QImage& picture);

} // namespace platform
