// legendhost: a host application for the legend library. It opens a legend
// file (the bundled sample by default) in a pad and shows what the pad tells
// its owner and project, and runs the legend editor from its 文件 menu. Every
// owner event, project call and editor result is also printed on standard
// output, one line each, so a session can be followed by a script.
//
//   legendhost [FILE.CLN] [--click X,Y]... [--screenshot FILE.png]
//
// --click sends a left click to the pad at X,Y (pad window coordinates) once
// the windows are up; --screenshot places the pad beside the main window,
// renders both into one image and exits. A --screenshot run waits for no one:
// every message box is printed ("MESSAGE text"), drawn into the image beside
// the windows, and closed with its safe answer.

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include "components/codec/ui_language.h"
#include "host_window.h"
#include "message_answerer.h"

namespace {

constexpr int kWindowGap = 16;
// Long enough for both windows to be exposed and painted on any platform
// plugin; the demo only waits, nothing depends on the exact figure.
constexpr int kSettleMilliseconds = 400;

QString defaultSample() {
  const QString appDir = QCoreApplication::applicationDirPath();
  for (const QString& candidate :
       {appDir + QStringLiteral("/../share/legend/samples/demo.CLN"), appDir + QStringLiteral("/demo.CLN"),
        QStringLiteral(LEGENDHOST_SAMPLES_DIR "/demo.CLN")}) {
    if (QFileInfo::exists(candidate)) return QDir::cleanPath(candidate);
  }
  return QStringLiteral(LEGENDHOST_SAMPLES_DIR "/demo.CLN");
}

void settle() {
  QEventLoop loop;
  QTimer::singleShot(kSettleMilliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// A click as the window system would deliver it, to the widget under the
// point, so the pad sees exactly what a user's click gives it.
void clickPad(QWidget* pad, QPoint at) {
  QWidget* target = pad->childAt(at);
  if (!target) target = pad;
  const QPointF local = target->mapFrom(pad, at);
  const QPointF global = pad->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

/// The main window, the pad and the message boxes answered, left to right.
bool saveSideBySide(QWidget& main, QWidget* pad, const std::vector<QPixmap>& boxes, const QString& path) {
  std::vector<QPixmap> pictures{main.grab()};
  if (pad) pictures.push_back(pad->grab());
  pictures.insert(pictures.end(), boxes.begin(), boxes.end());
  int width = 0;
  int height = 0;
  for (const QPixmap& picture : pictures) {
    width += (width > 0 ? kWindowGap : 0) + picture.width();
    height = std::max(height, picture.height());
  }
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(QColor(0x5a, 0x6b, 0x7c));
  QPainter painter(&image);
  int x = 0;
  for (const QPixmap& picture : pictures) {
    painter.drawPixmap(x, 0, picture);
    x += picture.width() + kWindowGap;
  }
  painter.end();
  return image.save(path, "PNG");
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("legendhost"));
  // The host's application is ours: Qt's own texts follow our language too.
  legend::installTranslations(legend::ApplicationOwner::Library);

  QCommandLineParser parser;
  parser.setApplicationDescription(legend::tr("在图例板中打开一个图例文件，并显示图例板报告的内容。"));
  parser.addHelpOption();
  parser.addPositionalArgument(QStringLiteral("file"), legend::tr("图例文件 (.CLN)；省略时打开随附的示例文件"));
  const QCommandLineOption screenshot(QStringLiteral("screenshot"), legend::tr("把宿主和图例板画进 FILE.png 后退出"),
                                      QStringLiteral("FILE.png"));
  const QCommandLineOption click(QStringLiteral("click"), legend::tr("在图例板的 X,Y 处单击 (可重复)"),
                                 QStringLiteral("X,Y"));
  parser.addOption(screenshot);
  parser.addOption(click);
  parser.process(app);

  std::vector<QPoint> clicks;
  for (const QString& value : parser.values(click)) {
    const QStringList parts = value.split(QLatin1Char(','));
    bool okX = false, okY = false;
    if (parts.size() == 2) clicks.emplace_back(parts[0].toInt(&okX), parts[1].toInt(&okY));
    if (!okX || !okY) {
      std::fprintf(stderr, "legendhost: %s\n", qPrintable(legend::tr("--click 需要 X,Y，而不是 '%1'").arg(value)));
      return 2;
    }
  }

  const QString file = parser.positionalArguments().value(0, defaultSample());

  // Before the pad opens: its first message may come while it loads.
  std::optional<MessageAnswerer> answerer;
  if (parser.isSet(screenshot)) answerer.emplace();

  HostWindow window;
  window.resize(600, 720);
  window.move(24, 24);
  window.show();
  window.openFile(file);
  if (QWidget* pad = window.padWindow()) pad->move(window.frameGeometry().right() + kWindowGap, window.y());

  const bool scripted = parser.isSet(screenshot) || !clicks.empty();
  if (scripted) {
    settle();
    for (const QPoint at : clicks) {
      if (QWidget* pad = window.padWindow()) clickPad(pad, at);
      QCoreApplication::processEvents();
    }
    settle();
  }
  if (parser.isSet(screenshot)) {
    const QString out = parser.value(screenshot);
    if (!saveSideBySide(window, window.padWindow(), answerer->pictures(), out)) {
      std::fprintf(stderr, "legendhost: %s\n", qPrintable(legend::tr("无法写入 %1").arg(out)));
      return 1;
    }
    window.close();
    return 0;
  }
  return QApplication::exec();
}
