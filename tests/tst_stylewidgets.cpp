#include <style/Style.h>
#include <style/widgets/AboutDialog.h>
#include <style/widgets/Expander.h>
#include <style/widgets/IconWidget.h>
#include <style/widgets/Label.h>
#include <style/widgets/LineEdit.h>
#include <style/widgets/LoadingSpinner.h>
#include <style/widgets/StatusBadgeWidget.h>
#include <style/widgets/Switch.h>

#include <QApplication>
#include <QLabel>
#include <QLineF>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>

using namespace arvexhub::style;

Q_DECLARE_METATYPE(arvexhub::style::TextRole)
Q_DECLARE_METATYPE(arvexhub::style::StatusBadge)

namespace {

/// Fusion with a chosen animation duration, to make one widget's animations instant or slow.
class AnimationStyle final : public QProxyStyle {
public:
  explicit AnimationStyle(int duration)
      : QProxyStyle(QStringLiteral("Fusion"))
      , duration_(duration) {}

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_Widget_Animation_Duration) {
      return duration_;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }

private:
  int duration_;
};

/// A content widget whose preferred size the test sets.
class SizedWidget final : public QWidget {
public:
  explicit SizedWidget(const QSize& hint, QWidget* parent = nullptr)
      : QWidget(parent)
      , hint_(hint) {}

  QSize sizeHint() const override {
    return hint_;
  }

  void setHint(const QSize& hint) {
    hint_ = hint;
    updateGeometry();
  }

private:
  QSize hint_;
};

QPixmap solidPixmap(const QColor& color, int side = 16) {
  QPixmap pixmap(side, side);
  pixmap.fill(color);
  return pixmap;
}

bool sameRgb(const QColor& a, const QColor& b, int tolerance = 2) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

/// The opaque pixels of the image matching the colour.
QVector<QPoint> pixelsOf(const QImage& image, const QColor& color, int tolerance = 2) {
  QVector<QPoint> points;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (sameRgb(image.pixelColor(x, y), color, tolerance) && image.pixelColor(x, y).alpha() == 255) {
        points.append(QPoint(x, y));
      }
    }
  }
  return points;
}

QRect boundsOf(const QVector<QPoint>& points) {
  QRect bounds;
  for (const auto& point : points) {
    bounds |= QRect(point, QSize(1, 1));
  }
  return bounds;
}

QFont expectedFont(TextRole role) {
  return Style::of()->fontForTextRole(role);
}

int extentOf(const QWidget* widget, Qt::Orientation orientation) {
  return orientation == Qt::Vertical ? widget->height() : widget->width();
}

} // namespace

class TestStyleWidgets : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();

  void switchToggles_data();
  void switchToggles();
  void switchPaintsItsState();

  void labelRoleSetsFont_data();
  void labelRoleSetsFont();
  void labelFollowsTheme();
  void labelShowsMarkupAsText();

  void statusBadgePaintsItsColor_data();
  void statusBadgePaintsItsColor();

  void iconWidgetSize_data();
  void iconWidgetSize();
  void iconWidgetPaintsMode_data();
  void iconWidgetPaintsMode();

  void lineEditLeavesRoomForIcon_data();
  void lineEditLeavesRoomForIcon();

  void spinnerPaintsOnlyWhileSpinning();

  void expanderSignals_data();
  void expanderSignals();
  void expanderSizes_data();
  void expanderSizes();
  void expanderReversesMidway();
  void expanderFollowsContentHint();
  void expanderReplacesContent();

  void aboutDialogShowsFilledFields();
  void aboutDialogCloses();

private:
  Style* style_{nullptr};
};

void TestStyleWidgets::initTestCase() {
  style_ = new Style();
  style_->setAnimationsEnabled(false);
  QApplication::setStyle(style_);
  QVERIFY(Style::of() == style_);
}

void TestStyleWidgets::switchToggles_data() {
  QTest::addColumn<bool>("byKeyboard");
  QTest::addColumn<bool>("enabled");

  QTest::newRow("mouse click") << false << true;
  QTest::newRow("space key") << true << true;
  QTest::newRow("mouse click, disabled") << false << false;
  QTest::newRow("space key, disabled") << true << false;
}

void TestStyleWidgets::switchToggles() {
  QFETCH(bool, byKeyboard);
  QFETCH(bool, enabled);

  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* toggle = new Switch(QStringLiteral("Wi-Fi"), &window);
  layout->addWidget(toggle);
  toggle->setEnabled(enabled);
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  if (enabled) {
    toggle->setFocus();
    QVERIFY(toggle->hasFocus());
  }

  QSignalSpy toggled(toggle, &Switch::toggled);
  QSignalSpy clicked(toggle, &Switch::clicked);
  const auto interact = [&] {
    if (byKeyboard) {
      QTest::keyClick(toggle, Qt::Key_Space);
    } else {
      QTest::mouseClick(toggle, Qt::LeftButton, {}, toggle->rect().center());
    }
  };

  interact();
  QCOMPARE(toggle->isChecked(), enabled);
  QCOMPARE(toggled.count(), enabled ? 1 : 0);
  QCOMPARE(clicked.count(), enabled ? 1 : 0);
  if (enabled) {
    QCOMPARE(toggled.last().at(0).toBool(), true);
    QCOMPARE(clicked.last().at(0).toBool(), true);
  }

  interact();
  QCOMPARE(toggle->isChecked(), false);
  QCOMPARE(toggled.count(), enabled ? 2 : 0);
  QCOMPARE(clicked.count(), enabled ? 2 : 0);
  if (enabled) {
    QCOMPARE(toggled.last().at(0).toBool(), false);
  }
}

void TestStyleWidgets::switchPaintsItsState() {
  Switch toggle;
  toggle.resize(toggle.sizeHint());
  const auto& theme = Style::themeOf(&toggle);

  const auto offImage = toggle.grab().toImage();
  QVERIFY(pixelsOf(offImage, theme.primaryColor).isEmpty());
  QVERIFY(!pixelsOf(offImage, theme.neutralColor).isEmpty());

  toggle.setChecked(true);
  const auto onImage = toggle.grab().toImage();
  QVERIFY(!pixelsOf(onImage, theme.primaryColor).isEmpty());
  QVERIFY(pixelsOf(onImage, theme.neutralColor).isEmpty());
  // The knob moved to the other side.
  const auto offKnob = boundsOf(pixelsOf(offImage, theme.secondaryColor));
  const auto onKnob = boundsOf(pixelsOf(onImage, theme.primaryColorForeground));
  QVERIFY(!offKnob.isEmpty());
  QVERIFY(!onKnob.isEmpty());
  QVERIFY2(onKnob.left() > offKnob.right(),
           qPrintable(QStringLiteral("%1 vs %2").arg(onKnob.left()).arg(offKnob.right())));
}

void TestStyleWidgets::labelRoleSetsFont_data() {
  QTest::addColumn<TextRole>("role");

  QTest::newRow("caption") << TextRole::Caption;
  QTest::newRow("default") << TextRole::Default;
  QTest::newRow("h1") << TextRole::H1;
  QTest::newRow("h3") << TextRole::H3;
  QTest::newRow("h5") << TextRole::H5;
}

void TestStyleWidgets::labelRoleSetsFont() {
  QFETCH(TextRole, role);

  Label constructed(QStringLiteral("Text"), role);
  QCOMPARE(constructed.role(), role);
  QCOMPARE(constructed.font(), expectedFont(role));
  QCOMPARE(constructed.palette().color(QPalette::WindowText),
           Style::of()->paletteForTextRole(role).color(QPalette::WindowText));

  // Changing the role later gives the same result as constructing with it.
  Label changed(QStringLiteral("Text"));
  QCOMPARE(changed.role(), TextRole::Default);
  changed.setRole(role);
  QCOMPARE(changed.role(), role);
  QCOMPARE(changed.font(), expectedFont(role));
  QCOMPARE(changed.palette().color(QPalette::WindowText), constructed.palette().color(QPalette::WindowText));

  changed.setRole(TextRole::Default);
  QCOMPARE(changed.font(), expectedFont(TextRole::Default));
}

void TestStyleWidgets::labelFollowsTheme() {
  const auto original = style_->theme();
  Label title(QStringLiteral("Title"), TextRole::H3);
  const auto before = title.font().pixelSize();

  auto bigger = original;
  bigger.fontH3.setPixelSize(before + 10);
  style_->setTheme(bigger);
  const auto after = title.font().pixelSize();
  style_->setTheme(original);

  QCOMPARE(after, before + 10);
  QCOMPARE(title.font().pixelSize(), before);
}

void TestStyleWidgets::labelShowsMarkupAsText() {
  const auto markup = QStringLiteral("<b>bold</b>");
  Label label(markup);
  Label plain(QStringLiteral("bold"));
  QCOMPARE(label.textFormat(), Qt::PlainText);
  QCOMPARE(label.text(), markup);
  // Shown as typed, the tags take room of their own.
  QVERIFY(label.sizeHint().width() > plain.sizeHint().width());
}

void TestStyleWidgets::statusBadgePaintsItsColor_data() {
  QTest::addColumn<StatusBadge>("badge");
  QTest::addColumn<bool>("small");
  QTest::addColumn<QColor>("color");

  const auto& theme = Style::themeOf();
  QTest::newRow("info") << StatusBadge::Info << false << theme.statusColorInfo;
  QTest::newRow("warning") << StatusBadge::Warning << false << theme.statusColorWarning;
  QTest::newRow("error") << StatusBadge::Error << false << theme.statusColorError;
  QTest::newRow("success") << StatusBadge::Success << false << theme.statusColorSuccess;
  QTest::newRow("small error") << StatusBadge::Error << true << theme.statusColorError;
  QTest::newRow("small success") << StatusBadge::Success << true << theme.statusColorSuccess;
}

void TestStyleWidgets::statusBadgePaintsItsColor() {
  QFETCH(StatusBadge, badge);
  QFETCH(bool, small);
  QFETCH(QColor, color);

  // Start from another badge so that setBadge has to repaint with the new one.
  StatusBadgeWidget widget(badge == StatusBadge::Info ? StatusBadge::Error : StatusBadge::Info);
  QCOMPARE(widget.badgeSize(), StatusBadgeWidget::StatusBadgeSize::Medium);
  widget.setBadge(badge);
  QCOMPARE(widget.badge(), badge);
  if (small) {
    widget.setBadgeSize(StatusBadgeWidget::StatusBadgeSize::Small);
  }
  const auto side = small ? 16 : 24;
  QCOMPARE(widget.size(), QSize(side, side));
  QCOMPARE(widget.minimumSize(), widget.maximumSize());

  const auto image = widget.grab().toImage();
  const QPointF centre(side / 2., side / 2.);
  const auto insideCircle = [&](const QPoint& point) {
    return QLineF(centre, QPointF(point) + QPointF(.5, .5)).length() < side / 2. - 1.;
  };
  // Just inside the top of the circle, clear of the icon.
  QVERIFY2(sameRgb(image.pixelColor(side / 2, 2), color), qPrintable(image.pixelColor(side / 2, 2).name()));
  // Outside the circle nothing is painted.
  QCOMPARE(image.pixelColor(0, 0).alpha() == 255 && sameRgb(image.pixelColor(0, 0), color), false);
  // The icon is drawn inside the badge in the (white) foreground colour; its thin strokes are
  // antialiased, so look for pixels clearly lighter than the badge rather than for pure white.
  auto lighter = 0;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const auto pixel = image.pixelColor(x, y);
      const auto towardsWhite = pixel.red() >= color.red() - 2 && pixel.green() >= color.green() - 2 &&
                                pixel.blue() >= color.blue() - 2;
      const auto distance =
          pixel.red() + pixel.green() + pixel.blue() - color.red() - color.green() - color.blue();
      lighter += insideCircle(QPoint(x, y)) && towardsWhite && distance > 60 ? 1 : 0;
    }
  }
  QVERIFY2(lighter >= 4, qPrintable(QString::number(lighter)));
}

void TestStyleWidgets::iconWidgetSize_data() {
  QTest::addColumn<QSize>("iconSize");

  QTest::newRow("small") << QSize(12, 12);
  QTest::newRow("default") << QSize(16, 16);
  QTest::newRow("large") << QSize(64, 64);
  QTest::newRow("wide") << QSize(40, 20);
}

void TestStyleWidgets::iconWidgetSize() {
  QFETCH(QSize, iconSize);

  IconWidget widget(QIcon(solidPixmap(Qt::red, 64)));
  QCOMPARE(widget.iconSize(), QSize(16, 16));
  QCOMPARE(widget.size(), QSize(16, 16));
  widget.setIconSize(iconSize);
  QCOMPARE(widget.iconSize(), iconSize);
  QCOMPARE(widget.size(), iconSize);
  QCOMPARE(widget.sizeHint(), iconSize);
  QCOMPARE(widget.minimumSize(), iconSize);
  QCOMPARE(widget.maximumSize(), iconSize);

  IconWidget constructed(QIcon(), iconSize);
  QCOMPARE(constructed.size(), iconSize);
}

void TestStyleWidgets::iconWidgetPaintsMode_data() {
  QTest::addColumn<bool>("enabled");
  QTest::addColumn<QColor>("expected");

  QTest::newRow("enabled") << true << QColor(Qt::red);
  QTest::newRow("disabled") << false << QColor(Qt::blue);
}

void TestStyleWidgets::iconWidgetPaintsMode() {
  QFETCH(bool, enabled);
  QFETCH(QColor, expected);

  QIcon icon;
  icon.addPixmap(solidPixmap(Qt::red), QIcon::Normal);
  icon.addPixmap(solidPixmap(Qt::blue), QIcon::Disabled);
  IconWidget widget;
  widget.setIcon(icon);
  QCOMPARE(widget.icon().cacheKey(), icon.cacheKey());
  widget.setEnabled(enabled);

  const auto image = widget.grab().toImage();
  QCOMPARE(image.pixelColor(8, 8).rgb(), expected.rgb());
  QCOMPARE(image.pixelColor(0, 0).rgb(), expected.rgb());
  QCOMPARE(image.pixelColor(15, 15).rgb(), expected.rgb());
}

void TestStyleWidgets::lineEditLeavesRoomForIcon_data() {
  QTest::addColumn<Qt::LayoutDirection>("direction");

  QTest::newRow("left to right") << Qt::LeftToRight;
  QTest::newRow("right to left") << Qt::RightToLeft;
}

void TestStyleWidgets::lineEditLeavesRoomForIcon() {
  QFETCH(Qt::LayoutDirection, direction);
  const auto cursorRect = [](const QLineEdit& edit) {
    return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect();
  };

  LineEdit edit;
  edit.setLayoutDirection(direction);
  // A word in the script of the direction, with the cursor where typing starts.
  edit.setText(direction == Qt::LeftToRight ? QStringLiteral("Arvex") : QStringLiteral("\u05D0\u05E8\u05D1"));
  edit.setCursorPosition(0);
  edit.resize(200, edit.sizeHint().height());
  edit.show();
  QVERIFY(QTest::qWaitForWindowExposed(&edit));
  const auto cursorWithoutIcon = cursorRect(edit);
  QVERIFY(edit.icon().isNull());

  edit.setIcon(QIcon(solidPixmap(Qt::red)));
  QVERIFY(!edit.icon().isNull());
  // Painting is what scrolls the text into its new place, so look at the caret after it.
  const auto icon = boundsOf(pixelsOf(edit.grab().toImage(), Qt::red));
  // The reported rectangle is wider than the caret line itself; its centre is the caret.
  const auto cursor = cursorRect(edit).center().x();
  QCOMPARE(icon.size(), QSize(16, 16));
  // Vertically centred, give or take the odd pixel.
  QVERIFY(std::abs(icon.center().y() - edit.rect().center().y()) <= 1);
  const auto message = QStringLiteral("caret %1 (%4 without icon), icon %2..%3")
                           .arg(cursor)
                           .arg(icon.left())
                           .arg(icon.right())
                           .arg(cursorWithoutIcon.center().x());
  if (direction == Qt::LeftToRight) {
    QVERIFY2(cursor > icon.right(), qPrintable(message));
    QVERIFY2(cursor > cursorWithoutIcon.center().x(), qPrintable(message));
  } else {
    QVERIFY2(cursor < icon.left(), qPrintable(message));
    QVERIFY2(cursor < cursorWithoutIcon.center().x(), qPrintable(message));
  }

  // Removing the icon gives the room back.
  edit.setIcon(QIcon());
  edit.grab();
  QCOMPARE(cursorRect(edit), cursorWithoutIcon);
}

void TestStyleWidgets::spinnerPaintsOnlyWhileSpinning() {
  LoadingSpinner spinner;
  QCOMPARE(spinner.sizeHint(), QSize(16, 16));
  QVERIFY(!spinner.spinning());
  spinner.resize(32, 32);
  spinner.show();
  QVERIFY(QTest::qWaitForWindowExposed(&spinner));
  const auto primary = Style::themeOf(&spinner).primaryColor;
  QVERIFY(pixelsOf(spinner.grab().toImage(), primary).isEmpty());

  spinner.setSpinning(true);
  QVERIFY(spinner.spinning());
  const auto first = spinner.grab().toImage();
  QVERIFY(!pixelsOf(first, primary).isEmpty());
  // It turns by itself.
  QTRY_VERIFY(spinner.grab().toImage() != first);

  spinner.setSpinning(false);
  QVERIFY(pixelsOf(spinner.grab().toImage(), primary).isEmpty());
}

void TestStyleWidgets::expanderSignals_data() {
  QTest::addColumn<QVector<bool>>("sequence");
  QTest::addColumn<QVector<bool>>("emitted");

  QTest::newRow("expand") << QVector<bool>{true} << QVector<bool>{true};
  QTest::newRow("expand twice") << QVector<bool>{true, true} << QVector<bool>{true};
  QTest::newRow("collapse when collapsed") << QVector<bool>{false} << QVector<bool>{};
  QTest::newRow("expand and collapse") << QVector<bool>{true, false} << QVector<bool>{true, false};
  QTest::newRow("repeats in between")
      << QVector<bool>{true, true, false, false, true} << QVector<bool>{true, false, true};
}

void TestStyleWidgets::expanderSignals() {
  QFETCH(QVector<bool>, sequence);
  QFETCH(QVector<bool>, emitted);

  Expander expander;
  expander.setContent(new SizedWidget(QSize(100, 40)));
  QVERIFY(!expander.expanded());
  QSignalSpy spy(&expander, &Expander::expandedChanged);
  for (const auto value : sequence) {
    expander.setExpanded(value);
    QCOMPARE(expander.expanded(), value);
  }
  QCOMPARE(spy.count(), emitted.size());
  for (int i = 0; i < emitted.size(); ++i) {
    QCOMPARE(spy.at(i).at(0).toBool(), emitted.at(i));
  }
}

void TestStyleWidgets::expanderSizes_data() {
  QTest::addColumn<Qt::Orientation>("orientation");
  QTest::addColumn<int>("duration");

  QTest::newRow("vertical, instant") << Qt::Vertical << 0;
  QTest::newRow("vertical, animated") << Qt::Vertical << 150;
  QTest::newRow("horizontal, instant") << Qt::Horizontal << 0;
  QTest::newRow("horizontal, animated") << Qt::Horizontal << 150;
}

void TestStyleWidgets::expanderSizes() {
  QFETCH(Qt::Orientation, orientation);
  QFETCH(int, duration);
  const QSize hint(90, 50);

  QWidget window;
  auto* layout = orientation == Qt::Vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(&window))
                                             : new QHBoxLayout(&window);
  auto* expander = new Expander(&window);
  AnimationStyle animationStyle(duration);
  expander->setStyle(&animationStyle);
  expander->setOrientation(orientation);
  QCOMPARE(expander->orientation(), orientation);
  auto* content = new SizedWidget(hint);
  expander->setContent(content);
  QCOMPARE(content->parentWidget(), expander);
  layout->addWidget(expander);
  layout->addStretch();
  window.resize(300, 300);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  const auto target = orientation == Qt::Vertical ? hint.height() : hint.width();
  QCOMPARE(extentOf(expander, orientation), 0);
  QVERIFY(!content->isVisible());

  expander->setExpanded(true);
  QVERIFY(content->isVisible());
  if (duration == 0) {
    const auto vertical = orientation == Qt::Vertical;
    QCOMPARE(vertical ? expander->minimumHeight() : expander->minimumWidth(), target);
    QCOMPARE(vertical ? expander->maximumHeight() : expander->maximumWidth(), target);
  } else {
    QVERIFY(extentOf(expander, orientation) < target);
  }
  QTRY_COMPARE(extentOf(expander, orientation), target);
  // The content keeps its natural size rather than being squeezed.
  QCOMPARE(extentOf(content, orientation), target);

  expander->setExpanded(false);
  QTRY_COMPARE(extentOf(expander, orientation), 0);
  QTRY_VERIFY(!content->isVisible());
}

void TestStyleWidgets::expanderReversesMidway() {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* expander = new Expander(&window);
  AnimationStyle slow(2000);
  expander->setStyle(&slow);
  auto* content = new SizedWidget(QSize(80, 200));
  expander->setContent(content);
  layout->addWidget(expander);
  layout->addStretch();
  window.resize(300, 400);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  expander->setExpanded(true);
  QTRY_VERIFY(expander->height() > 0);
  QVERIFY(expander->height() < 200);
  const auto reachedHeight = expander->height();
  expander->setExpanded(false);
  // It turns back from where it was, without jumping open or shut.
  QCOMPARE(expander->height(), reachedHeight);
  QTRY_COMPARE_WITH_TIMEOUT(expander->height(), 0, 5000);
  QTRY_VERIFY(!content->isVisible());
  QVERIFY(!expander->expanded());

  // And back again, all the way this time.
  expander->setExpanded(true);
  QTRY_COMPARE_WITH_TIMEOUT(expander->height(), 200, 5000);
  QVERIFY(content->isVisible());
}

void TestStyleWidgets::expanderFollowsContentHint() {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* expander = new Expander(&window);
  auto* content = new SizedWidget(QSize(80, 40));
  expander->setContent(content);
  expander->setExpanded(true);
  layout->addWidget(expander);
  layout->addStretch();
  window.resize(300, 400);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QTRY_COMPARE(expander->height(), 40);

  content->setHint(QSize(80, 120));
  QTRY_COMPARE(expander->height(), 120);
  content->setHint(QSize(80, 30));
  QTRY_COMPARE(expander->height(), 30);

  // A collapsed expander stays closed whatever its content wants.
  expander->setExpanded(false);
  QTRY_COMPARE(expander->height(), 0);
  content->setHint(QSize(80, 90));
  QTest::qWait(50);
  QCOMPARE(expander->height(), 0);
  expander->setExpanded(true);
  QTRY_COMPARE(expander->height(), 90);
}

void TestStyleWidgets::expanderReplacesContent() {
  Expander expander;
  QPointer<QWidget> first = new SizedWidget(QSize(10, 30));
  expander.setContent(first);
  expander.setExpanded(true);
  QCOMPARE(expander.content(), first.data());
  QCOMPARE(expander.maximumHeight(), 30);

  auto* second = new SizedWidget(QSize(10, 70));
  expander.setContent(second);
  QVERIFY(first.isNull());
  QCOMPARE(expander.content(), second);
  QCOMPARE(second->parentWidget(), &expander);
  QCOMPARE(expander.maximumHeight(), 70);

  // Content deleted from outside leaves nothing to show.
  delete second;
  QCOMPARE(expander.content(), nullptr);
  QTRY_COMPARE(expander.maximumHeight(), 0);
}

void TestStyleWidgets::aboutDialogShowsFilledFields() {
  AboutDialog dialog;
  dialog.setApplicationName(QStringLiteral("Arvex Hub"));
  dialog.setVersion(QStringLiteral("1.2.3"));
  dialog.setDescription(QStringLiteral("<i>A launcher</i>"));
  dialog.setCopyright(QStringLiteral("© Arvex Games"));
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));

  QStringList shown;
  for (const auto* label : dialog.findChildren<QLabel*>()) {
    if (label->isVisible()) {
      shown.append(label->text());
      QCOMPARE(label->textFormat(), Qt::PlainText);
    }
  }
  shown.sort();
  QCOMPARE(shown, (QStringList{QStringLiteral("1.2.3"), QStringLiteral("<i>A launcher</i>"),
                               QStringLiteral("Arvex Hub"), QStringLiteral("© Arvex Games")}));
  QVERIFY(dialog.windowTitle().contains(QStringLiteral("Arvex Hub")));
  QCOMPARE(dialog.width(), 400);

  const auto visibleButtonTexts = [&dialog] {
    QStringList texts;
    for (const auto* button : dialog.findChildren<QPushButton*>()) {
      if (button->isVisible()) {
        texts.append(button->text());
      }
    }
    texts.sort();
    return texts;
  };
  QCOMPARE(visibleButtonTexts(), QStringList{QStringLiteral("Close")});
  dialog.setWebsiteUrl(QUrl(QStringLiteral("https://example.com")));
  dialog.addSocialMediaLink(QStringLiteral("Mastodon"), QUrl(QStringLiteral("https://example.com/@arvex")));
  QCOMPARE(visibleButtonTexts(),
           (QStringList{QStringLiteral("Close"), QStringLiteral("Mastodon"), QStringLiteral("Website")}));
}

void TestStyleWidgets::aboutDialogCloses() {
  AboutDialog dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QSignalSpy finished(&dialog, &QDialog::finished);
  QPushButton* close = nullptr;
  for (auto* button : dialog.findChildren<QPushButton*>()) {
    if (button->isVisible()) {
      close = button;
    }
  }
  QVERIFY(close);
  QTest::mouseClick(close, Qt::LeftButton);
  QCOMPARE(finished.count(), 1);
  QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestStyleWidgets)
#include "tst_stylewidgets.moc"
