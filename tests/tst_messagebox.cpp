#include "widgets/MessageBox.h"

#include <style/Style.h>
#include <style/widgets/StatusBadgeWidget.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

using arvexhub::launcher::MessageBox;
using arvexhub::style::StatusBadge;
using arvexhub::style::StatusBadgeWidget;

Q_DECLARE_METATYPE(arvexhub::style::StatusBadge)

namespace {

constexpr int boxWidth = 380;

MessageBox::Buttons buttonsFromInt(int value) {
  return MessageBox::Buttons::fromInt(value);
}

/// The shown buttons of the box, sorted left to right on screen.
QList<QPushButton*> buttonsLeftToRight(const MessageBox& box) {
  QList<QPushButton*> shown;
  for (const auto button : {MessageBox::Ok, MessageBox::Yes, MessageBox::Cancel}) {
    if (auto* widget = box.getButtonWidget(button)) {
      shown.append(widget);
    }
  }
  std::sort(shown.begin(), shown.end(), [&box](const QPushButton* a, const QPushButton* b) {
    return a->mapTo(&box, QPoint()).x() < b->mapTo(&box, QPoint()).x();
  });
  return shown;
}

QStringList texts(const QList<QPushButton*>& buttons) {
  QStringList result;
  for (const auto* button : buttons) {
    result.append(button->text());
  }
  return result;
}

QPushButton* buttonWithText(QWidget* parent, const QString& text) {
  const auto buttons = parent->findChildren<QPushButton*>();
  for (auto* button : buttons) {
    if (button->text() == text) {
      return button;
    }
  }
  return nullptr;
}

QString longText() {
  QStringList words;
  for (int i = 0; i < 120; ++i) {
    words.append(QStringLiteral("word%1").arg(i));
  }
  return words.join(QLatin1Char(' '));
}

/// Polls until a MessageBox is the active modal widget, then hands it to `act`. If none comes,
/// closes whatever modal widget there is so that a blocking exec() cannot hang the test.
void whenModalBoxShows(std::function<void(MessageBox*)> act) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, act = std::move(act)] {
    auto* box = qobject_cast<MessageBox*>(QApplication::activeModalWidget());
    if (box && box->isVisible()) {
      timer->deleteLater();
      timer->stop();
      act(box);
      return;
    }
    if (++*tries > 500) {
      timer->stop();
      timer->deleteLater();
      if (auto* modal = QApplication::activeModalWidget()) {
        modal->close();
      }
    }
  });
  timer->start();
}

} // namespace

class TestMessageBox : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanup();

  void badgeFollowsType_data();
  void badgeFollowsType();
  void buttons_data();
  void buttons();
  void returnActivatesDefaultButton_data();
  void returnActivatesDefaultButton();
  void clickingButtonEndsDialog_data();
  void clickingButtonEndsDialog();
  void closingWithoutButtonGivesNone_data();
  void closingWithoutButtonGivesNone();
  void sameButtonsKeepWidgets();
  void otherButtonsReplaceWidgets();
  void checkBox_data();
  void checkBox();
  void fixedWidthGrowsInHeight_data();
  void fixedWidthGrowsInHeight();
  void showsWithoutAnyText_data();
  void showsWithoutAnyText();
  void centredOverParent_data();
  void centredOverParent();
  void deletesItselfWhenHidden_data();
  void deletesItselfWhenHidden();
  void survivesBeingMinimised();
  void staticExecReturnsClickedButton_data();
  void staticExecReturnsClickedButton();
  void staticExecSurvivesParentDeletion();
  void textsArePlain_data();
  void textsArePlain();
};

void TestMessageBox::initTestCase() {
  QApplication::setStyle(new arvexhub::style::Style);
}

void TestMessageBox::cleanup() {
  // Boxes a failed test left behind must not become the modal widget of the next one.
  const auto widgets = QApplication::topLevelWidgets();
  for (auto* widget : widgets) {
    if (qobject_cast<MessageBox*>(widget)) {
      delete widget;
    }
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestMessageBox::badgeFollowsType_data() {
  QTest::addColumn<int>("previousType");
  QTest::addColumn<int>("type");
  QTest::addColumn<bool>("badgeShown");
  QTest::addColumn<StatusBadge>("badge");

  QTest::newRow("none") << 0 << 0 << false << StatusBadge::Info;
  QTest::newRow("plain") << 0 << 1 << false << StatusBadge::Info;
  QTest::newRow("info") << 0 << 2 << true << StatusBadge::Info;
  QTest::newRow("warning") << 0 << 3 << true << StatusBadge::Warning;
  QTest::newRow("error") << 0 << 4 << true << StatusBadge::Error;
  QTest::newRow("success") << 0 << 5 << true << StatusBadge::Success;
  QTest::newRow("unknown") << 0 << 9 << false << StatusBadge::Info;
  QTest::newRow("error then plain") << 4 << 1 << false << StatusBadge::Info;
  QTest::newRow("success then none") << 5 << 0 << false << StatusBadge::Info;
  QTest::newRow("warning then unknown") << 3 << 9 << false << StatusBadge::Info;
  QTest::newRow("error then success") << 4 << 5 << true << StatusBadge::Success;
  QTest::newRow("plain then warning") << 1 << 3 << true << StatusBadge::Warning;
}

void TestMessageBox::badgeFollowsType() {
  QFETCH(int, previousType);
  QFETCH(int, type);
  QFETCH(bool, badgeShown);
  QFETCH(StatusBadge, badge);

  MessageBox box;
  box.setType(static_cast<MessageBox::Type>(previousType));
  box.setType(static_cast<MessageBox::Type>(type));
  QCOMPARE(box.type(), static_cast<MessageBox::Type>(type));
  const auto* widget = box.findChild<StatusBadgeWidget*>();
  QVERIFY(widget);
  QCOMPARE(widget->isVisibleTo(&box), badgeShown);
  if (badgeShown) {
    QCOMPARE(widget->badge(), badge);
  }
}

void TestMessageBox::buttons_data() {
  QTest::addColumn<int>("buttons");
  QTest::addColumn<QStringList>("leftToRight");
  QTest::addColumn<int>("defaultButton");

  const auto ok = QStringLiteral("OK");
  const auto yes = QStringLiteral("Yes");
  const auto cancel = QStringLiteral("Cancel");
  QTest::newRow("ok") << int(MessageBox::Ok) << QStringList{ok} << int(MessageBox::Ok);
  QTest::newRow("yes") << int(MessageBox::Yes) << QStringList{yes} << int(MessageBox::Yes);
  QTest::newRow("cancel") << int(MessageBox::Cancel) << QStringList{cancel} << int(MessageBox::None);
  QTest::newRow("ok cancel") << int(MessageBox::Ok | MessageBox::Cancel) << QStringList{cancel, ok}
                             << int(MessageBox::Ok);
  QTest::newRow("yes cancel") << int(MessageBox::Yes | MessageBox::Cancel) << QStringList{cancel, yes}
                              << int(MessageBox::Yes);
  // A dialog has a single default button: the rightmost one.
  QTest::newRow("all") << int(MessageBox::Ok | MessageBox::Yes | MessageBox::Cancel)
                       << QStringList{cancel, yes, ok} << int(MessageBox::Ok);
  QTest::newRow("none") << int(MessageBox::None) << QStringList{} << int(MessageBox::None);
}

void TestMessageBox::buttons() {
  QFETCH(int, buttons);
  QFETCH(QStringList, leftToRight);
  QFETCH(int, defaultButton);

  MessageBox box;
  box.setText(QStringLiteral("Text"));
  box.setButtons(buttonsFromInt(buttons));
  QCOMPARE(box.buttons(), buttonsFromInt(buttons));
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));

  QCOMPARE(texts(buttonsLeftToRight(box)), leftToRight);
  QCOMPARE(box.findChildren<QPushButton*>().size(), leftToRight.size());

  for (const auto button : {MessageBox::Ok, MessageBox::Yes, MessageBox::Cancel}) {
    const auto* widget = box.getButtonWidget(button);
    QCOMPARE(widget != nullptr, buttonsFromInt(buttons).testFlag(button));
    if (!widget) {
      continue;
    }
    QVERIFY(widget->isVisible());
    QCOMPARE(widget->isDefault(), button == defaultButton);
    QVERIFY(!widget->autoDefault());
    QCOMPARE(widget->icon().isNull(), button == MessageBox::Yes);
  }
  box.hide();
}

void TestMessageBox::returnActivatesDefaultButton_data() {
  QTest::addColumn<int>("buttons");
  QTest::addColumn<int>("expected");

  QTest::newRow("ok cancel") << int(MessageBox::Ok | MessageBox::Cancel) << int(MessageBox::Ok);
  QTest::newRow("yes cancel") << int(MessageBox::Yes | MessageBox::Cancel) << int(MessageBox::Yes);
  QTest::newRow("ok") << int(MessageBox::Ok) << int(MessageBox::Ok);
  QTest::newRow("yes") << int(MessageBox::Yes) << int(MessageBox::Yes);
}

void TestMessageBox::returnActivatesDefaultButton() {
  QFETCH(int, buttons);
  QFETCH(int, expected);

  QPointer<MessageBox> box = new MessageBox;
  box->setType(MessageBox::Warning);
  box->setTitle(QStringLiteral("Remove the game?"));
  box->setText(QStringLiteral("Text"));
  box->setButtons(buttonsFromInt(buttons));
  QSignalSpy finished(box.data(), &QDialog::finished);
  box->show();
  QVERIFY(QTest::qWaitForWindowActive(box));

  // Whatever has the focus, Return must reach the default button, as a user would press it.
  auto* target = QApplication::focusWidget() ? QApplication::focusWidget() : box.data();
  QTest::keyClick(target, Qt::Key_Return);
  QCOMPARE(finished.size(), 1);
  QCOMPARE(finished.first().first().toInt(), expected);
  QCOMPARE(box->result(), expected);
  QVERIFY(!box->isVisible());
}

void TestMessageBox::clickingButtonEndsDialog_data() {
  QTest::addColumn<int>("buttons");
  QTest::addColumn<int>("clicked");

  const auto all = int(MessageBox::Ok | MessageBox::Yes | MessageBox::Cancel);
  QTest::newRow("ok of three") << all << int(MessageBox::Ok);
  QTest::newRow("yes of three") << all << int(MessageBox::Yes);
  QTest::newRow("cancel of three") << all << int(MessageBox::Cancel);
  QTest::newRow("cancel of ok cancel") << int(MessageBox::Ok | MessageBox::Cancel) << int(MessageBox::Cancel);
  QTest::newRow("ok alone") << int(MessageBox::Ok) << int(MessageBox::Ok);
}

void TestMessageBox::clickingButtonEndsDialog() {
  QFETCH(int, buttons);
  QFETCH(int, clicked);

  QPointer<MessageBox> box = new MessageBox;
  box->setButtons(buttonsFromInt(buttons));
  QSignalSpy finished(box.data(), &QDialog::finished);
  box->show();
  QVERIFY(QTest::qWaitForWindowExposed(box));

  auto* button = box->getButtonWidget(static_cast<MessageBox::Button>(clicked));
  QVERIFY(button);
  QTest::mouseClick(button, Qt::LeftButton);
  QCOMPARE(finished.size(), 1);
  QCOMPARE(finished.first().first().toInt(), clicked);
  QCOMPARE(box->result(), clicked);
  QCOMPARE(MessageBox::buttonResult(box->result()), static_cast<MessageBox::Button>(clicked));
  QVERIFY(!box->isVisible());
}

void TestMessageBox::closingWithoutButtonGivesNone_data() {
  QTest::addColumn<bool>("byEscape");

  QTest::newRow("escape") << true;
  QTest::newRow("reject") << false;
}

void TestMessageBox::closingWithoutButtonGivesNone() {
  QFETCH(bool, byEscape);

  QPointer<MessageBox> box = new MessageBox;
  box->setButtons(MessageBox::Ok | MessageBox::Cancel);
  QSignalSpy finished(box.data(), &QDialog::finished);
  box->show();
  QVERIFY(QTest::qWaitForWindowActive(box));
  // A result from an earlier use must not leak into this one.
  box->setResult(MessageBox::Ok);

  if (byEscape) {
    auto* target = QApplication::focusWidget() ? QApplication::focusWidget() : box.data();
    QTest::keyClick(target, Qt::Key_Escape);
  } else {
    box->reject();
  }
  QCOMPARE(finished.size(), 1);
  QCOMPARE(box->result(), 0);
  QCOMPARE(MessageBox::buttonResult(box->result()), MessageBox::None);
}

void TestMessageBox::sameButtonsKeepWidgets() {
  MessageBox box;
  box.setButtons(MessageBox::Ok | MessageBox::Cancel);
  QPointer<QPushButton> ok = box.getButtonWidget(MessageBox::Ok);
  QPointer<QPushButton> cancel = box.getButtonWidget(MessageBox::Cancel);
  QVERIFY(ok && cancel);
  const QIcon custom(QPixmap(16, 16));
  box.setButtonIcon(MessageBox::Ok, custom);
  QCOMPARE(ok->icon().cacheKey(), custom.cacheKey());

  box.setButtons(MessageBox::Cancel | MessageBox::Ok);
  QCOMPARE(box.getButtonWidget(MessageBox::Ok), ok.data());
  QCOMPARE(box.getButtonWidget(MessageBox::Cancel), cancel.data());
  QCOMPARE(ok->icon().cacheKey(), custom.cacheKey());

  // An icon for a button not shown changes nothing and does not crash.
  box.setButtonIcon(MessageBox::Yes, custom);
  QCOMPARE(box.getButtonWidget(MessageBox::Yes), nullptr);
}

void TestMessageBox::otherButtonsReplaceWidgets() {
  MessageBox box;
  box.setButtons(MessageBox::Ok | MessageBox::Cancel);
  QPointer<QPushButton> ok = box.getButtonWidget(MessageBox::Ok);
  QPointer<QPushButton> cancel = box.getButtonWidget(MessageBox::Cancel);

  box.setButtons(MessageBox::Yes);
  QCOMPARE(box.buttons(), MessageBox::Buttons(MessageBox::Yes));
  QVERIFY(ok.isNull());
  QVERIFY(cancel.isNull());
  QCOMPARE(box.getButtonWidget(MessageBox::Ok), nullptr);
  QCOMPARE(box.getButtonWidget(MessageBox::Cancel), nullptr);
  QVERIFY(box.getButtonWidget(MessageBox::Yes));
  QCOMPARE(box.findChildren<QPushButton*>().size(), 1);

  box.setButtons(MessageBox::None);
  QCOMPARE(box.getButtonWidget(MessageBox::Yes), nullptr);
  QVERIFY(box.findChildren<QPushButton*>().isEmpty());
}

void TestMessageBox::checkBox_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("checked");

  QTest::newRow("no text") << QString() << false;
  QTest::newRow("no text, checked") << QString() << true;
  QTest::newRow("text") << QStringLiteral("Don't ask again") << false;
  QTest::newRow("text, checked") << QStringLiteral("Don't ask again") << true;
}

void TestMessageBox::checkBox() {
  QFETCH(QString, text);
  QFETCH(bool, checked);

  QPointer<MessageBox> box = new MessageBox;
  box->setText(QStringLiteral("Text"));
  box->setButtons(MessageBox::Ok);
  box->setCheckBox(text, checked);
  QCOMPARE(box->checkBoxText(), text);
  QCOMPARE(box->checkBoxChecked(), checked);
  box->show();
  QVERIFY(QTest::qWaitForWindowExposed(box));

  auto* checkBox = box->findChild<QCheckBox*>();
  QVERIFY(checkBox);
  QCOMPARE(checkBox->isVisible(), !text.isEmpty());
  if (!text.isEmpty()) {
    QCOMPARE(checkBox->text(), text);
    // On the indicator, the part of the row a user clicks.
    const QPoint indicator(checkBox->height() / 2, checkBox->height() / 2);
    QTest::mouseClick(checkBox, Qt::LeftButton, {}, indicator);
    QCOMPARE(box->checkBoxChecked(), !checked);
    QTest::mouseClick(checkBox, Qt::LeftButton, {}, indicator);
    QCOMPARE(box->checkBoxChecked(), checked);
  }
  box->setCheckBoxChecked(!checked);
  QCOMPARE(box->checkBoxChecked(), !checked);
  box->hide();
}

void TestMessageBox::fixedWidthGrowsInHeight_data() {
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("checkBoxText");
  QTest::addColumn<bool>("taller");

  QTest::newRow("long text") << QStringLiteral("Title") << longText() << QString() << true;
  QTest::newRow("long title") << longText() << QStringLiteral("Short.") << QString() << true;
  QTest::newRow("long text with check box")
      << QStringLiteral("Title") << longText() << QStringLiteral("Don't ask again") << true;
  // A word longer than a line cannot wrap; it still must not widen the box.
  QTest::newRow("unbreakable text") << QStringLiteral("Title") << QString(300, QLatin1Char('x')) << QString()
                                    << false;
}

void TestMessageBox::fixedWidthGrowsInHeight() {
  QFETCH(QString, title);
  QFETCH(QString, text);
  QFETCH(QString, checkBoxText);
  QFETCH(bool, taller);

  QPointer<MessageBox> small = new MessageBox;
  small->setType(MessageBox::Info);
  small->setTitle(QStringLiteral("Title"));
  small->setText(QStringLiteral("Short."));
  small->setButtons(MessageBox::Ok | MessageBox::Cancel);
  small->setCheckBox(checkBoxText, false);
  small->show();
  QVERIFY(QTest::qWaitForWindowExposed(small));

  QPointer<MessageBox> large = new MessageBox;
  large->setType(MessageBox::Info);
  large->setTitle(title);
  large->setText(text);
  large->setButtons(MessageBox::Ok | MessageBox::Cancel);
  large->setCheckBox(checkBoxText, false);
  large->show();
  QVERIFY(QTest::qWaitForWindowExposed(large));

  QCOMPARE(small->width(), boxWidth);
  QCOMPARE(large->width(), boxWidth);
  if (!taller) {
    return;
  }
  QVERIFY2(large->height() > small->height(),
           qPrintable(QStringLiteral("%1 <= %2").arg(large->height()).arg(small->height())));

  // Nothing is cut off: every wrapped label gets the height its text needs, and the buttons
  // stay inside the box.
  const auto labels = large->findChildren<QLabel*>();
  for (const auto* label : labels) {
    if (label->isVisible() && label->wordWrap() && !label->text().isEmpty()) {
      QVERIFY2(label->height() >= label->heightForWidth(label->width()),
               qPrintable(QStringLiteral("%1: %2 < %3")
                              .arg(label->text().left(10))
                              .arg(label->height())
                              .arg(label->heightForWidth(label->width()))));
      QVERIFY(label->mapTo(large.data(), QPoint(0, label->height())).y() <= large->height());
    }
  }
  const auto* ok = large->getButtonWidget(MessageBox::Ok);
  QVERIFY(ok->mapTo(large.data(), QPoint(0, ok->height())).y() <= large->height());
  QVERIFY(ok->mapTo(large.data(), QPoint(ok->width(), 0)).x() <= boxWidth);
  small->hide();
  large->hide();
}

void TestMessageBox::showsWithoutAnyText_data() {
  QTest::addColumn<int>("type");

  QTest::newRow("plain") << int(MessageBox::Plain);
  QTest::newRow("error") << int(MessageBox::Error);
}

void TestMessageBox::showsWithoutAnyText() {
  QFETCH(int, type);

  QPointer<MessageBox> box = new MessageBox;
  box->setType(static_cast<MessageBox::Type>(type));
  box->setButtons(MessageBox::Ok);
  box->show();
  QVERIFY(QTest::qWaitForWindowExposed(box));
  QCOMPARE(box->width(), boxWidth);
  const auto* ok = box->getButtonWidget(MessageBox::Ok);
  QVERIFY(ok->isVisible());
  QVERIFY(ok->mapTo(box.data(), QPoint(0, ok->height())).y() <= box->height());
  box->hide();
}

void TestMessageBox::centredOverParent_data() {
  QTest::addColumn<QString>("text");

  QTest::newRow("short text") << QStringLiteral("Short.");
  QTest::newRow("long text") << longText().left(600);
}

void TestMessageBox::centredOverParent() {
  QFETCH(QString, text);

  QWidget parent;
  parent.setGeometry(60, 40, 640, 480);
  parent.show();
  QVERIFY(QTest::qWaitForWindowExposed(&parent));

  QPointer<MessageBox> box = new MessageBox(&parent);
  box->setTitle(QStringLiteral("Title"));
  box->setText(text);
  box->setButtons(MessageBox::Ok | MessageBox::Cancel);
  box->show();
  QVERIFY(QTest::qWaitForWindowExposed(box));

  const auto offset = box->frameGeometry().center() - parent.frameGeometry().center();
  QVERIFY2(offset.manhattanLength() <= 4,
           qPrintable(QStringLiteral("off by %1, %2").arg(offset.x()).arg(offset.y())));
  box->hide();
}

void TestMessageBox::deletesItselfWhenHidden_data() {
  QTest::addColumn<int>("how");

  QTest::newRow("hide") << 0;
  QTest::newRow("button") << 1;
  QTest::newRow("reject") << 2;
}

void TestMessageBox::deletesItselfWhenHidden() {
  QFETCH(int, how);

  QPointer<MessageBox> box = new MessageBox;
  box->setButtons(MessageBox::Ok);
  box->show();
  QVERIFY(QTest::qWaitForWindowExposed(box));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(box);

  switch (how) {
  case 0:
    box->hide();
    break;
  case 1:
    QTest::mouseClick(box->getButtonWidget(MessageBox::Ok), Qt::LeftButton);
    break;
  default:
    box->reject();
    break;
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(box.isNull());
}

void TestMessageBox::survivesBeingMinimised() {
  QPointer<MessageBox> box = new MessageBox;
  box->setButtons(MessageBox::Ok | MessageBox::Cancel);
  QSignalSpy finished(box.data(), &QDialog::finished);
  box->show();
  QVERIFY(QTest::qWaitForWindowExposed(box));

  box->setWindowState(Qt::WindowMinimized);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(box);
  box->setWindowState(Qt::WindowNoState);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(box);
  QCOMPARE(finished.size(), 0);

  QTest::mouseClick(box->getButtonWidget(MessageBox::Ok), Qt::LeftButton);
  QCOMPARE(box->result(), int(MessageBox::Ok));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(box.isNull());
}

void TestMessageBox::staticExecReturnsClickedButton_data() {
  QTest::addColumn<int>("type");
  QTest::addColumn<int>("buttons");
  QTest::addColumn<QString>("clickedText");
  QTest::addColumn<int>("expected");

  QTest::newRow("ok") << int(MessageBox::Info) << int(MessageBox::Ok | MessageBox::Cancel)
                      << QStringLiteral("OK") << int(MessageBox::Ok);
  QTest::newRow("yes") << int(MessageBox::Warning) << int(MessageBox::Yes | MessageBox::Cancel)
                       << QStringLiteral("Yes") << int(MessageBox::Yes);
  QTest::newRow("cancel") << int(MessageBox::Error) << int(MessageBox::Yes | MessageBox::Cancel)
                          << QStringLiteral("Cancel") << int(MessageBox::Cancel);
  QTest::newRow("escape") << int(MessageBox::Plain) << int(MessageBox::Ok | MessageBox::Cancel) << QString()
                          << int(MessageBox::None);
}

void TestMessageBox::staticExecReturnsClickedButton() {
  QFETCH(int, type);
  QFETCH(int, buttons);
  QFETCH(QString, clickedText);
  QFETCH(int, expected);

  QWidget parent;
  parent.resize(600, 400);
  parent.show();
  QVERIFY(QTest::qWaitForWindowExposed(&parent));

  const auto title = QStringLiteral("Title of %1").arg(QString::fromUtf8(QTest::currentDataTag()));
  const auto text = QStringLiteral("Text of %1").arg(QString::fromUtf8(QTest::currentDataTag()));
  QPointer<MessageBox> seen;
  QString seenTitle;
  QString seenText;
  int seenType = -1;
  whenModalBoxShows([&](MessageBox* box) {
    seen = box;
    seenTitle = box->title();
    seenText = box->text();
    seenType = box->type();
    if (clickedText.isEmpty()) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else if (auto* button = buttonWithText(box, clickedText)) {
      QTest::mouseClick(button, Qt::LeftButton);
    } else {
      box->close();
    }
  });

  const auto result =
      MessageBox::exec(&parent, static_cast<MessageBox::Type>(type), title, text, buttonsFromInt(buttons));
  QCOMPARE(result, expected);
  QCOMPARE(MessageBox::buttonResult(result), static_cast<MessageBox::Button>(expected));
  QCOMPARE(seenTitle, title);
  QCOMPARE(seenText, text);
  QCOMPARE(seenType, type);

  // The box does not outlive its use.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(seen.isNull());
  QVERIFY(parent.findChildren<MessageBox*>().isEmpty());
}

void TestMessageBox::staticExecSurvivesParentDeletion() {
  QPointer<QWidget> parent = new QWidget;
  parent->resize(600, 400);
  parent->show();
  QVERIFY(QTest::qWaitForWindowExposed(parent));

  bool shown = false;
  whenModalBoxShows([&](MessageBox*) {
    shown = true;
    delete parent;
  });
  const auto result = MessageBox::exec(parent, MessageBox::Warning, QStringLiteral("Title"),
                                       QStringLiteral("Text"), MessageBox::Ok | MessageBox::Cancel);
  QVERIFY(shown);
  QVERIFY(parent.isNull());
  QCOMPARE(MessageBox::buttonResult(result), MessageBox::None);
}

void TestMessageBox::textsArePlain_data() {
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("text");

  QTest::newRow("markup in text") << QStringLiteral("Title") << QStringLiteral("<b>x</b>");
  QTest::newRow("markup in title") << QStringLiteral("<i>Game</i>") << QStringLiteral("Text");
  QTest::newRow("entity") << QStringLiteral("Tom &amp; Jerry") << QStringLiteral("a &lt; b");
}

void TestMessageBox::textsArePlain() {
  QFETCH(QString, title);
  QFETCH(QString, text);

  MessageBox box;
  box.setTitle(title);
  box.setText(text);
  QCOMPARE(box.title(), title);
  QCOMPARE(box.text(), text);

  for (const auto& shown : {title, text}) {
    const auto labels = box.findChildren<QLabel*>();
    const auto it = std::find_if(labels.begin(), labels.end(),
                                 [&shown](const QLabel* label) { return label->text() == shown; });
    QVERIFY2(it != labels.end(), qPrintable(shown));
    QCOMPARE((*it)->textFormat(), Qt::PlainText);
  }
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
