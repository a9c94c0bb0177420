// Generator of the program's icon: one set of shapes written as SVG (the scalable icon) and painted
// into the PNG sizes of the desktop's icon theme.
//
// Usage: make_icon ASSETS_DIR   writes ASSETS_DIR/desktop/icons/{scalable,48,128,256}/lumisto.{svg,png}
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cstdio>

namespace {

// The icon on a 256-unit canvas: a green tile (the skin's green), a cream mat, a dark frame band and
// a small landscape (sky, sun, two hills) in its window.
constexpr int kUnits = 256;
const QRectF kTile{16, 16, 224, 224};
constexpr qreal kTileRadius = 44;
const QRectF kBand{50, 58, 156, 140};
const QRectF kWindow{66, 74, 124, 108};
const QPointF kSun{156, 104};
constexpr qreal kSunRadius = 14;

const QColor kTileTop(150, 208, 96);
const QColor kTileBottom(92, 160, 44);
const QColor kBandColour(74, 52, 30);
const QColor kSky(170, 214, 244);
const QColor kSunColour(255, 214, 90);
const QColor kFarHill(84, 150, 70);
const QColor kNearHill(46, 112, 44);
const QColor kMat(246, 251, 240);

QPainterPath FarHill() {
  QPainterPath p;
  p.moveTo(66, 160);
  p.cubicTo(96, 124, 128, 122, 160, 150);
  p.lineTo(190, 170);
  p.lineTo(190, 182);
  p.lineTo(66, 182);
  p.closeSubpath();
  return p;
}

QPainterPath NearHill() {
  QPainterPath p;
  p.moveTo(66, 182);
  p.lineTo(66, 172);
  p.cubicTo(110, 150, 150, 150, 190, 164);
  p.lineTo(190, 182);
  p.closeSubpath();
  return p;
}

QString Hex(const QColor& c) { return c.name(QColor::HexRgb); }

QString SvgPath(const QPainterPath& path) {
  QString d;
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    if (e.isMoveTo()) {
      d += QStringLiteral("M%1 %2 ").arg(e.x).arg(e.y);
    } else if (e.isLineTo()) {
      d += QStringLiteral("L%1 %2 ").arg(e.x).arg(e.y);
    } else if (e.isCurveTo()) {
      const QPainterPath::Element c2 = path.elementAt(i + 1);
      const QPainterPath::Element to = path.elementAt(i + 2);
      d += QStringLiteral("C%1 %2 %3 %4 %5 %6 ").arg(e.x).arg(e.y).arg(c2.x).arg(c2.y).arg(to.x).arg(to.y);
      i += 2;
    }
  }
  return d + QStringLiteral("Z");
}

QString Svg() {
  QString s;
  QTextStream out(&s);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kUnits << "\" height=\"" << kUnits
      << "\" viewBox=\"0 0 " << kUnits << ' ' << kUnits << "\">\n"
      << "  <defs><linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
      << "<stop offset=\"0\" stop-color=\"" << Hex(kTileTop) << "\"/><stop offset=\"1\" stop-color=\""
      << Hex(kTileBottom) << "\"/></linearGradient></defs>\n"
      << "  <rect x=\"" << kTile.x() << "\" y=\"" << kTile.y() << "\" width=\"" << kTile.width()
      << "\" height=\"" << kTile.height() << "\" rx=\"" << kTileRadius << "\" fill=\"url(#tile)\"/>\n"
      << "  <rect x=\"" << kBand.x() - 10 << "\" y=\"" << kBand.y() - 10 << "\" width=\""
      << kBand.width() + 20 << "\" height=\"" << kBand.height() + 20 << "\" fill=\"" << Hex(kMat) << "\"/>\n"
      << "  <rect x=\"" << kBand.x() << "\" y=\"" << kBand.y() << "\" width=\"" << kBand.width()
      << "\" height=\"" << kBand.height() << "\" fill=\"" << Hex(kBandColour) << "\"/>\n"
      << "  <rect x=\"" << kWindow.x() << "\" y=\"" << kWindow.y() << "\" width=\"" << kWindow.width()
      << "\" height=\"" << kWindow.height() << "\" fill=\"" << Hex(kSky) << "\"/>\n"
      << "  <circle cx=\"" << kSun.x() << "\" cy=\"" << kSun.y() << "\" r=\"" << kSunRadius << "\" fill=\""
      << Hex(kSunColour) << "\"/>\n"
      << "  <path d=\"" << SvgPath(FarHill()) << "\" fill=\"" << Hex(kFarHill) << "\"/>\n"
      << "  <path d=\"" << SvgPath(NearHill()) << "\" fill=\"" << Hex(kNearHill) << "\"/>\n"
      << "</svg>\n";
  return s;
}

QImage Png(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(qreal(size) / kUnits, qreal(size) / kUnits);
  p.setPen(Qt::NoPen);
  QLinearGradient tile(0, kTile.top(), 0, kTile.bottom());
  tile.setColorAt(0, kTileTop);
  tile.setColorAt(1, kTileBottom);
  p.setBrush(tile);
  p.drawRoundedRect(kTile, kTileRadius, kTileRadius);
  p.fillRect(kBand.adjusted(-10, -10, 10, 10), kMat);
  p.fillRect(kBand, kBandColour);
  p.fillRect(kWindow, kSky);
  p.setBrush(kSunColour);
  p.drawEllipse(kSun, kSunRadius, kSunRadius);
  p.fillPath(FarHill(), kFarHill);
  p.fillPath(NearHill(), kNearHill);
  return image;
}

bool WriteText(const QString& path, const QString& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon ASSETS_DIR\n");
    return 2;
  }
  const QDir icons(QString::fromLocal8Bit(argv[1]) + QStringLiteral("/desktop/icons"));
  bool ok = QDir().mkpath(icons.filePath(QStringLiteral("scalable"))) &&
            WriteText(icons.filePath(QStringLiteral("scalable/lumisto.svg")), Svg());
  for (int size : {48, 128, 256}) {
    const QString folder = icons.filePath(QString::number(size));
    ok = ok && QDir().mkpath(folder) && Png(size).save(folder + QStringLiteral("/lumisto.png"));
  }
  if (!ok) {
    std::fprintf(stderr, "make_icon: cannot write under %s\n", qPrintable(icons.path()));
    return 1;
  }
  return 0;
}
