#include <QTest>
class TestPreferencesWindow : public QObject {
  Q_OBJECT
};
QTEST_MAIN(TestPreferencesWindow)
#include "tst_preferenceswindow.moc"
