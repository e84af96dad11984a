// Draws the application's artwork: the 21 pictures of the main window's image list, the three glyphs
// of the settings dialog, the splash picture and the placeholder cover.
//
//   make_artwork <images-dir> [--sheet <contact-sheet.png>]
//
// Every small icon is drawn directly on its 16 x 16 grid: one-pixel lines lie on half-pixel
// coordinates and filled shapes on whole ones, so that the pictures stay sharp at their real size.
// The contact sheet shows the small icons enlarged eight times, for judging them by eye.

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <QtMath>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QColor rgb(const char* hex, int alpha = 255)
{
    QColor c(QString::fromLatin1(hex));
    c.setAlpha(alpha);
    return c;
}

QImage blank(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void begin(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QPen line(const QColor& c, double width = 1.0)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void shape(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& outline,
           double width = 1.0)
{
    p.setBrush(fill);
    p.setPen(outline.isValid() ? line(outline, width) : QPen(Qt::NoPen));
    p.drawPath(path);
}

QLinearGradient vertical(double y0, double y1, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

QLinearGradient horizontal(double x0, double x1, const QColor& left, const QColor& right)
{
    QLinearGradient g(x0, 0, x1, 0);
    g.setColorAt(0, left);
    g.setColorAt(1, right);
    return g;
}

QPainterPath rectPath(double x0, double y0, double x1, double y1)
{
    QPainterPath path;
    path.addRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)));
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& pt : points) {
        if (first)
            path.moveTo(pt);
        else
            path.lineTo(pt);
        first = false;
    }
    path.closeSubpath();
    return path;
}

void pixels(QPainter& p, int x, int y, int w, int h, const QColor& c)
{
    p.fillRect(QRect(x, y, w, h), c);
}

// A 3 x 5 pixel face for the day numbers on the calendar pages: outline fonts blur at this size.
void digits(QPainter& p, int x, int y, const char* text, const QColor& c)
{
    static const char* const glyphs[10][5] = {
        {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
        {"###", "..#", "###", "#..", "###"}, {"###", "..#", ".##", "..#", "###"},
        {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
        {"###", "#..", "###", "#.#", "###"}, {"###", "..#", "..#", ".#.", ".#."},
        {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"},
    };
    for (const char* ch = text; *ch != '\0'; ++ch) {
        const int d = *ch - '0';
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (glyphs[d][row][col] == '#')
                    pixels(p, x + col, y + row, 1, 1, c);
        x += 4;
    }
}

// ---------------------------------------------------------------------------------------------
// Shared parts

const QColor kFolderLine = rgb("#9a6a0a");

void folder(QPainter& p)
{
    // back with its tab
    shape(p, polygon({{1.5, 13.5}, {1.5, 2.5}, {6.0, 2.5}, {7.5, 4.0}, {14.5, 4.0}, {14.5, 13.5}}),
          vertical(2, 13, rgb("#f2c14e"), rgb("#d99a1e")), kFolderLine);
    // front
    shape(p, rectPath(1.5, 5.5, 14.5, 13.5), vertical(5.5, 13.5, rgb("#ffe9a6"), rgb("#f5bf3c")),
          kFolderLine);
    p.setPen(line(rgb("#fff8dc", 200)));
    p.drawLine(QPointF(2.5, 6.5), QPointF(13.5, 6.5));
}

void openFolder(QPainter& p)
{
    shape(p, polygon({{1.5, 13.5}, {1.5, 2.5}, {6.0, 2.5}, {7.5, 4.0}, {13.5, 4.0}, {13.5, 7.5}}),
          vertical(2, 13, rgb("#f2c14e"), rgb("#d99a1e")), kFolderLine);
    shape(p, rectPath(3.5, 5.5, 12.5, 9.5), QColor(Qt::white), rgb("#9a9a90"));
    shape(p, polygon({{1.5, 13.5}, {4.5, 7.5}, {15.5, 7.5}, {12.5, 13.5}}),
          vertical(7.5, 13.5, rgb("#ffe9a6"), rgb("#f5bf3c")), kFolderLine);
}

QPainterPath heartPath(const QRectF& r)
{
    auto at = [&r](double fx, double fy) {
        return QPointF(r.left() + fx * r.width(), r.top() + fy * r.height());
    };
    QPainterPath path;
    path.moveTo(at(0.5, 0.22));
    path.cubicTo(at(0.42, 0.0), at(0.0, -0.04), at(0.0, 0.32));
    path.cubicTo(at(0.0, 0.62), at(0.4, 0.78), at(0.5, 1.0));
    path.cubicTo(at(0.6, 0.78), at(1.0, 0.62), at(1.0, 0.32));
    path.cubicTo(at(1.0, -0.04), at(0.58, 0.0), at(0.5, 0.22));
    path.closeSubpath();
    return path;
}

void heart(QPainter& p, const QRectF& r)
{
    QRadialGradient g(r.left() + r.width() * 0.35, r.top() + r.height() * 0.3, r.width() * 0.8);
    g.setColorAt(0, rgb("#ff8080"));
    g.setColorAt(0.5, rgb("#e01818"));
    g.setColorAt(1, rgb("#a80000"));
    shape(p, heartPath(r), g, rgb("#7a0000"));
}

QPainterPath starPath(double cx, double cy, double outer, double inner)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double rad = (i % 2 == 0) ? outer : inner;
        const QPointF pt(cx + rad * std::cos(a), cy + rad * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

// The person: a head over rounded shoulders, inside the box (x, y, w, h).
void person(QPainter& p, double x, double y, double w, double h)
{
    const double headR = w * 0.22;
    const double cx = x + w / 2;
    QPainterPath body;
    const double top = y + h * 0.56;
    body.moveTo(x + 0.5, y + h - 0.5);
    body.lineTo(x + 0.5, top + h * 0.2);
    body.quadTo(x + 0.5, top, cx, top);
    body.quadTo(x + w - 0.5, top, x + w - 0.5, top + h * 0.2);
    body.lineTo(x + w - 0.5, y + h - 0.5);
    body.closeSubpath();
    shape(p, body, vertical(top, y + h, rgb("#5b8fd0"), rgb("#2d5c9a")), rgb("#1d3d6a"));
    QPainterPath head;
    head.addEllipse(QPointF(cx, y + headR + 0.6), headR, headR);
    QRadialGradient g(cx - headR * 0.4, y + headR * 0.7, headR * 1.6);
    g.setColorAt(0, rgb("#ffe4c8"));
    g.setColorAt(1, rgb("#e8a878"));
    shape(p, head, g, rgb("#9a5a30"));
}

void pencil(QPainter& p, const QPointF& tip, const QPointF& end, double thickness)
{
    const QLineF axis(tip, end);
    const double len = axis.length();
    p.save();
    p.translate(tip);
    p.rotate(-axis.angle());
    const double t = thickness / 2;
    const double cone = thickness * 1.1;
    // wooden cone and the graphite point
    shape(p, polygon({{0, 0}, {cone, -t}, {cone, t}}), rgb("#f3d2a0"), QColor());
    shape(p, polygon({{0, 0}, {cone * 0.38, -t * 0.38}, {cone * 0.38, t * 0.38}}), rgb("#2e3436"), QColor());
    // painted body with a lighter ridge
    const double ferrule = len - thickness * 0.9;
    QLinearGradient body(0, -t, 0, t);
    body.setColorAt(0, rgb("#ffd36b"));
    body.setColorAt(0.5, rgb("#f6a618"));
    body.setColorAt(1, rgb("#c86d00"));
    p.fillRect(QRectF(cone, -t, ferrule - cone, thickness), body);
    p.fillRect(QRectF(ferrule, -t, thickness * 0.35, thickness), rgb("#b8bab4"));
    p.fillRect(QRectF(ferrule + thickness * 0.35, -t, len - ferrule - thickness * 0.35, thickness),
               rgb("#f08c96"));
    p.setBrush(Qt::NoBrush);
    p.setPen(line(rgb("#6b3a00", 220), 0.8));
    p.drawPath(polygon({{0, 0}, {cone, -t}, {len, -t}, {len, t}, {cone, t}}));
    p.restore();
}

void magnifier(QPainter& p, const QPointF& centre, double radius, const QPointF& handleEnd,
               double handleWidth)
{
    QLineF handle(centre, handleEnd);
    handle.setP1(handle.pointAt(radius / handle.length()));
    p.setPen(QPen(rgb("#3a2a1a"), handleWidth, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(handle);
    QRadialGradient glass(centre.x() - radius * 0.35, centre.y() - radius * 0.35, radius * 1.4);
    glass.setColorAt(0, rgb("#ffffff", 235));
    glass.setColorAt(1, rgb("#8cc4f0", 200));
    QPainterPath lens;
    lens.addEllipse(centre, radius, radius);
    shape(p, lens, glass, rgb("#2e3436"), 1.3);
}

// A page with a few grey lines of text, inside the pixel box [x0, x1] x [y0, y1].
void page(QPainter& p, int x0, int y0, int x1, int y1, int fold)
{
    const double l = x0 + 0.5, t = y0 + 0.5, r = x1 + 0.5, b = y1 + 0.5;
    shape(p, polygon({{l, t}, {r - fold, t}, {r, t + fold}, {r, b}, {l, b}}),
          vertical(t, b, rgb("#ffffff"), rgb("#e8e8e4")), rgb("#7a7a74"));
    shape(p, polygon({{r - fold, t}, {r - fold, t + fold}, {r, t + fold}}), rgb("#d8d8d2"), rgb("#7a7a74"));
    for (int y = y0 + 3; y <= y1 - 2; y += 2)
        pixels(p, x0 + 2, y, (y < y0 + fold + 2 ? x1 - fold - x0 - 2 : x1 - x0 - 3), 1, rgb("#a0a4a8"));
}

// A closed book standing face on: cover, a darker spine band on the left, page edges on the right
// and at the bottom.
void closedBook(QPainter& p, const QColor& light, const QColor& dark, const QColor& edge, int top = 1)
{
    const double t = top + 0.5;
    // pages, seen past the cover at the right and at the bottom
    shape(p, rectPath(4.5, t + 1, 13.5, 14.5), rgb("#fbf8f0"), rgb("#8a8478"));
    p.setPen(line(rgb("#c8c2b4")));
    p.drawLine(QPointF(5.5, 13.5), QPointF(12.5, 13.5));
    p.drawLine(QPointF(12.5, t + 2), QPointF(12.5, 12.5));
    // cover
    shape(p, rectPath(2.5, t, 11.5, 12.5), horizontal(2.5, 11.5, light, dark), edge);
    // spine band and the title label
    pixels(p, 3, top + 1, 2, 12 - top, dark.darker(130));
    p.setPen(line(light.lighter(135)));
    p.drawLine(QPointF(5.5, t + 1), QPointF(5.5, 11.5));
    pixels(p, 7, top + 3, 4, 2, rgb("#ffffff", 190));
}

QPainterPath gearPath(double cx, double cy, double outer, double root, int teeth)
{
    QPainterPath path;
    const double step = 2 * M_PI / teeth;
    for (int i = 0; i < teeth; ++i) {
        const double a = i * step - M_PI / 2;
        const double pts[][2] = {{a - step * 0.36, root},
                                 {a - step * 0.18, outer},
                                 {a + step * 0.18, outer},
                                 {a + step * 0.36, root}};
        for (int k = 0; k < 4; ++k) {
            const QPointF pt(cx + pts[k][1] * std::cos(pts[k][0]), cy + pts[k][1] * std::sin(pts[k][0]));
            if (i == 0 && k == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
    }
    path.closeSubpath();
    return path;
}

// ---------------------------------------------------------------------------------------------
// Emblems for the folders: each one fills a 9 x 9 box at the folder's lower right corner.

void emblemPencil(QPainter& p)
{
    pencil(p, QPointF(0.8, 8.2), QPointF(8.6, 0.4), 3.2);
}

void emblemHeart(QPainter& p)
{
    heart(p, QRectF(0.5, 1.5, 8.5, 7.5));
}

void emblemPerson(QPainter& p)
{
    person(p, 0, 0, 9, 9);
}

void emblemBell(QPainter& p)
{
    QPainterPath bell;
    bell.moveTo(0.5, 7.5);
    bell.quadTo(1.8, 6.6, 1.8, 4.6);
    bell.quadTo(1.8, 1.4, 4.5, 1.4);
    bell.quadTo(7.2, 1.4, 7.2, 4.6);
    bell.quadTo(7.2, 6.6, 8.5, 7.5);
    bell.closeSubpath();
    QPainterPath clapper;
    clapper.addEllipse(QPointF(4.5, 8.0), 1.1, 1.0);
    shape(p, clapper, rgb("#c89000"), rgb("#7a5400"), 0.8);
    QLinearGradient g(1, 0, 8, 0);
    g.setColorAt(0, rgb("#fff3a0"));
    g.setColorAt(0.45, rgb("#f5c800"));
    g.setColorAt(1, rgb("#b88600"));
    shape(p, bell, g, rgb("#7a5400"));
    QPainterPath knob;
    knob.addEllipse(QPointF(4.5, 0.9), 0.9, 0.9);
    shape(p, knob, rgb("#f5c800"), rgb("#7a5400"), 0.8);
}

void emblemMagnifier(QPainter& p)
{
    magnifier(p, QPointF(3.6, 3.6), 2.9, QPointF(8.2, 8.2), 2.2);
}

void emblemStar(QPainter& p)
{
    QRadialGradient g(4.5, 4.0, 5.0);
    g.setColorAt(0, rgb("#fff6a0"));
    g.setColorAt(1, rgb("#f0a800"));
    shape(p, starPath(4.5, 4.9, 4.9, 2.1), g, rgb("#8a5000"));
}

void emblemCanister(QPainter& p)
{
    const double l = 0.5, r = 8.5, top = 2.0, bottom = 7.4, ry = 1.5;
    QPainterPath body;
    body.moveTo(l, top);
    body.lineTo(l, bottom);
    body.arcTo(QRectF(l, bottom - ry, r - l, 2 * ry), 180, 180);
    body.lineTo(r, top);
    body.closeSubpath();
    QLinearGradient g(l, 0, r, 0);
    g.setColorAt(0, rgb("#7a7c78"));
    g.setColorAt(0.35, rgb("#f2f3f0"));
    g.setColorAt(1, rgb("#5a5c58"));
    shape(p, body, g, rgb("#2e302c"));
    p.setBrush(Qt::NoBrush);
    p.setPen(line(rgb("#2e302c", 220), 0.9));
    QPainterPath band;
    band.arcMoveTo(QRectF(l, (top + bottom) / 2 - ry, r - l, 2 * ry), 180);
    band.arcTo(QRectF(l, (top + bottom) / 2 - ry, r - l, 2 * ry), 180, 180);
    p.drawPath(band);
    QPainterPath lid;
    lid.addEllipse(QRectF(l, top - ry, r - l, 2 * ry));
    shape(p, lid, rgb("#c8cac5"), rgb("#2e302c"));
}

void emblemPlus(QPainter& p)
{
    shape(p,
          polygon({{3.5, 0.5},
                   {6.5, 0.5},
                   {6.5, 3.5},
                   {9.5, 3.5},
                   {9.5, 6.5},
                   {6.5, 6.5},
                   {6.5, 9.5},
                   {3.5, 9.5},
                   {3.5, 6.5},
                   {0.5, 6.5},
                   {0.5, 3.5},
                   {3.5, 3.5}}),
          vertical(0.5, 9.5, rgb("#9be050"), rgb("#4e9a06")), rgb("#2c5a02"));
}

void emblemMinus(QPainter& p)
{
    shape(p, rectPath(0.5, 3.5, 9.5, 6.5), vertical(3.5, 6.5, rgb("#ff7a7a"), rgb("#c00000")),
          rgb("#700000"));
}

// ---------------------------------------------------------------------------------------------
// The image list

void iconHelp(QPainter& p)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(8, 8), 7.0, 7.0);
    QRadialGradient g(6, 5, 9);
    g.setColorAt(0, rgb("#8ab8ec"));
    g.setColorAt(0.6, rgb("#3a74c0"));
    g.setColorAt(1, rgb("#1c4a8a"));
    shape(p, disc, g, rgb("#163a6e"));
    // the question mark: a hook and a dot
    QPainterPath hook;
    hook.moveTo(5.6, 6.0);
    hook.cubicTo(5.6, 3.6, 10.6, 3.5, 10.5, 6.1);
    hook.cubicTo(10.4, 7.7, 8.0, 7.7, 8.0, 9.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1.9, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(hook);
    p.fillRect(QRectF(7, 11, 2, 2), Qt::white);
}

void iconExit(QPainter& p)
{
    // the doorway, dark inside
    shape(p, rectPath(1.5, 1.5, 9.5, 14.5), rgb("#3a3226"), rgb("#5a3a10"));
    // the door, swung open towards the viewer
    shape(p, polygon({{1.5, 1.5}, {5.5, 3.0}, {5.5, 15.5}, {1.5, 14.5}}),
          vertical(1, 15, rgb("#d8a060"), rgb("#a06420")), rgb("#5a3a10"));
    pixels(p, 4, 8, 1, 2, rgb("#fce94f"));
    // the arrow going out through it
    shape(p,
          polygon({{6.5, 6.5}, {10.5, 6.5}, {10.5, 3.5}, {15.0, 8.0}, {10.5, 12.5}, {10.5, 9.5}, {6.5, 9.5}}),
          vertical(3.5, 12.5, rgb("#9be050"), rgb("#3f8a00")), rgb("#245200"));
}

void iconSettings(QPainter& p)
{
    QPainterPath gear = gearPath(8, 8, 7.4, 5.3, 8);
    QPainterPath hole;
    hole.addEllipse(QPointF(8, 8), 2.2, 2.2);
    gear = gear.subtracted(hole);
    QRadialGradient g(6, 5, 10);
    g.setColorAt(0, rgb("#f0f0ee"));
    g.setColorAt(1, rgb("#80837e"));
    shape(p, gear, g, rgb("#44463f"));
}

void iconBookClosed(QPainter& p)
{
    closedBook(p, rgb("#6c9de0"), rgb("#2a5ca8"), rgb("#173a70"));
}

void iconBookOpen(QPainter& p)
{
    // the cover underneath, then the two pages curving up to the spine
    shape(p, polygon({{0.5, 5.5}, {0.5, 13.5}, {7.0, 14.5}, {9.0, 14.5}, {15.5, 13.5}, {15.5, 5.5}}),
          rgb("#2a5ca8"), rgb("#173a70"));
    QPainterPath left;
    left.moveTo(1.5, 4.5);
    left.quadTo(5.0, 2.5, 8.0, 4.5);
    left.lineTo(8.0, 13.5);
    left.quadTo(5.0, 11.5, 1.5, 12.5);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(14.5, 4.5);
    right.quadTo(11.0, 2.5, 8.0, 4.5);
    right.lineTo(8.0, 13.5);
    right.quadTo(11.0, 11.5, 14.5, 12.5);
    right.closeSubpath();
    shape(p, left, horizontal(1, 8, rgb("#ffffff"), rgb("#e0ddd4")), rgb("#7a7468"));
    shape(p, right, horizontal(8, 15, rgb("#e0ddd4"), rgb("#ffffff")), rgb("#7a7468"));
    for (int y = 6; y <= 10; y += 2) {
        pixels(p, 3, y, 4, 1, rgb("#a8acb0"));
        pixels(p, 9, y, 4, 1, rgb("#a8acb0"));
    }
}

void iconBookTabs(QPainter& p)
{
    closedBook(p, rgb("#7ccc48"), rgb("#3c8a10"), rgb("#22520a"), 3);
    // bookmark ribbons standing out of the top
    const struct
    {
        int x;
        const char* colour;
        int top;
    } tabs[] = {{6, "#e02020", 0}, {8, "#f5c800", 1}, {10, "#3a74e0", 0}};
    for (const auto& tab : tabs) {
        const QColor c = rgb(tab.colour);
        pixels(p, tab.x, tab.top, 2, 5 - tab.top, c.darker(150));
        pixels(p, tab.x, tab.top + 1, 1, 4 - tab.top, c);
        pixels(p, tab.x, tab.top, 1, 1, c.lighter(120));
    }
}

void iconBookPencil(QPainter& p)
{
    closedBook(p, rgb("#c084d0"), rgb("#7a3c90"), rgb("#4a1c5a"));
    pencil(p, QPointF(6.0, 15.0), QPointF(15.4, 5.6), 3.4);
}

void iconHeart(QPainter& p)
{
    heart(p, QRectF(1.0, 2.0, 14.0, 12.5));
    p.setPen(QPen(rgb("#ffffff", 170), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 5.5), QPointF(4.5, 4.5));
}

// A calendar sheet with a coloured head and two rings over it.
void calendarSheet(QPainter& p, const QColor& head)
{
    shape(p, rectPath(1.5, 2.5, 14.5, 14.5), vertical(2, 15, rgb("#ffffff"), rgb("#e4e4e0")), rgb("#6a6a66"));
    shape(p, rectPath(1.5, 2.5, 14.5, 5.5), vertical(2.5, 5.5, head.lighter(130), head), head.darker(170));
    for (int x : {4, 11}) {
        pixels(p, x, 1, 1, 3, rgb("#55575a"));
        pixels(p, x + 1, 1, 1, 3, rgb("#b8babc"));
    }
}

void iconMonth(QPainter& p)
{
    calendarSheet(p, rgb("#3a74c0"));
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 5; ++col) {
            const bool mark = row == 2 && col == 3;
            pixels(p, 3 + col * 2, 7 + row * 2, 1, 1, mark ? rgb("#e02020") : rgb("#6a6e74"));
        }
}

void iconCalendar10(QPainter& p)
{
    calendarSheet(p, rgb("#e07a10"));
    digits(p, 5, 8, "10", rgb("#2e3436"));
}

void iconMagnifyPage(QPainter& p)
{
    page(p, 1, 0, 11, 14, 3);
    magnifier(p, QPointF(9.5, 9.5), 3.4, QPointF(14.6, 14.6), 2.4);
}

void iconFolder(QPainter& p)
{
    folder(p);
}

// The emblem is cut out of the folder with a one-pixel transparent margin, so that a yellow or grey
// emblem still stands apart from the yellow folder behind it.
void withEmblem(QPainter& p, void (*emblem)(QPainter&), int at = 7)
{
    folder(p);
    QImage mark = blank(16, 16);
    {
        QPainter e(&mark);
        begin(e);
        e.translate(at, at);
        emblem(e);
    }
    QImage margin = blank(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int alpha = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < 16 && ny < 16)
                        alpha = std::max(alpha, qAlpha(mark.pixel(nx, ny)));
                }
            margin.setPixel(x, y, qRgba(0, 0, 0, alpha));
        }
    p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    p.drawImage(0, 0, margin);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(0, 0, mark);
}

void iconPerson(QPainter& p)
{
    person(p, 1, 0, 14, 15.5);
}

void iconDay17(QPainter& p)
{
    // a tear-off day page: a red head bound at the top, the day below
    shape(p, rectPath(2.5, 2.5, 13.5, 14.5), vertical(2, 15, rgb("#ffffff"), rgb("#e4e4e0")), rgb("#6a6a66"));
    shape(p, rectPath(2.5, 1.5, 13.5, 5.5), vertical(1.5, 5.5, rgb("#ff6a6a"), rgb("#c41010")),
          rgb("#700000"));
    pixels(p, 4, 3, 8, 1, rgb("#ffffff", 150));
    digits(p, 5, 8, "17", rgb("#2e3436"));
}

// ---------------------------------------------------------------------------------------------
// Large pictures

QFont font(const QString& family, int pixelSize, bool bold, bool italic = false)
{
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// One book lying in the pile, seen on its spine.
void spine(QPainter& p, const QRectF& r, const QColor& colour, double angle)
{
    p.save();
    p.translate(r.center());
    p.rotate(angle);
    const QRectF s(-r.width() / 2, -r.height() / 2, r.width(), r.height());
    QLinearGradient g(0, s.top(), 0, s.bottom());
    g.setColorAt(0, colour.darker(130));
    g.setColorAt(0.3, colour.lighter(135));
    g.setColorAt(0.55, colour);
    g.setColorAt(1, colour.darker(175));
    QPainterPath body;
    body.addRoundedRect(s, 5, s.height() / 2.6);
    shape(p, body, g, colour.darker(230), 1.2);
    // gilt bands near both ends and a title plate in the middle
    const QColor gold = rgb("#e8c060");
    p.setPen(QPen(gold, 2));
    for (double x : {s.left() + 14, s.left() + 19, s.right() - 19, s.right() - 14})
        p.drawLine(QPointF(x, s.top() + 2.5), QPointF(x, s.bottom() - 2.5));
    const QRectF plate(-s.width() * 0.18, s.top() + s.height() * 0.28, s.width() * 0.36, s.height() * 0.44);
    QPainterPath plateShape;
    plateShape.addRoundedRect(plate, 2, 2);
    shape(p, plateShape, colour.darker(160), gold, 1);
    p.restore();
}

QImage splash()
{
    QImage img = blank(320, 320);
    QPainter p(&img);
    begin(p);
    // parchment ground with a quiet frame
    QLinearGradient ground(0, 0, 0, 320);
    ground.setColorAt(0, rgb("#fdf8ec"));
    ground.setColorAt(1, rgb("#f1e2c2"));
    p.fillRect(img.rect(), ground);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(rgb("#7a5a30"), 2));
    p.drawRect(QRectF(1, 1, 318, 318));
    p.setPen(QPen(rgb("#b89a68"), 1));
    p.drawRect(QRectF(6.5, 6.5, 307, 307));

    // the title
    const QFont title = font("DejaVu Serif", 54, true);
    p.setFont(title);
    const QRectF titleBox(0, 10, 320, 70);
    p.setPen(rgb("#d8c49a"));
    p.drawText(titleBox.translated(2, 2), Qt::AlignCenter, QString::fromUtf8("Лирвель"));
    p.setPen(rgb("#6a2414"));
    p.drawText(titleBox, Qt::AlignCenter, QString::fromUtf8("Лирвель"));
    // a small ornament under it
    p.setPen(QPen(rgb("#a07840"), 1.5));
    p.drawLine(QPointF(70, 86), QPointF(148, 86));
    p.drawLine(QPointF(172, 86), QPointF(250, 86));
    QPainterPath diamond = polygon({{160, 80}, {166, 86}, {160, 92}, {154, 86}});
    shape(p, diamond, rgb("#c89848"), rgb("#7a5a30"));

    // the pile's shadow, then the books from the bottom up
    QRadialGradient shade(160, 230, 120);
    shade.setColorAt(0, rgb("#5a4020", 90));
    shade.setColorAt(1, rgb("#5a4020", 0));
    p.save();
    p.translate(160, 230);
    p.scale(1, 0.09);
    p.translate(-160, -230);
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QPointF(160, 230), 120, 120);
    p.restore();
    const struct
    {
        double x, y, w, h, angle;
        const char* colour;
    } pile[] = {
        {52, 199, 216, 30, 0.0, "#7a1e1e"}, {66, 171, 190, 28, -1.2, "#1e3a6e"},
        {58, 147, 204, 24, 1.0, "#2e6a30"}, {78, 121, 168, 26, -2.0, "#8a5a1c"},
        {94, 100, 140, 22, 2.5, "#5a2a6a"},
    };
    for (const auto& book : pile)
        spine(p, QRectF(book.x, book.y, book.w, book.h), rgb(book.colour), book.angle);
    p.end();
    return img;
}

QImage noCover()
{
    QImage img(174, 250, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    begin(p);
    const QColor ink = rgb("#9a9a9a");
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(rgb("#d4d4d4"), 1));
    p.drawRoundedRect(QRectF(6.5, 6.5, 161, 237), 6, 6);
    p.setPen(QPen(rgb("#e6e6e6"), 1));
    p.drawRoundedRect(QRectF(10.5, 10.5, 153, 229), 4, 4);

    // a stylised closed book: cover, spine and the page edges
    p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QRectF cover(47, 46, 76, 100);
    p.drawPath(polygon({{cover.left() + 6, cover.bottom()},
                        {cover.right(), cover.bottom()},
                        {cover.right(), cover.top()},
                        {cover.left() + 6, cover.top()}}));
    QPainterPath back;
    back.moveTo(cover.left() + 6, cover.top());
    back.quadTo(cover.left(), cover.top(), cover.left(), cover.top() + 6);
    back.lineTo(cover.left(), cover.bottom() + 6);
    back.quadTo(cover.left(), cover.bottom() + 12, cover.left() + 6, cover.bottom() + 12);
    back.lineTo(cover.right(), cover.bottom() + 12);
    back.lineTo(cover.right(), cover.bottom());
    p.drawPath(back);
    p.drawLine(QPointF(cover.left() + 6, cover.top()), QPointF(cover.left() + 6, cover.bottom() + 6));
    p.setPen(QPen(ink, 1.2));
    for (double y : {cover.bottom() + 4.0, cover.bottom() + 7.5})
        p.drawLine(QPointF(cover.left() + 9, y), QPointF(cover.right() - 1, y));
    // a blank label on the cover, crossed out: there is no picture to show
    p.setPen(QPen(ink, 2));
    const QRectF label(cover.left() + 22, cover.top() + 22, 44, 30);
    p.drawRect(label);
    p.setPen(QPen(rgb("#d0d0d0"), 1.5));
    p.drawLine(label.topLeft() + QPointF(4, 4), label.bottomRight() - QPointF(4, 4));
    p.drawLine(label.topRight() + QPointF(-4, 4), label.bottomLeft() + QPointF(4, -4));

    p.setFont(font("DejaVu Sans", 17, true));
    p.setPen(rgb("#8a8a8a"));
    p.drawText(QRectF(0, 176, 174, 30), Qt::AlignCenter, QString::fromUtf8("Нет обложки"));
    p.end();
    return img;
}

// ---------------------------------------------------------------------------------------------

struct Icon
{
    QString path;
    std::function<void(QPainter&)> draw;
};

QImage drawIcon(const Icon& icon)
{
    QImage img = blank(16, 16);
    QPainter p(&img);
    begin(p);
    icon.draw(p);
    p.end();
    return img;
}

// All small icons, enlarged with nearest-neighbour scaling on light and on dark ground, with the real
// size beside them.
QImage contactSheet(const std::vector<QImage>& icons)
{
    const int zoom = 8, cell = 16 * zoom + 8, perRow = 6;
    const int rows = (static_cast<int>(icons.size()) + perRow - 1) / perRow;
    QImage sheet(perRow * cell + 8, rows * (cell * 2 + 24) + 8, QImage::Format_ARGB32);
    sheet.fill(rgb("#f4f4f4"));
    QPainter p(&sheet);
    p.setFont(font("DejaVu Sans", 11, false));
    for (int i = 0; i < static_cast<int>(icons.size()); ++i) {
        const int x = 8 + (i % perRow) * cell, y = 8 + (i / perRow) * (cell * 2 + 24);
        p.fillRect(QRect(x, y + cell, 16 * zoom, 16 * zoom), rgb("#404448"));
        const QImage big = icons[static_cast<size_t>(i)].scaled(16 * zoom, 16 * zoom);
        p.fillRect(QRect(x, y, 16 * zoom, 16 * zoom), Qt::white);
        p.drawImage(x, y, big);
        p.drawImage(x, y + cell, big);
        p.setPen(Qt::black);
        p.drawText(x, y + 2 * cell + 12, QString::number(i));
        p.fillRect(QRect(x + 30, y + 2 * cell, 16, 16), Qt::white);
        p.drawImage(x + 30, y + 2 * cell, icons[static_cast<size_t>(i)]);
        p.fillRect(QRect(x + 50, y + 2 * cell, 16, 16), rgb("#404448"));
        p.drawImage(x + 50, y + 2 * cell, icons[static_cast<size_t>(i)]);
    }
    p.end();
    return sheet;
}

bool save(const QImage& img, const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    if (!img.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool fontsPresent()
{
    for (const char* family : {"DejaVu Serif", "DejaVu Sans"}) {
        if (QFontInfo(QFont(QString::fromLatin1(family))).family() != QString::fromLatin1(family)) {
            std::fprintf(stderr, "font %s is missing (install fonts-dejavu-core)\n", family);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: make_artwork <images-dir> [--sheet <file.png>]\n");
        return 2;
    }
    if (!fontsPresent())
        return 1;
    const QString dir = args.at(1);
    QString sheetPath;
    const qsizetype sheetAt = args.indexOf(QStringLiteral("--sheet"));
    if (sheetAt > 0 && sheetAt + 1 < args.size())
        sheetPath = args.at(sheetAt + 1);

    const std::vector<void (*)(QPainter&)> list = {
        iconHelp,
        iconExit,
        iconSettings,
        iconBookClosed,
        iconBookOpen,
        iconBookTabs,
        iconBookPencil,
        iconHeart,
        iconMonth,
        iconCalendar10,
        iconMagnifyPage,
        iconFolder,
        [](QPainter& p) { withEmblem(p, emblemPencil); },
        [](QPainter& p) { withEmblem(p, emblemHeart); },
        [](QPainter& p) { withEmblem(p, emblemPerson); },
        iconPerson,
        [](QPainter& p) { withEmblem(p, emblemBell); },
        [](QPainter& p) { withEmblem(p, emblemMagnifier); },
        [](QPainter& p) { withEmblem(p, emblemStar); },
        [](QPainter& p) { withEmblem(p, emblemCanister); },
        iconDay17,
    };
    std::vector<Icon> icons;
    for (size_t i = 0; i < list.size(); ++i)
        icons.push_back({QStringLiteral("list/%1.png").arg(i, 2, 10, QLatin1Char('0')), list[i]});
    icons.push_back({QStringLiteral("folder_add.png"), [](QPainter& p) { withEmblem(p, emblemPlus, 6); }});
    icons.push_back(
        {QStringLiteral("folder_delete.png"), [](QPainter& p) { withEmblem(p, emblemMinus, 6); }});
    icons.push_back({QStringLiteral("open.png"), openFolder});

    bool ok = true;
    std::vector<QImage> drawn;
    for (const Icon& icon : icons) {
        drawn.push_back(drawIcon(icon));
        ok = save(drawn.back(), dir + QLatin1Char('/') + icon.path) && ok;
    }
    ok = save(splash(), dir + QStringLiteral("/splash.png")) && ok;
    ok = save(noCover(), dir + QStringLiteral("/nocover.png")) && ok;
    if (!sheetPath.isEmpty())
        ok = save(contactSheet(drawn), sheetPath) && ok;
    return ok ? 0 : 1;
}
