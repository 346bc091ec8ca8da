#include "app/Application.h"

int main(int argc, char* argv[]) {
  QCoreApplication::setApplicationName(QStringLiteral("Arvex Hub"));
  QCoreApplication::setApplicationVersion(QStringLiteral(ARVEXHUB_VERSION));
  arvexhub::launcher::Application app(argc, argv);
  return QApplication::exec();
}
