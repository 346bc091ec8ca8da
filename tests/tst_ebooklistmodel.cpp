#include <library/EbookListModel.h>
#include <library/NetworkPolicy.h>

#include <TestArchive.h>
#include <TestDir.h>
#include <TestHttpServer.h>

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace arvexhub::launcher;
using arvexhub::test::TestArchive;
using arvexhub::test::TestDir;
using arvexhub::test::TestHttpResponse;
using arvexhub::test::TestHttpServer;

namespace {

QJsonObject entry(const QString& name, const QString& url = {}, const QString& thumbnail = {}) {
  return {{QStringLiteral("name"), name},
          {QStringLiteral("fullName"), name + QStringLiteral(": A Novel")},
          {QStringLiteral("author"), QStringLiteral("A. Writer")},
          {QStringLiteral("publisher"), QStringLiteral("Arvex Press")},
          {QStringLiteral("publicationDate"), QStringLiteral("2021")},
          {QStringLiteral("url"), url},
          {QStringLiteral("thumbnail"), thumbnail}};
}

TestHttpResponse answer(const QByteArray& body) {
  TestHttpResponse response;
  response.body = body;
  return response;
}

QByteArray png() {
  QImage image(30, 40, QImage::Format_ARGB32);
  image.fill(Qt::blue);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

} // namespace

class TestEbookListModel final : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void scanNamesBooksByFolder_data();
  void scanNamesBooksByFolder();
  void rolesAndRoleNames();
  void addEbookRefusesSecondFolderOfTheSameName();
  void mergeCopiesFieldsInNameOrder();
  void pictureNeedsItsCatalogueLink();
  void readingEbookMarksItsRow();
  void removeEbookKeepsTheRow_data();
  void removeEbookKeepsTheRow();
  void downloadNeedsTheExactCatalogueName();
  void failedDownloadLeavesNothing_data();
  void failedDownloadLeavesNothing();

private:
  std::unique_ptr<EbookListModel> makeModel(const QJsonArray& catalogue);
  QString installBook(const QString& folder, const QString& file = QStringLiteral("book.pdf"));
  QString ebooksFolder() const;
  static QStringList column(const EbookListModel& model, int role);

  std::unique_ptr<TestDir> home_;
  std::unique_ptr<TestHttpServer> server_;
};

void TestEbookListModel::initTestCase() {
  NetworkPolicy::setStallTimeoutMs(700);
}

void TestEbookListModel::init() {
  home_ = std::make_unique<TestDir>();
  qputenv("HOME", home_->path().toUtf8());
  server_ = std::make_unique<TestHttpServer>();
  QVERIFY(server_->listen());
  qputenv("ARVEXHUB_CATALOGUE_URL", server_->url(QString()).toString().toUtf8());
}

void TestEbookListModel::cleanup() {
  server_.reset();
  home_.reset();
}

std::unique_ptr<EbookListModel> TestEbookListModel::makeModel(const QJsonArray& catalogue) {
  server_->setResponse(QStringLiteral("/ebooks.json"), answer(QJsonDocument(catalogue).toJson()));
  auto model = std::make_unique<EbookListModel>();
  QSignalSpy finished(model.get(), &EbookListModel::updateCheckFinished);
  if (!finished.wait(10000)) {
    qWarning("the catalogue merge did not finish");
  }
  return model;
}

QString TestEbookListModel::installBook(const QString& folder, const QString& file) {
  return home_->createFile(QStringLiteral(".arvexhub/ebooks/%1/%2").arg(folder, file), "%PDF-1.4");
}

QString TestEbookListModel::ebooksFolder() const {
  return home_->filePath(QStringLiteral(".arvexhub/ebooks"));
}

QStringList TestEbookListModel::column(const EbookListModel& model, int role) {
  QStringList values;
  for (int row = 0; row < model.rowCount(); ++row) {
    values.append(model.index(row).data(role).toString());
  }
  return values;
}

void TestEbookListModel::scanNamesBooksByFolder_data() {
  QTest::addColumn<QStringList>("files");
  QTest::addColumn<QStringList>("expected");
  QTest::newRow("named by its folder")
      << QStringList{QStringLiteral("Dune/dune-v2.pdf")} << QStringList{QStringLiteral("Dune")};
  QTest::newRow("folders differing in case give one row, the first by name")
      << QStringList{QStringLiteral("dune/a.pdf"), QStringLiteral("Dune/a.pdf")}
      << QStringList{QStringLiteral("Dune")};
  QTest::newRow("several documents give one row")
      << QStringList{QStringLiteral("Dune/a.pdf"), QStringLiteral("Dune/b.pdf")}
      << QStringList{QStringLiteral("Dune")};
  QTest::newRow("only pdf files at the top of a folder count")
      << QStringList{QStringLiteral("Notes/readme.txt"), QStringLiteral("Deep/x/a.pdf"),
                     QStringLiteral("loose.pdf")}
      << QStringList();
}

void TestEbookListModel::scanNamesBooksByFolder() {
  QFETCH(QStringList, files);
  QFETCH(QStringList, expected);
  for (const auto& file : files) {
    home_->createFile(QStringLiteral(".arvexhub/ebooks/") + file, "%PDF-1.4");
  }
  const auto model = makeModel({});
  QCOMPARE(column(*model, Qt::DisplayRole), expected);
  QCOMPARE(column(*model, EbookRole::Name), expected);
  for (int row = 0; row < model->rowCount(); ++row) {
    const auto index = model->index(row);
    QVERIFY(index.data(EbookRole::IsInstalled).toBool());
    QVERIFY(QFileInfo(index.data(EbookRole::Path).toString()).dir().dirName() == expected.at(row));
    QCOMPARE(index.data(EbookRole::DownloadProgress).toDouble(), -1.0);
  }
  QVERIFY(QDir(home_->filePath(QStringLiteral(".arvexhub/thumbnails/ebooks"))).exists());
}

void TestEbookListModel::rolesAndRoleNames() {
  installBook(QStringLiteral("Dune"));
  const auto model = makeModel({});
  const auto names = model->roleNames();
  QCOMPARE(names.value(Qt::DisplayRole), QByteArray("fullName"));
  QCOMPARE(names.value(EbookRole::Path), QByteArray("path"));
  QVERIFY(!names.contains(258));
  QVERIFY(!model->index(0).data(258).isValid());
  QVERIFY(!model->index(0).data(Qt::DecorationRole).isValid()); // the cover is under its own role
}

void TestEbookListModel::addEbookRefusesSecondFolderOfTheSameName() {
  const auto model = makeModel({});
  QSignalSpy rowCount(model.get(), &EbookListModel::rowCountChanged);
  home_->createFile(QStringLiteral(".arvexhub/ebooks/Dune/Dune.png"), png());
  const auto first = installBook(QStringLiteral("Dune"));
  model->addEbook(first);
  model->addEbook(installBook(QStringLiteral("DUNE")));
  QCOMPARE(rowCount.count(), 1);
  QCOMPARE(model->rowCount(), 1);
  QCOMPARE(model->index(0).data(EbookRole::Path).toString(), first);
  QVERIFY(!model->index(0).data(EbookRole::Thumbnail).value<QPixmap>().isNull());
  QCOMPARE(model->ebookNameByPath(first), QStringLiteral("Dune"));
  QCOMPARE(model->ebookNameByPath(QString()), QString());
}

void TestEbookListModel::mergeCopiesFieldsInNameOrder() {
  const auto dune = installBook(QStringLiteral("dune"));
  const auto model = makeModel({entry(QStringLiteral("Zorro"), QStringLiteral("https://example.com/z.zip")),
                                entry(QStringLiteral("Dune")), entry(QStringLiteral("Alice"))});
  // The installed row first, then the catalogue's rows by name, not in document order.
  QCOMPARE(column(*model, EbookRole::Name),
           (QStringList{QStringLiteral("dune"), QStringLiteral("Alice"), QStringLiteral("Zorro")}));
  const auto installed = model->index(0);
  QCOMPARE(installed.data().toString(), QStringLiteral("Dune: A Novel"));
  QCOMPARE(installed.data(EbookRole::Author).toString(), QStringLiteral("A. Writer"));
  QCOMPARE(installed.data(EbookRole::Publisher).toString(), QStringLiteral("Arvex Press"));
  QCOMPARE(installed.data(EbookRole::PublicationDate).toString(), QStringLiteral("2021"));
  QCOMPARE(installed.data(EbookRole::Path).toString(), dune);
  QVERIFY(installed.data(EbookRole::IsInstalled).toBool());
  QVERIFY(!model->index(2).data(EbookRole::IsInstalled).toBool());
  QCOMPARE(model->index(2).data(EbookRole::Path).toString(), QString());
}

void TestEbookListModel::pictureNeedsItsCatalogueLink() {
  for (const auto& name : {QStringLiteral("Cached"), QStringLiteral("Unlinked")}) {
    home_->createFile(QStringLiteral(".arvexhub/thumbnails/ebooks/%1.png").arg(name), png());
  }
  server_->setResponse(QStringLiteral("/cover.png"), answer(png()));
  const auto cover = server_->url(QStringLiteral("/cover.png")).toString();
  const auto model = makeModel({entry(QStringLiteral("Cached"), {}, cover), entry(QStringLiteral("Unlinked")),
                                entry(QStringLiteral("Fetched"), {}, cover)});
  const auto picture = [&](const QString& name) {
    return model->index(model->ebookRowByName(name)).data(EbookRole::Thumbnail).value<QPixmap>();
  };
  QVERIFY(!picture(QStringLiteral("Cached")).isNull());
  QVERIFY(picture(QStringLiteral("Unlinked")).isNull()); // no link, no picture, cache or not
  QVERIFY(!picture(QStringLiteral("Fetched")).isNull());
  QCOMPARE(server_->requestCount(QStringLiteral("/cover.png")), 1); // only the one not cached
  QVERIFY(QFileInfo::exists(home_->filePath(QStringLiteral(".arvexhub/thumbnails/ebooks/Fetched.png"))));
}

void TestEbookListModel::readingEbookMarksItsRow() {
  const auto dune = installBook(QStringLiteral("Dune"));
  const auto model = makeModel({entry(QStringLiteral("Emma"))});
  QSignalSpy changed(model.get(), &QAbstractItemModel::dataChanged);
  QSignalSpy reading(model.get(), &EbookListModel::currentReadingEbookChanged);
  model->setCurrentReadingEbook(dune);
  model->setCurrentReadingEbook(dune);
  QCOMPARE(reading.count(), 1);
  QCOMPARE(changed.count(), 1);
  QCOMPARE(changed.first().at(2).value<QList<int>>(), QList<int>{EbookRole::IsReading});
  QCOMPARE(column(*model, EbookRole::IsReading),
           (QStringList{QStringLiteral("true"), QStringLiteral("false")}));
  QCOMPARE(model->property("currentReadingEbook").toString(), dune);
  QCOMPARE(model->property("rowCount").toInt(), 2);

  QVERIFY(QDir(ebooksFolder()).removeRecursively());
  const auto empty = makeModel({});
  QCOMPARE(empty->rowCount(), 0);
  empty->setCurrentReadingEbook(dune);
  QSignalSpy emptyChanged(empty.get(), &QAbstractItemModel::dataChanged);
  QSignalSpy emptyReading(empty.get(), &EbookListModel::currentReadingEbookChanged);
  empty->setCurrentReadingEbook(QString());
  QCOMPARE(emptyReading.count(), 1);
  QCOMPARE(emptyChanged.count(), 0);
}

void TestEbookListModel::removeEbookKeepsTheRow_data() {
  QTest::addColumn<QString>("removed");
  QTest::addColumn<QString>("reading"); // folder whose book is open
  QTest::addColumn<bool>("deleted");
  QTest::addColumn<QString>("warning");
  QTest::newRow("installed and open")
      << QStringLiteral("dune") << QStringLiteral("Dune") << true << QString();
  // "Dune" is a prefix of "Dune Messiah": removing one must not close the other.
  QTest::newRow("another book is open")
      << QStringLiteral("Dune") << QStringLiteral("Dune Messiah") << true << QString();
  QTest::newRow("catalogue row has no folder")
      << QStringLiteral("Emma") << QStringLiteral("Dune") << false << QString();
  QTest::newRow("unknown name") << QStringLiteral("Nothing") << QStringLiteral("Dune") << false << QString();
  QTest::newRow("book outside the library") << QStringLiteral("Outside") << QStringLiteral("Dune") << false
                                            << QStringLiteral("^Failed to remove ebook directory:");
}

void TestEbookListModel::removeEbookKeepsTheRow() {
  QFETCH(QString, removed);
  QFETCH(QString, reading);
  QFETCH(bool, deleted);
  QFETCH(QString, warning);
  const auto dune = installBook(QStringLiteral("Dune"));
  installBook(QStringLiteral("Dune Messiah"));
  const auto model = makeModel({entry(QStringLiteral("Emma"), QStringLiteral("https://example.com/e.zip"))});
  TestDir elsewhere;
  const auto outside = elsewhere.createFile(QStringLiteral("Outside/book.pdf"), "%PDF-1.4");
  model->addEbook(outside);
  // An empty path's folder is the working directory: it must survive whatever is removed.
  TestDir workingDir;
  const auto bystander = workingDir.createFile(QStringLiteral("keep.txt"), "mine");
  const auto previousDir = QDir::currentPath();
  QDir::setCurrent(workingDir.path());
  model->setCurrentEbookName(removed);
  const auto open = ebooksFolder() + QStringLiteral("/%1/book.pdf").arg(reading);
  model->setCurrentReadingEbook(open);
  const int rowsBefore = model->rowCount();
  if (deleted) {
    QTest::ignoreMessage(QtDebugMsg,
                         QRegularExpression(QStringLiteral("^Removed ebook directory: .*/Dune\"$")));
  }
  if (!warning.isEmpty()) {
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Not removing")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
  }

  model->removeEbook(removed);
  QDir::setCurrent(previousDir);
  QVERIFY(QFileInfo::exists(bystander));
  QCOMPARE(model->rowCount(), rowsBefore);
  QCOMPARE(QFileInfo::exists(ebooksFolder() + QStringLiteral("/Dune")), !deleted);
  QVERIFY(QFileInfo::exists(ebooksFolder() + QStringLiteral("/Dune Messiah/book.pdf")));
  // Nothing outside the library is deleted, and a book still on disk stays installed.
  QVERIFY(QFileInfo::exists(outside));
  QVERIFY(
      model->index(model->ebookRowByName(QStringLiteral("Outside"))).data(EbookRole::IsInstalled).toBool());
  const auto row = model->index(model->ebookRowByName(QStringLiteral("Dune")));
  QCOMPARE(row.data(EbookRole::IsInstalled).toBool(), !deleted);
  QCOMPARE(row.data(EbookRole::Path).toString(), deleted ? QString() : dune);
  QCOMPARE(model->ebookNameByPath(dune).isEmpty(), deleted);
  QCOMPARE(model->currentEbookName().isEmpty(), deleted);
  const bool stillOpen = !(deleted && reading == QLatin1String("Dune"));
  QCOMPARE(model->currentReadingEbook(), stillOpen ? open : QString());
  QCOMPARE(model->index(model->ebookRowByName(reading)).data(EbookRole::IsReading).toBool(), stillOpen);
}

void TestEbookListModel::downloadNeedsTheExactCatalogueName() {
  server_->setResponse(QStringLiteral("/emma.zip"),
                       answer(TestArchive::zip({{QStringLiteral("emma.pdf"), "%PDF-1.4", 0100644}})));
  const auto model =
      makeModel({entry(QStringLiteral("Emma"), server_->url(QStringLiteral("/emma.zip")).toString())});
  QSignalSpy done(model.get(), &EbookListModel::ebookDownloadFinished);
  model->downloadAndInstallEbook(QStringLiteral("emma"));
  QVERIFY(!model->index(0).data(EbookRole::IsBusy).toBool());

  model->downloadAndInstallEbook(QStringLiteral("Emma"));
  QVERIFY(model->index(0).data(EbookRole::IsBusy).toBool());
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Refusing to download")));
  model->downloadAndInstallEbook(QStringLiteral("Emma")); // the row is busy
  QVERIFY(done.wait(10000));
  QCOMPARE(done.first().first().toString(), QStringLiteral("Emma"));
  QCOMPARE(server_->requestCount(QStringLiteral("/emma.zip")), 1);
  const auto path = ebooksFolder() + QStringLiteral("/Emma/emma.pdf");
  QCOMPARE(model->index(0).data(EbookRole::Path).toString(), path);
  QVERIFY(model->index(0).data(EbookRole::IsInstalled).toBool());
  QVERIFY(!model->index(0).data(EbookRole::IsBusy).toBool());
  QCOMPARE(model->ebookNameByPath(path), QStringLiteral("Emma: A Novel"));
}

void TestEbookListModel::failedDownloadLeavesNothing_data() {
  QTest::addColumn<QByteArray>("archive"); // null: the server has nothing
  QTest::newRow("missing archive") << QByteArray();
  QTest::newRow("no document") << TestArchive::zip({{QStringLiteral("readme.txt"), "hi", 0100644}});
  QTest::newRow("document in a sub-folder")
      << TestArchive::zip({{QStringLiteral("Emma/emma.pdf"), "%PDF", 0100644}});
}

void TestEbookListModel::failedDownloadLeavesNothing() {
  QFETCH(QByteArray, archive);
  if (!archive.isNull()) {
    server_->setResponse(QStringLiteral("/emma.zip"), answer(archive));
  }
  const auto model =
      makeModel({entry(QStringLiteral("Emma"), server_->url(QStringLiteral("/emma.zip")).toString())});
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^(Download network error|No )")));
  QSignalSpy failed(model.get(), &EbookListModel::downloadFailed);
  model->downloadAndInstallEbook(QStringLiteral("Emma"));
  QVERIFY(failed.wait(10000));
  const auto row = model->index(0);
  QVERIFY(!row.data(EbookRole::IsBusy).toBool());
  QVERIFY(!row.data(EbookRole::IsInstalled).toBool());
  QCOMPARE(row.data(EbookRole::DownloadProgress).toDouble(), -1.0);
  QCOMPARE(QDir(ebooksFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
           QStringList());
}

QTEST_MAIN(TestEbookListModel)
#include "tst_ebooklistmodel.moc"
