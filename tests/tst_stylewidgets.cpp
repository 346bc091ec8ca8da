#include "style/Style.h"
#include "style/widgets/Expander.h"
#include "style/widgets/IconWidget.h"
#include "style/widgets/Label.h"
#include "style/widgets/LineEdit.h"
#include "style/widgets/StatusBadgeWidget.h"
#include "style/widgets/Switch.h"

#include <QApplication>
#include <QProxyStyle>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

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
    return hint == SH_Widget_Animation_Duration ? duration_
                                                : QProxyStyle::styleHint(hint, option, widget, returnData);
  }

private:
  int duration_;
};

struct SizedWidget final : QWidget {
  explicit SizedWidget(const QSize& size)
      : hint(size) {}
  QSize sizeHint() const override {
    return hint;
  }
  QSize hint;
};

QRect redBounds(const QImage& image) {
  QRect bounds;
  for (int i = 0; i < image.width() * image.height(); ++i) {
    if (image.pixel(i % image.width(), i / image.width()) == qRgb(255, 0, 0)) {
      bounds |= QRect(i % image.width(), i / image.width(), 1, 1);
    }
  }
  return bounds;
}

struct ExpanderWindow {
  ExpanderWindow(Qt::Orientation orientation, int duration, const QSize& hint)
      : style(duration) {
    auto* layout = orientation == Qt::Vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(&window))
                                               : new QHBoxLayout(&window);
    expander = new Expander(&window);
    expander->setStyle(&style);
    expander->setOrientation(orientation);
    expander->setContent(content = new SizedWidget(hint));
    layout->addWidget(expander);
    layout->addStretch();
    window.resize(400, 400);
    window.show();
  }

  AnimationStyle style;
  QWidget window;
  Expander* expander;
  QWidget* content;
};

} // namespace

class TestStyleWidgets : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    auto* style = new Style();
    style->setAnimationsEnabled(false);
    QApplication::setStyle(style);
  }

  void switchToggles_data() {
    QTest::addColumn<bool>("byKeyboard");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("mouse click") << false << true;
    QTest::newRow("space key") << true << true;
    QTest::newRow("mouse click, disabled") << false << false;
    QTest::newRow("space key, disabled") << true << false;
  }

  void switchToggles() {
    QFETCH(bool, byKeyboard);
    QFETCH(bool, enabled);
    Switch toggle(QStringLiteral("Wi-Fi"));
    toggle.setEnabled(enabled);
    QSignalSpy toggled(&toggle, &Switch::toggled);
    for (const auto expected : {true, false}) {
      if (byKeyboard) {
        QTest::keyClick(&toggle, Qt::Key_Space);
      } else {
        QTest::mouseClick(&toggle, Qt::LeftButton, {}, toggle.rect().center());
      }
      QCOMPARE(toggle.isChecked(), enabled && expected);
      QCOMPARE(toggled.count(), enabled ? 2 - int(expected) : 0);
      if (enabled) {
        QCOMPARE(toggled.last().at(0).toBool(), expected);
      }
    }
  }

  void expanderSizes_data() {
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<int>("duration");
    QTest::newRow("vertical, instant") << Qt::Vertical << 0;
    QTest::newRow("vertical, animated") << Qt::Vertical << 150;
    QTest::newRow("horizontal, instant") << Qt::Horizontal << 0;
    QTest::newRow("horizontal, animated") << Qt::Horizontal << 150;
  }

  void expanderSizes() {
    QFETCH(Qt::Orientation, orientation);
    QFETCH(int, duration);
    ExpanderWindow w(orientation, duration, QSize(90, 50));
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    const auto extent = [orientation](const QWidget* widget) {
      return orientation == Qt::Vertical ? widget->height() : widget->width();
    };
    const auto target = orientation == Qt::Vertical ? 50 : 90;
    QCOMPARE(extent(w.expander), 0);
    QVERIFY(!w.content->isVisible());

    QSignalSpy changed(w.expander, &Expander::expandedChanged);
    w.expander->setExpanded(true);
    w.expander->setExpanded(true); // announced once
    QCOMPARE(changed.count(), 1);
    QVERIFY(w.content->isVisible());
    QTRY_COMPARE(extent(w.expander), target);
    // The content keeps its natural size rather than being squeezed.
    QCOMPARE(extent(w.content), target);

    w.expander->setExpanded(false);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.last().at(0).toBool(), false);
    QTRY_COMPARE(extent(w.expander), 0);
    QTRY_VERIFY(!w.content->isVisible());
  }

  void expanderReversesMidway() {
    ExpanderWindow w(Qt::Vertical, 2000, QSize(80, 200));
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    w.expander->setExpanded(true);
    QTRY_VERIFY(w.expander->height() > 0);
    QVERIFY(w.expander->height() < 200);
    const auto reached = w.expander->height();
    w.expander->setExpanded(false);
    // It turns back from where it was, without jumping open or shut.
    QCOMPARE(w.expander->height(), reached);
    QTRY_COMPARE_WITH_TIMEOUT(w.expander->height(), 0, 5000);
    QTRY_VERIFY(!w.content->isVisible());
  }

  void labelRoleSetsFont_data() {
    QTest::addColumn<TextRole>("role");
    QTest::newRow("caption") << TextRole::Caption;
    QTest::newRow("h1") << TextRole::H1;
  }

  void labelRoleSetsFont() {
    QFETCH(TextRole, role);
    Label label(QStringLiteral("Text"));
    label.setRole(role);
    QCOMPARE(label.font(), Style::of()->fontForTextRole(role));
    QCOMPARE(label.palette().color(QPalette::WindowText),
             Style::of()->paletteForTextRole(role).color(QPalette::WindowText));
    label.setRole(TextRole::Default);
    QCOMPARE(label.font(), Style::of()->fontForTextRole(TextRole::Default));
  }

  void labelFollowsTheme() {
    const auto original = Style::of()->theme();
    Label title(QStringLiteral("Title"), TextRole::H3);
    const auto before = title.font().pixelSize();
    auto bigger = original;
    bigger.fontH3.setPixelSize(before + 10);
    Style::of()->setTheme(bigger);
    const auto after = title.font().pixelSize();
    Style::of()->setTheme(original);
    QCOMPARE(after, before + 10);
  }

  void statusBadgePaintsItsColor_data() {
    QTest::addColumn<StatusBadge>("badge");
    QTest::addColumn<QColor>("color");
    const auto& theme = Style::themeOf();
    QTest::newRow("info") << StatusBadge::Info << theme.statusColorInfo;
    QTest::newRow("warning") << StatusBadge::Warning << theme.statusColorWarning;
    QTest::newRow("error") << StatusBadge::Error << theme.statusColorError;
    QTest::newRow("success") << StatusBadge::Success << theme.statusColorSuccess;
  }

  void statusBadgePaintsItsColor() {
    QFETCH(StatusBadge, badge);
    QFETCH(QColor, color);
    // Start from another badge so that setBadge has to repaint with the new one.
    StatusBadgeWidget widget(badge == StatusBadge::Info ? StatusBadge::Error : StatusBadge::Info);
    widget.setBadge(badge);
    QCOMPARE(widget.size(), QSize(24, 24));
    const auto image = widget.grab().toImage();
    // Just inside the top of the circle, clear of the icon.
    QCOMPARE(image.pixelColor(12, 2).rgb(), color.rgb());
  }

  void iconWidgetSizeFollowsIconSize() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::red);
    IconWidget widget(QIcon{pixmap});
    widget.setIconSize(QSize(40, 20));
    QCOMPARE(widget.size(), QSize(40, 20));
    QCOMPARE(widget.minimumSize(), widget.maximumSize());
  }

  void lineEditLeavesRoomForIcon_data() {
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::newRow("left to right") << Qt::LeftToRight;
    QTest::newRow("right to left") << Qt::RightToLeft;
  }

  void lineEditLeavesRoomForIcon() {
    QFETCH(Qt::LayoutDirection, direction);
    const auto ltr = direction == Qt::LeftToRight;
    LineEdit edit;
    const auto caret = [&edit] { return edit.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x(); };
    edit.setLayoutDirection(direction);
    edit.setText(ltr ? QStringLiteral("Arvex") : QStringLiteral("\u05D0\u05E8\u05D1"));
    edit.setCursorPosition(0);
    edit.resize(200, edit.sizeHint().height());
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    const auto withoutIcon = caret();

    QPixmap red(16, 16);
    red.fill(Qt::red);
    edit.setIcon(QIcon(red));
    // Painting is what scrolls the text into its new place, so look at the caret after it.
    const auto icon = redBounds(edit.grab().toImage());
    QCOMPARE(icon.size(), QSize(16, 16));
    QVERIFY2(ltr ? caret() > icon.right() : caret() < icon.left(), qPrintable(QString::number(caret())));
    QVERIFY(ltr ? caret() > withoutIcon : caret() < withoutIcon);

    edit.setIcon(QIcon());
    edit.grab();
    QCOMPARE(caret(), withoutIcon);
  }
};

QTEST_MAIN(TestStyleWidgets)
#include "tst_stylewidgets.moc"
