// Draws the program's pictures: the tile sheet, the dimming pattern, the row marker, the
// title picture, the three level badges, each also at twice the size (name@2x.png), and the
// icons in the sizes desktop menus ask for.
//
//   cmake -S . -B build-tools -G Ninja -DBRALUN_TOOLS=ON && cmake --build build-tools
//   QT_QPA_PLATFORM=offscreen build-tools/tools/make_art resources
//
// Needs the IPA fonts and the Kouzan brush fonts (fonts-kouzan-mouhitsu, fonts-aoyagi-kouzan-t).

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

namespace {

constexpr int kCellW = 28;
constexpr int kCellH = 38;

const QString kKaisho = QStringLiteral("KouzanBrushFont");
const QString kGyosho = QStringLiteral("KouzanBrushFontGyousyo");
const QString kMincho = QStringLiteral("IPAMincho");

// Tile colours as on real Japanese sets.
const QColor kIvory(252, 249, 238);
const QColor kIvoryShade(232, 225, 204);
const QColor kEdge(104, 96, 80);
const QColor kGap(136, 136, 128);
const QColor kInk(24, 24, 32);
const QColor kRed(206, 28, 36);
const QColor kRedDark(130, 10, 20);
const QColor kGreen(18, 128, 64);
const QColor kGreenDark(6, 72, 36);
const QColor kGreenLight(120, 200, 130);
const QColor kBlue(28, 66, 170);
const QColor kBlueDark(14, 30, 100);

// Pictures are drawn in logical pixels onto images of gScale device pixels each, so the
// same code draws the 1x and the 2x pictures.
int gScale = 1;

QImage canvas(int w, int h, QImage::Format format) {
    QImage img(w * gScale, h * gScale, format);
    img.setDevicePixelRatio(gScale);
    return img;
}

// One logical pixel: a square of device pixels.
void putPixel(QImage& img, int x, int y, const QColor& c) {
    for (int j = 0; j < gScale; ++j)
        for (int i = 0; i < gScale; ++i) img.setPixelColor(x * gScale + i, y * gScale + j, c);
}

using Shade = std::function<std::optional<QColor>(double x, double y)>;

// Paints a shape given as a colour per point, averaging 6x6 samples per pixel; points
// outside the shape keep what is underneath, so edges blend into the tile face.
void paintSampled(QImage& img, QRect area, const Shade& shade) {
    constexpr int n = 6;
    const double scale = gScale;
    area = QRect(area.x() * gScale, area.y() * gScale, area.width() * gScale, area.height() * gScale) &
           img.rect();
    for (int py = area.top(); py <= area.bottom(); ++py) {
        for (int px = area.left(); px <= area.right(); ++px) {
            const QColor under = img.pixelColor(px, py);
            float r = 0, g = 0, b = 0, a = 0;
            bool touched = false;
            for (int sy = 0; sy < n; ++sy) {
                for (int sx = 0; sx < n; ++sx) {
                    const auto c = shade((px + (sx + 0.5) / n) / scale, (py + (sy + 0.5) / n) / scale);
                    const QColor& s = c ? *c : under;
                    touched |= c.has_value();
                    r += s.redF();
                    g += s.greenF();
                    b += s.blueF();
                    a += s.alphaF();
                }
            }
            if (touched) {
                constexpr float k = 1.0f / (n * n);
                img.setPixelColor(px, py, QColor::fromRgbF(r * k, g * k, b * k, a * k));
            }
        }
    }
}

// The outline of a text in a font, at a size large enough to scale down cleanly.
QPainterPath glyphPath(const QString& family, const QString& text) {
    QFont font(family);
    font.setPixelSize(200);
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

// Fills a glyph scaled by `scale` and centred on `centre`.
void fillGlyph(QPainter& p, const QPainterPath& path, QPointF centre, double sx, double sy,
               const QColor& colour, double embolden = 0) {
    const QRectF box = path.boundingRect();
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(sx, sy);
    t.translate(-box.center().x(), -box.center().y());
    const QPainterPath placed = t.map(path);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    if (embolden > 0)
        p.setPen(QPen(colour, embolden, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
        p.setPen(Qt::NoPen);
    p.drawPath(placed);
    p.restore();
}

// Scale that fits `box` into `w` x `h` keeping the aspect.
double fitScale(const QRectF& box, double w, double h) {
    return std::min(w / box.width(), h / box.height());
}

// ---------------------------------------------------------------------------------------
// Tile sheet

// An empty tile: ivory face, shaded rim and a dark edge with rounded corners. Kept
// symmetric, since tiles may be shown turned by 180 degrees.
void drawTileFace(QImage& img, int x0, int y0, int w = kCellW) {
    const double r = 3.2;
    const double W = w, H = kCellH;
    paintSampled(img, QRect(x0, y0, w, kCellH), [&](double x, double y) -> std::optional<QColor> {
        const double lx = x - x0, ly = y - y0;
        // Distance inside a rounded rectangle.
        const double cx = std::clamp(lx, r, W - r), cy = std::clamp(ly, r, H - r);
        const double d = r - std::hypot(lx - cx, ly - cy);
        const double inner = std::min({lx, ly, W - lx, H - ly});
        const double depth = (lx >= r && lx <= W - r) || (ly >= r && ly <= H - r) ? inner : d;
        if (depth < 0) return kGap;
        if (depth < 1.0) return kEdge;
        if (depth < 2.0) return kIvoryShade;
        return kIvory;
    });
}

// A circle of the circles suit: coloured ring, white ring, coloured heart.
void drawPin(QImage& img, double cx, double cy, double R, const QColor& c) {
    const QColor dark = c.darker(160);
    const double ring = std::max(1.1, R * 0.30);
    const double gap = std::max(0.8, R * 0.20);
    paintSampled(img, QRect(int(cx - R) - 1, int(cy - R) - 1, int(2 * R) + 3, int(2 * R) + 3),
                 [&](double x, double y) -> std::optional<QColor> {
                     const double d = std::hypot(x - cx, y - cy);
                     if (d > R) return std::nullopt;
                     if (d > R - 0.55) return dark;
                     if (d > R - ring) return c;
                     if (d > R - ring - gap) return QColor(Qt::white);
                     if (R > 5 && d < 0.9) return QColor(Qt::white);
                     return c;
                 });
}

// The one of circles: a large ornate disc with a flower in its heart.
void drawBigPin(QImage& img, double cx, double cy) {
    const double R = 11.0;
    paintSampled(img, QRect(int(cx - R) - 1, int(cy - R) - 1, int(2 * R) + 3, int(2 * R) + 3),
                 [&](double x, double y) -> std::optional<QColor> {
                     const double d = std::hypot(x - cx, y - cy);
                     const double a = std::atan2(y - cy, x - cx);
                     if (d > R) return std::nullopt;
                     if (d > R - 0.7) return kBlueDark;
                     if (d > R - 3.4) {
                         // Eight white seeds around the green ring.
                         const double seed = std::cos(8 * a);
                         if (seed > 0.55 && std::abs(d - (R - 2.05)) < 0.9) return QColor(Qt::white);
                         return kGreen;
                     }
                     if (d > R - 4.3) return QColor(Qt::white);
                     if (d > R - 5.0) return kBlue;
                     if (d > 5.2) {
                         // Petals between the blue rings.
                         const double petal = std::cos(6 * a);
                         return petal > 0.1 ? kRed : QColor(Qt::white);
                     }
                     if (d > 4.4) return kBlue;
                     if (d > 2.0) return kRed;
                     if (d > 1.2) return QColor(Qt::white);
                     return kRedDark;
                 });
}

// A bamboo stick from (x1, y1) to (x2, y2): dark rim, body, light core and nodes at both
// ends and in the middle.
void drawStick(QImage& img, double x1, double y1, double x2, double y2, const QColor& c,
               double halfWidth = 2.0) {
    const QColor dark = c == kRed ? kRedDark : kGreenDark;
    const QColor light = c == kRed ? QColor(250, 140, 130) : kGreenLight;
    const double len = std::hypot(x2 - x1, y2 - y1);
    const double ux = (x2 - x1) / len, uy = (y2 - y1) / len;
    const QRect area = QRect(QPoint(int(std::min(x1, x2) - 3), int(std::min(y1, y2) - 3)),
                             QPoint(int(std::max(x1, x2) + 3), int(std::max(y1, y2) + 3)));
    paintSampled(img, area, [&](double x, double y) -> std::optional<QColor> {
        const double t = (x - x1) * ux + (y - y1) * uy;
        const double s = std::abs(-(x - x1) * uy + (y - y1) * ux);
        if (t < 0 || t > len) return std::nullopt;
        // Ends taper a little, so the stick reads as rounded.
        const double end = std::min(t, len - t);
        const double hw = end < 1.0 ? halfWidth - (1.0 - end) * 0.7 : halfWidth;
        if (s > hw) return std::nullopt;
        const double node = std::abs(t - len / 2);
        if (end < 1.0 || node < 0.6) return dark;
        if (s > hw - 0.75) return dark;
        if (node < 1.4 && s < hw - 0.75) return light;
        if (s < 0.45) return light;
        return c;
    });
}

void drawVStick(QImage& img, double cx, double cy, double len, const QColor& c, double halfWidth = 2.3) {
    drawStick(img, cx, cy - len / 2, cx, cy + len / 2, c, halfWidth);
}

// The one of bamboo: a small bird on a stick, drawn pixel by pixel.
void drawBird(QImage& img, int x0, int y0) {
    static const char* const rows[] = {
        // clang-format off
      "......rr..............",
      ".....rrr..............",
      "....kkkkk.............",
      "...kgggGGk............",
      "..kggwkgGk............",
      ".yyggggggk............",
      "..yykgggk.............",
      "....kgggk.............",
      "....kggggk........kk..",
      "...kggbbggk......krrk.",
      "..kggbbbbggk....krrk..",
      "..kgbbbbbbggk..krrrk..",
      ".kggbbbbbbbggkkrrrk...",
      ".kggbbbbbbbbggkrrk....",
      ".kgggbbbbbbbggkrk.....",
      "..kgggbbbbbbgggkk.....",
      "..kggggbbbbgggrrk.....",
      "...kgggggggggrrrrk....",
      "....kkggggggkrrGrrk...",
      "......kkkkkk.krrGrrk..",
      ".......y..y...krrGrrk.",
      ".......y..y....krrGrk.",
      "......yyy.yyy...krrrk.",
      "...GGGGGGGGGGGG..kkk..",
      "..GggggggggggggG......",
      "...GGGGGGGGGGGG.......",
        // clang-format on
    };
    for (int r = 0; r < int(std::size(rows)); ++r) {
        for (int c = 0; rows[r][c]; ++c) {
            QColor col;
            switch (rows[r][c]) {
            case 'k':
                col = kGreenDark;
                break;
            case 'g':
                col = kGreen;
                break;
            case 'G':
                col = kGreenLight;
                break;
            case 'r':
                col = kRed;
                break;
            case 'b':
                col = kBlue;
                break;
            case 'y':
                col = QColor(220, 150, 20);
                break;
            case 'w':
                col = Qt::white;
                break;
            default:
                continue;
            }
            putPixel(img, x0 + c, y0 + r, col);
        }
    }
}

void drawCircles(QImage& img, int n, int x0, int y0) {
    auto pin = [&](double x, double y, double R, const QColor& c) { drawPin(img, x0 + x, y0 + y, R, c); };
    switch (n) {
    case 1:
        drawBigPin(img, x0 + 14, y0 + 19);
        break;
    case 2:
        pin(14, 11, 6.0, kGreen);
        pin(14, 27, 6.0, kBlue);
        break;
    case 3:
        pin(8, 9, 4.6, kBlue);
        pin(14, 19, 4.6, kRed);
        pin(20, 29, 4.6, kGreen);
        break;
    case 4:
        pin(8.5, 11.5, 4.8, kBlue);
        pin(19.5, 11.5, 4.8, kGreen);
        pin(8.5, 26.5, 4.8, kGreen);
        pin(19.5, 26.5, 4.8, kBlue);
        break;
    case 5:
        pin(8, 9, 4.2, kBlue);
        pin(20, 9, 4.2, kGreen);
        pin(14, 19, 4.2, kRed);
        pin(8, 29, 4.2, kGreen);
        pin(20, 29, 4.2, kBlue);
        break;
    case 6:
        for (double x : {9.0, 19.0}) {
            pin(x, 8.5, 4.0, kGreen);
            pin(x, 20.5, 4.0, kRed);
            pin(x, 29.0, 4.0, kRed);
        }
        break;
    case 7:
        pin(7.0, 6.5, 3.6, kGreen);
        pin(14.0, 9.5, 3.6, kGreen);
        pin(21.0, 12.5, 3.6, kGreen);
        for (double x : {9.5, 18.5}) {
            pin(x, 21.5, 3.8, kRed);
            pin(x, 29.8, 3.8, kRed);
        }
        break;
    case 8:
        for (double x : {9.5, 18.5})
            for (double y : {7.3, 15.1, 22.9, 30.7}) pin(x, y, 3.7, kBlue);
        break;
    case 9: {
        const QColor rows[] = {kBlue, kRed, kGreen};
        for (int r = 0; r < 3; ++r)
            for (double x : {6.8, 14.0, 21.2}) pin(x, 9.0 + r * 10.0, 3.6, rows[r]);
        break;
    }
    }
}

void drawBamboo(QImage& img, int n, int x0, int y0) {
    auto stick = [&](double x, double y, double len, const QColor& c) {
        drawVStick(img, x0 + x, y0 + y, len, c);
    };
    switch (n) {
    case 1:
        drawBird(img, x0 + 4, y0 + 6);
        break;
    case 2:
        stick(14, 11, 13, kGreen);
        stick(14, 27, 13, kGreen);
        break;
    case 3:
        stick(14, 11, 13, kGreen);
        stick(9, 27, 13, kGreen);
        stick(19, 27, 13, kGreen);
        break;
    case 4:
        for (double x : {9.0, 19.0})
            for (double y : {11.0, 27.0}) stick(x, y, 13, kGreen);
        break;
    case 5:
        for (double x : {7.5, 20.5})
            for (double y : {11.0, 27.0}) stick(x, y, 13, kGreen);
        stick(14, 19, 13, kRed);
        break;
    case 6:
        for (double x : {7.0, 14.0, 21.0})
            for (double y : {11.0, 27.0}) stick(x, y, 13, kGreen);
        break;
    case 7:
        stick(14, 8, 9, kRed);
        for (double x : {7.0, 14.0, 21.0})
            for (double y : {19.5, 29.5}) stick(x, y, 9, kGreen);
        break;
    case 8: {
        // An M over a W: outer sticks upright, inner ones leaning together; thinner than
        // the rest so that the four of a row stay apart.
        const double top = 4.5, mid1 = 17.0, mid2 = 21.0, bottom = 33.5, hw = 1.6;
        for (double x : {4.8, 23.2}) {
            drawStick(img, x0 + x, y0 + top, x0 + x, y0 + mid1, kGreen, hw);
            drawStick(img, x0 + x, y0 + mid2, x0 + x, y0 + bottom, kGreen, hw);
        }
        drawStick(img, x0 + 9.0, y0 + mid1, x0 + 12.4, y0 + top, kGreen, hw);
        drawStick(img, x0 + 19.0, y0 + mid1, x0 + 15.6, y0 + top, kGreen, hw);
        drawStick(img, x0 + 9.0, y0 + mid2, x0 + 12.4, y0 + bottom, kGreen, hw);
        drawStick(img, x0 + 19.0, y0 + mid2, x0 + 15.6, y0 + bottom, kGreen, hw);
        break;
    }
    case 9:
        for (int c = 0; c < 3; ++c)
            for (double y : {8.5, 19.0, 29.5}) stick(7.0 + c * 7.0, y, 9, c == 1 ? kRed : kGreen);
        break;
    }
}

void drawCharacters(QImage& img, int n, int x0, int y0) {
    static const QString numerals = QString::fromUtf8("一二三四五六七八九");
    QPainter p(&img);
    // One scale for all numerals, so that 一 stays a bar rather than a block.
    double scale = 1e9;
    for (const QChar ch : numerals)
        scale = std::min(scale, fitScale(glyphPath(kKaisho, ch).boundingRect(), 22, 15.5));
    fillGlyph(p, glyphPath(kKaisho, numerals.mid(n - 1, 1)), QPointF(x0 + 14, y0 + 10.5), scale, scale, kInk,
              0.5);
    const QPainterPath man = glyphPath(kKaisho, QString::fromUtf8("萬"));
    const QRectF mb = man.boundingRect();
    fillGlyph(p, man, QPointF(x0 + 14, y0 + 26.5), 20.5 / mb.width(), 15.5 / mb.height(), kRed);
}

void drawHonour(QImage& img, int n, int x0, int y0) {
    static const QString names = QString::fromUtf8("東南西北發中");
    if (n == 7) {
        // The white dragon: blank, with the thin blue frame of Japanese sets.
        QPainter p(&img);
        p.setPen(QPen(QColor(70, 110, 200), 1));
        p.drawRect(x0 + 5, y0 + 6, 17, 25);
        return;
    }
    const QColor colour = n == 5 ? kGreen : n == 6 ? kRed : kInk;
    QPainter p(&img);
    const QPainterPath path = glyphPath(kKaisho, names.mid(n - 1, 1));
    const double s = fitScale(path.boundingRect(), 22, 28);
    fillGlyph(p, path, QPointF(x0 + 14, y0 + 19), s, s, colour, n == 5 ? 0.7 : 0.3);
}

// The two cells after the honours: the name on a piece of green table felt.
void drawEmblem(QImage& img, int x0, int y0) {
    const int w = 2 * kCellW;
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kGap);
    p.drawRect(x0, y0, w, kCellH);
    p.setBrush(QColor(70, 50, 30));
    p.drawRoundedRect(QRectF(x0 + 0.5, y0 + 0.5, w - 1, kCellH - 1), 4, 4);
    p.setBrush(QColor(20, 100, 60));
    p.drawRoundedRect(QRectF(x0 + 2, y0 + 2, w - 4, kCellH - 4), 3, 3);
    p.setPen(QPen(QColor(220, 180, 80), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(x0 + 3.5, y0 + 3.5, w - 7, kCellH - 7), 2, 2);

    // Fit the name's ink into the frame, glyph by glyph, as brush fonts are mostly air.
    const QString name = QString::fromUtf8("ゾルベク");
    QList<QPainterPath> glyphs;
    double inkWidth = 0;
    for (const QChar ch : name) {
        glyphs << glyphPath(kGyosho, ch);
        inkWidth += glyphs.back().boundingRect().width();
    }
    const double gap = 1.0;
    const double s = (w - 12 - 3 * gap) / inkWidth;
    double x = x0 + 6;
    for (const QPainterPath& g : glyphs) {
        const double gw = g.boundingRect().width() * s;
        fillGlyph(p, g, QPointF(x + gw / 2 + 1, y0 + 20), s, s, QColor(0, 40, 20));
        fillGlyph(p, g, QPointF(x + gw / 2, y0 + 19), s, s, QColor(255, 236, 170), 0.2);
        x += gw + gap;
    }
}

QImage makeTiles() {
    QImage img = canvas(9 * kCellW, 4 * kCellH, QImage::Format_RGB32);
    img.fill(kGap);
    for (int row = 0; row < 4; ++row) {
        for (int n = 1; n <= 9; ++n) {
            const int x0 = (n - 1) * kCellW, y0 = row * kCellH;
            if (row == 3 && n > 7) continue;
            drawTileFace(img, x0, y0);
            switch (row) {
            case 0:
                drawCharacters(img, n, x0, y0);
                break;
            case 1:
                drawCircles(img, n, x0, y0);
                break;
            case 2:
                drawBamboo(img, n, x0, y0);
                break;
            case 3:
                drawHonour(img, n, x0, y0);
                break;
            }
        }
    }
    drawEmblem(img, 7 * kCellW, 3 * kCellH);
    return img;
}

// ---------------------------------------------------------------------------------------
// Other pictures

QImage makeDim() {
    // A checkerboard of device pixels, the finest the screen shows.
    QImage img = canvas(kCellW, kCellH, QImage::Format_RGB888);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixelColor(x, y, (x + y) % 2 == 0 ? QColor(Qt::white) : QColor(Qt::black));
    return img;
}

QImage makeMarker() {
    QImage img = canvas(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const QColor edge(60, 40, 0);
    const QColor yellow(255, 214, 0);
    // Each bracket is an L of two bars; the dark rim is drawn first, one pixel larger.
    auto bracket = [&](bool top) {
        const int t = 3, arm = 13;
        const int y = top ? 1 : 31 - t;
        const int vy = top ? 1 : 31 - arm;
        p.fillRect(QRect(0, y - 1, arm + 2, t + 2), edge);
        p.fillRect(QRect(0, vy - 1, t + 2, arm + 2), edge);
        p.fillRect(QRect(1, y, arm, t), yellow);
        p.fillRect(QRect(1, vy, t, arm), yellow);
    };
    bracket(true);
    bracket(false);
    return img;
}

QImage makeTitle() {
    QImage img = canvas(247, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // Lay the brush glyphs out by their ink, not by their em squares, which are mostly air.
    const QString name = QString::fromUtf8("ゾルベク");
    QList<QPainterPath> glyphs;
    double total = 0;
    const double height = 60;
    for (const QChar ch : name) {
        glyphs << glyphPath(kGyosho, ch);
        total += glyphs.back().boundingRect().width() * height / glyphs.back().boundingRect().height();
    }
    const double gap = 6;
    double scaleW = std::min(1.0, (225 - 3 * gap) / total);
    double x = (247 - (total * scaleW + 3 * gap)) / 2;
    const double cy = 63;
    QList<QPointF> centres;
    QList<double> scales;
    for (const QPainterPath& g : glyphs) {
        const QRectF b = g.boundingRect();
        const double s = height / b.height() * scaleW;
        const double gw = b.width() * s;
        centres << QPointF(x + gw / 2, cy);
        scales << s;
        x += gw + gap;
    }
    // Soft grey shadow first, then the ink.
    for (int i = 0; i < glyphs.size(); ++i)
        fillGlyph(p, glyphs[i], centres[i] + QPointF(4, 4), scales[i], scales[i], QColor(170, 170, 170));
    for (int i = 0; i < glyphs.size(); ++i)
        fillGlyph(p, glyphs[i], centres[i], scales[i], scales[i], Qt::black, 0.6);

    // The reading, spaced out between two short rules.
    QFont small(QStringLiteral("IPAPMincho"));
    small.setPixelSize(15);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 5);
    p.setFont(small);
    p.setPen(QColor(40, 40, 40));
    const QString reading = QString::fromUtf8("ぞるべく");
    const QRect line(0, 4, 247, 20);
    p.drawText(line.translated(3, 0), Qt::AlignHCenter | Qt::AlignVCenter, reading);
    const int half = p.fontMetrics().horizontalAdvance(reading) / 2 + 8;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(120, 120, 120));
    p.drawLine(123 - half - 40, 14, 123 - half, 14);
    p.drawLine(123 + half, 14, 123 + half + 40, 14);
    return img;
}

QImage makeBadge(int level) {
    static const char* const words[] = {"初級", "中級", "上級"};
    const QColor grounds[] = {QColor(200, 228, 255), QColor(255, 246, 176), QColor(255, 204, 220)};
    const QColor dots[] = {QColor(150, 196, 240), QColor(236, 214, 110), QColor(240, 160, 186)};
    QImage img = canvas(96, 48, QImage::Format_RGB32);
    img.fill(grounds[level]);
    QPainter p(&img);
    // A loose grid of dots, offset every other row.
    for (int y = 2; y < 48; y += 4)
        for (int x = (y / 4) % 2 * 2 + 1; x < 96; x += 4) putPixel(img, x, y, dots[level]);
    p.setPen(dots[level].darker(130));
    p.drawRect(0, 0, 95, 47);

    const QString word = QString::fromUtf8(words[level]);
    QPainterPath path = glyphPath(kGyosho, word);
    const QRectF b = path.boundingRect();
    const double s = std::min(80.0 / b.width(), 36.0 / b.height());
    p.setRenderHint(QPainter::Antialiasing);
    fillGlyph(p, path, QPointF(49, 25), s, s, QColor(255, 255, 255, 200), 2.5);
    fillGlyph(p, path, QPointF(48, 24), s, s, Qt::black, 0.4);
    return img;
}

// A red-dragon tile in a few flat colours without blending, so it stays crisp at 16 and
// 32 pixels and survives a reduction to 16 colours.
QImage makeIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const QColor black(0, 0, 0), white(255, 255, 255), silver(192, 192, 192), red(255, 0, 0),
        green(0, 128, 0);
    const bool big = size == 32;
    // Tile outline (inclusive) and the rows of its green back.
    const int l = big ? 5 : 2, t = big ? 1 : 0, r = big ? 26 : 13, b = big ? 30 : 15;
    const int backRows = big ? 4 : 3;
    for (int y = t; y <= b; ++y) {
        for (int x = l; x <= r; ++x) {
            const bool corner = (x == l || x == r) && (y == t || y == b);
            if (corner) continue;
            QColor c = white;
            if (x == l || x == r || y == t || y == b)
                c = black;
            else if (y > b - 1 - backRows)
                c = green;
            else if (x == r - 1 || y == b - backRows - 1)
                c = silver;
            img.setPixelColor(x, y, c);
        }
    }
    auto fill = [&](int x1, int y1, int x2, int y2) {
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) img.setPixelColor(x, y, red);
    };
    auto box = [&](int x1, int y1, int x2, int y2, int w) {
        fill(x1, y1, x2, y1 + w - 1);
        fill(x1, y2 - w + 1, x2, y2);
        fill(x1, y1, x1 + w - 1, y2);
        fill(x2 - w + 1, y1, x2, y2);
    };
    if (big) {
        box(8, 8, 23, 17, 2);
        fill(15, 4, 16, 23);
    } else {
        box(4, 4, 10, 7, 1);
        fill(7, 2, 7, 10);
    }
    return img;
}

bool save(const QImage& img, const QString& dir, const QString& name) {
    const QString path = dir + '/' + name;
    if (!img.save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: make_art <resources directory>\n";
        return 2;
    }
    for (const QString& family : {kKaisho, kGyosho, kMincho}) {
        if (!QFontDatabase::families().contains(family)) {
            QTextStream(stderr) << "font missing: " << family << '\n';
            return 1;
        }
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (gScale = 1; gScale <= 2 && ok; ++gScale) {
        const QString suffix = gScale == 1 ? QStringLiteral(".png") : QStringLiteral("@2x.png");
        ok = save(makeTiles(), dir, "tiles" + suffix) && save(makeDim(), dir, "dim" + suffix) &&
             save(makeMarker(), dir, "marker" + suffix) && save(makeTitle(), dir, "title" + suffix);
        for (int level = 0; level < 3 && ok; ++level)
            ok = save(makeBadge(level), dir, QStringLiteral("badge%1").arg(level) + suffix);
    }
    // The icon is pixel art in two designs; larger sizes enlarge them by whole factors.
    const QImage small = makeIcon(16), big = makeIcon(32);
    const std::pair<int, const QImage*> icons[] = {{16, &small}, {32, &big},  {48, &small},
                                                   {64, &big},   {128, &big}, {256, &big}};
    for (const auto& [size, design] : icons) {
        const QImage icon = design->scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        ok = ok && save(icon, dir, QStringLiteral("icon%1.png").arg(size));
    }
    return ok ? 0 : 1;
}
