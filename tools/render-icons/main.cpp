// Build tool: renders the application icon's SVG into the PNG sizes, an ICO and an ICNS.
//   render-icons <icon.svg> <output folder> <base name> <size>...
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

namespace {

QImage render(QSvgRenderer& renderer, int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  renderer.render(&painter, QRectF(0, 0, size, size));
  return image;
}

bool write(const QImage& image, const QString& path, const char* format) {
  QImageWriter writer(path, format);
  if (!writer.write(image)) {
    QTextStream(stderr) << "render-icons: cannot write " << path << ": " << writer.errorString() << '\n';
    return false;
  }
  return true;
}

} // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const auto args = QCoreApplication::arguments();
  if (args.size() < 5) {
    QTextStream(stderr) << "usage: render-icons <icon.svg> <output folder> <base name> <size>...\n";
    return 2;
  }
  QSvgRenderer renderer(args.at(1));
  if (!renderer.isValid()) {
    QTextStream(stderr) << "render-icons: not a valid SVG: " << args.at(1) << '\n';
    return 1;
  }
  const QDir out(args.at(2));
  const auto& base = args.at(3);
  bool ok = QDir().mkpath(out.path());
  for (const auto& size : args.mid(4)) {
    ok = ok && write(render(renderer, size.toInt()),
                     out.filePath(base + QLatin1Char('_') + size + QStringLiteral(".png")), "png");
  }
  ok = ok && write(render(renderer, 256), out.filePath(base + QStringLiteral(".ico")), "ico");
  ok = ok && write(render(renderer, 1024), out.filePath(base + QStringLiteral(".icns")), "icns");
  return ok ? 0 : 1;
}
