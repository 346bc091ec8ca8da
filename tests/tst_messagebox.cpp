#include "style/Style.h"
#include "style/widgets/StatusBadgeWidget.h"
#include "widgets/dialogs/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;
using arvexhub::launcher::MessageBox;
using arvexhub::style::StatusBadge;
using arvexhub::style::StatusBadgeWidget;

namespace {

constexpr int Ok = MessageBox::Ok, Yes = MessageBox::Yes, Cancel = MessageBox::Cancel;

/// Hands the modal box to `act` once exec() runs (with no box, exec() blocks until the test times out).
void whenModalBoxShows(std::function<void(MessageBox*)> act) {
  QTimer::singleShot(50, qApp, [act = std::move(act)] {
    if (auto* box = qobject_cast<MessageBox*>(QApplication::activeModalWidget())) {
      act(box);
    }
  });
}

} // namespace

class TestMessageBox : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() {
    QApplication::setStyle(new arvexhub::style::Style);
  }

  void badgeFollowsType_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("badge"); // -1 when hidden
    QTest::newRow("none") << 0 << -1;
    QTest::newRow("plain") << 1 << -1;
    QTest::newRow("info") << 2 << int(StatusBadge::Info);
    QTest::newRow("warning") << 3 << int(StatusBadge::Warning);
    QTest::newRow("error") << 4 << int(StatusBadge::Error);
    QTest::newRow("success") << 5 << int(StatusBadge::Success);
    QTest::newRow("unknown") << 9 << -1;
  }
  void badgeFollowsType() {
    QFETCH(int, type);
    QFETCH(int, badge);
    MessageBox box;
    box.setType(MessageBox::Error); // the badge must follow a change, not only the first type
    box.setType(static_cast<MessageBox::Type>(type));
    const auto* widget = box.findChild<StatusBadgeWidget*>();
    QVERIFY(widget && widget->isVisibleTo(&box) == (badge >= 0));
    QVERIFY(badge < 0 || int(widget->badge()) == badge);
  }

  void buttons_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("leftToRight");
    QTest::addColumn<int>("defaultButton");
    const QString ok = u"OK"_s, yes = u"Yes"_s, cancel = u"Cancel"_s;
    QTest::newRow("none") << 0 << QStringList{} << 0;
    QTest::newRow("ok") << Ok << QStringList{ok} << Ok;
    QTest::newRow("cancel") << Cancel << QStringList{cancel} << 0;
    QTest::newRow("yes cancel") << (Yes | Cancel) << QStringList{cancel, yes} << Yes;
    QTest::newRow("all") << (Ok | Yes | Cancel) << QStringList{cancel, yes, ok} << Ok;
  }
  void buttons() {
    QFETCH(int, buttons);
    QFETCH(QStringList, leftToRight);
    QFETCH(int, defaultButton);
    MessageBox box;
    box.setButtons(MessageBox::Buttons::fromInt(buttons));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QMap<int, QString> textsByX;
    for (const auto* widget : box.findChildren<QPushButton*>()) {
      textsByX.insert(widget->x(), widget->text());
    }
    QCOMPARE(textsByX.values(), leftToRight);
    for (const auto button : {MessageBox::Ok, MessageBox::Yes, MessageBox::Cancel}) {
      const auto* widget = box.getButtonWidget(button);
      QCOMPARE(widget != nullptr, MessageBox::Buttons::fromInt(buttons).testFlag(button));
      QVERIFY(!widget || widget->isDefault() == (button == defaultButton));
      QVERIFY(!widget || widget->icon().isNull() == (button == MessageBox::Yes));
    }
    // The same buttons asked for again keep their widgets, with what was set on them.
    const QPointer<QPushButton> ok = box.getButtonWidget(MessageBox::Ok);
    const QIcon custom(QPixmap(16, 16));
    box.setButtonIcon(MessageBox::Ok, custom);
    box.setButtons(MessageBox::Buttons::fromInt(buttons));
    QCOMPARE(box.getButtonWidget(MessageBox::Ok), ok.data());
    QVERIFY(!ok || ok->icon().cacheKey() == custom.cacheKey());
  }

  void checkBox_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("checked");
    QTest::newRow("no text") << QString() << true;
    QTest::newRow("text, unchecked") << u"Don't ask again"_s << false;
    QTest::newRow("text, checked") << u"Don't ask again"_s << true;
  }
  void checkBox() {
    QFETCH(QString, text);
    QFETCH(bool, checked);
    MessageBox box;
    box.setButtons(MessageBox::Ok);
    box.setCheckBox(text, checked);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* checkBox = box.findChild<QCheckBox*>();
    QVERIFY(checkBox && checkBox->isVisible() == !text.isEmpty());
    QCOMPARE(box.checkBoxChecked(), checked);
    if (!text.isEmpty()) {
      QCOMPARE(checkBox->text(), text);
      QTest::mouseClick(checkBox, Qt::LeftButton, {}, QPoint(checkBox->height() / 2, checkBox->height() / 2));
      QCOMPARE(box.checkBoxChecked(), !checked);
    }
  }

  void fixedWidthGrowsInHeight_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("taller");
    const auto longText = u"word "_s.repeated(120);
    QTest::newRow("long text") << u"Title"_s << longText << true;
    QTest::newRow("long title") << longText << u"Short."_s << true;
    QTest::newRow("regression: no title nor text") << QString() << QString() << false;
    QTest::newRow("unbreakable word") << u"Title"_s << QString(300, QLatin1Char('x')) << false;
    QTest::newRow("markup shown as text") << u"<i>Game</i>"_s << u"<b>x</b> &lt; y"_s << false;
  }
  void fixedWidthGrowsInHeight() {
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, taller);
    MessageBox small, large;
    for (auto* box : {&small, &large}) {
      box->setTitle(box == &small ? u"Title"_s : title);
      box->setText(box == &small ? u"Short."_s : text);
      box->setType(MessageBox::Error);
      box->setButtons(MessageBox::Ok);
      box->show();
      QVERIFY(QTest::qWaitForWindowExposed(box));
      QCOMPARE(box->width(), 380);
      const auto* ok = box->getButtonWidget(MessageBox::Ok);
      QVERIFY(ok->isVisible());
      const auto corner = ok->mapTo(box, QPoint(ok->width(), ok->height()));
      QVERIFY(corner.y() <= box->height() && corner.x() <= 380);
    }
    QVERIFY(!taller || large.height() > small.height());
    const auto labels = large.findChildren<QLabel*>();
    for (const auto& shown : {title, text}) { // as plain text, whatever it holds
      const auto it = std::find_if(labels.begin(), labels.end(), [&](auto* l) { return l->text() == shown; });
      QVERIFY2(it != labels.end() && (*it)->textFormat() == Qt::PlainText, qPrintable(shown));
    }
  }

  void execReturnsResult_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("action"); // a button to click, or a key to press
    QTest::addColumn<int>("expected");
    QTest::newRow("click ok") << (Ok | Yes | Cancel) << Ok << Ok;
    QTest::newRow("click yes") << (Ok | Yes | Cancel) << Yes << Yes;
    QTest::newRow("click cancel") << (Ok | Cancel) << Cancel << Cancel;
    QTest::newRow("return ok") << (Ok | Cancel) << int(Qt::Key_Return) << Ok;
    QTest::newRow("return yes") << (Yes | Cancel) << int(Qt::Key_Return) << Yes;
    QTest::newRow("escape") << (Ok | Cancel) << int(Qt::Key_Escape) << 0;
    QTest::newRow("parent deleted") << (Ok | Cancel) << 0 << 0;
  }
  void execReturnsResult() {
    QFETCH(int, buttons);
    QFETCH(int, action);
    QFETCH(int, expected);
    QPointer<QWidget> parent = new QWidget;
    parent->show();
    QPointer<MessageBox> seen;
    QString seenTexts;
    whenModalBoxShows([&](MessageBox* box) {
      seen = box;
      seenTexts = box->title() + box->text();
      if (action == 0) {
        delete parent;
      } else if (action < Qt::Key_Escape) {
        QTest::mouseClick(box->getButtonWidget(MessageBox::Button(action)), Qt::LeftButton);
      } else {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : box, Qt::Key(action));
      }
    });
    const auto result = MessageBox::exec(parent, MessageBox::Warning, u"Title"_s, u"Text"_s,
                                         MessageBox::Buttons::fromInt(buttons));
    QCOMPARE(result, expected);
    QCOMPARE(seenTexts, u"TitleText"_s);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(seen.isNull());
    QCOMPARE(parent.isNull(), action == 0);
    delete parent;
  }

  void minimisingDoesNotDelete() {
    QPointer<MessageBox> box = new MessageBox;
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    box->setWindowState(Qt::WindowMinimized);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(box);
    box->hide();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(box.isNull());
  }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
