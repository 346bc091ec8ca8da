#pragma once

#include <QDialog>
#include <QUrl>

class QHBoxLayout;
class QPushButton;

namespace arvexhub::style {

class IconWidget;
class Label;

/// The "About" box: the application's icon, name, version and description, its links,
/// license and copyright, and a band with a Close button. Empty fields are not shown.
class AboutDialog final : public QDialog {
  Q_OBJECT

public:
  explicit AboutDialog(QWidget* parent = nullptr);
  ~AboutDialog() override;
  Q_DISABLE_COPY_MOVE(AboutDialog)

  void setIcon(const QIcon& icon);
  void setApplicationName(const QString& name);
  void setVersion(const QString& version);
  void setDescription(const QString& description);
  void setWebsiteUrl(const QUrl& url);
  void setLicense(const QString& license);
  void setCopyright(const QString& copyright);
  void addSocialMediaLink(const QString& name, const QUrl& url);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QWidget* makeBody();
  QWidget* makeBand();
  static void setLabelText(Label* label, const QString& text);
  QPushButton* makeLinkButton(const QString& text, const QUrl& url);
  void updateLinksVisibility();

  IconWidget* icon_{nullptr};
  Label* name_{nullptr};
  Label* version_{nullptr};
  Label* description_{nullptr};
  Label* license_{nullptr};
  Label* copyright_{nullptr};
  QWidget* links_{nullptr};
  QHBoxLayout* linksLayout_{nullptr};
  QPushButton* websiteButton_{nullptr};
  QWidget* band_{nullptr};
};

} // namespace arvexhub::style
