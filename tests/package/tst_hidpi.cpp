// Picture boxes on a screen at twice the scale (QT_SCALE_FACTOR=2, set by CTest): the palette
// shows the twice-size tile sheet pixel for pixel, while drawing stays in logical pixels.
#include "platform/picturebox.h"
#include "review/explainwindow.h"
#include "review/tilepictures.h"

#include <QApplication>
#include <QPixmap>
#include <QtTest>

using platform::PictureBox;

namespace {

constexpr int kBorder = 2;

QImage grabDevice(PictureBox& box) {
    return box.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The device pixels of the logical rectangle (x, y, w, h) of the box's drawing area.
QImage deviceCell(const QImage& shot, int x, int y, int w, int h) {
    return shot.copy((x + kBorder) * 2, (y + kBorder) * 2, w * 2, h * 2);
}

QImage rgb(const QString& name) {
    return QImage(name).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestHiDpi : public QObject {
    Q_OBJECT
  private slots:
    void paletteShowsTheTwiceSizeSheetCellForCell();
    void upsideDownAndDimmedTilesStaySharp();
    void pictureWithoutTwiceSizeIsEnlargedWithoutBlur();
    void explanationTilesComeFromTheTwiceSizeSheet();
};

void TestHiDpi::paletteShowsTheTwiceSizeSheetCellForCell() {
    PictureBox box;
    box.setPicture(QImage(QStringLiteral(":/tiles.png")), true);
    QCOMPARE(box.ScaleWidth(), 252);
    QCOMPARE(box.image(), rgb(QStringLiteral(":/tiles.png")));

    const QImage sheet2x = rgb(QStringLiteral(":/tiles@2x.png"));
    const QImage shot = grabDevice(box);
    QCOMPARE(shot.size(), QSize((252 + 2 * kBorder) * 2, (152 + 2 * kBorder) * 2));
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 9; ++col)
            if (deviceCell(shot, col * 28, row * 38, 28, 38) != sheet2x.copy(col * 56, row * 76, 56, 76))
                QFAIL(qPrintable(QStringLiteral("cell %1,%2 differs from the 2x sheet").arg(col).arg(row)));
}

void TestHiDpi::upsideDownAndDimmedTilesStaySharp() {
    PictureBox box;
    box.setPicture(QImage(QStringLiteral(":/tiles.png")), true);
    const QImage sheet = box.Picture();
    // Code 1 turned over onto the cell of code 2; code 3 dimmed in place.
    box.PaintPicture(sheet, 28 + 27, 37, -28, -38, 0, 0, 28, 38, platform::SRCCOPY);
    box.PaintPicture(QImage(QStringLiteral(":/dim.png")), 56, 0, 28, 38, 0, 0, 28, 38, platform::SRCAND);

    const QImage sheet2x = rgb(QStringLiteral(":/tiles@2x.png"));
    const QImage dim2x = rgb(QStringLiteral(":/dim@2x.png"));
    const QImage shot = grabDevice(box);
    QCOMPARE(deviceCell(shot, 28, 0, 28, 38), sheet2x.copy(0, 0, 56, 76).mirrored(true, true));

    QImage dimmed = sheet2x.copy(112, 0, 56, 76);
    for (int y = 0; y < dimmed.height(); ++y)
        for (int x = 0; x < dimmed.width(); ++x)
            dimmed.setPixel(x, y, (dimmed.pixel(x, y) & dim2x.pixel(x, y)) | 0xFF000000u);
    QCOMPARE(deviceCell(shot, 56, 0, 28, 38), dimmed);
    // The logical image still holds the 1x result the game reads back.
    QCOMPARE(box.image().copy(28, 0, 28, 38), sheet.copy(0, 0, 28, 38).mirrored(true, true));
}

void TestHiDpi::pictureWithoutTwiceSizeIsEnlargedWithoutBlur() {
    QImage stripes(4, 2, QImage::Format_RGB32);
    stripes.fill(0xFF00FF00u);
    stripes.setPixel(1, 0, 0xFFFF0000u);
    stripes.setPixel(3, 0, 0xFF0000FFu);
    PictureBox box(nullptr, false);
    box.setDrawingSize(4, 2);
    box.PaintPicture(stripes, 0, 0);
    QImage want = stripes.scaled(8, 4);
    want.setDevicePixelRatio(2);
    QCOMPARE(box.grab().toImage().convertToFormat(QImage::Format_RGB32), want);
}

void TestHiDpi::explanationTilesComeFromTheTwiceSizeSheet() {
    review::ExplainWindow window;
    engine::ProblemRecord record;
    record.hand = {1, 1, 2, 3, 14, 15, 16, 27, 28, 29, 31, 31, 31};
    window.showAnswer(record, engine::Explanation{});
    const QImage hand = window.pictures().at(0);
    QCOMPARE(hand.devicePixelRatio(), 2.0);
    const int w = review::SmallTileWidth * 2, h = review::SmallTileHeight * 2;
    QCOMPARE(hand.size(), QSize((13 * review::SmallTileWidth + 2) * 2, (review::SmallTileHeight + 4) * 2));
    // The third tile, 2m: the twice-size sheet's cell brought to three quarters, nothing enlarged.
    const QImage want = rgb(QStringLiteral(":/tiles@2x.png"))
                            .copy(56, 0, 56, 76)
                            .scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB32);
    QCOMPARE(hand.copy(2 + 2 * w, 4, w, h).convertToFormat(QImage::Format_RGB32), want);
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TestHiDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
