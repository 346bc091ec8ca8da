#include "style/widgets/AboutDialog.h"

#include "style/Icons16.h"
#include "style/Style.h"
#include "style/ThemeFollower.h"
#include "style/widgets/IconWidget.h"
#include "style/widgets/Label.h"

#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace arvexhub::style {
namespace {

constexpr int dialogWidth = 400;
constexpr int appIconSide = 64;

Label* makeCenteredLabel(TextRole role, QWidget* parent) {
  auto* label = new Label(QString(), role, parent);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setWordWrap(true);
  label->hide();
  return label;
}

QIcon externalLinkIcon(const QWidget* widget) {
  const auto path = icons::iconPath(icons::Icons16::Action_ExternalLink);
  auto* style = Style::of(widget);
  return style ? style->makeThemedIcon(path) : QIcon(path);
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("About"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(makeBody());
  layout->addWidget(makeBand());
  setFixedWidth(dialogWidth);
  new ThemeFollower(this, [this] {
    for (auto* button : links_->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly)) {
      button->setIcon(externalLinkIcon(this));
    }
    update();
  });
}

AboutDialog::~AboutDialog() = default;

QWidget* AboutDialog::makeBody() {
  const auto& theme = Style::themeOf(this);
  auto* body = new QWidget(this);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(theme.spacing * 3, theme.spacing * 3, theme.spacing * 3, theme.spacing * 2);
  layout->setSpacing(theme.spacing);
  icon_ = new IconWidget(QIcon(), QSize(appIconSide, appIconSide), body);
  icon_->hide();
  layout->addWidget(icon_, 0, Qt::AlignHCenter);
  name_ = makeCenteredLabel(TextRole::H3, body);
  version_ = makeCenteredLabel(TextRole::Caption, body);
  description_ = makeCenteredLabel(TextRole::Default, body);
  links_ = new QWidget(body);
  linksLayout_ = new QHBoxLayout(links_);
  linksLayout_->setContentsMargins(0, theme.spacing / 2, 0, theme.spacing / 2);
  linksLayout_->setSpacing(theme.spacing);
  // Buttons go between the two stretches, which keeps the row centred.
  linksLayout_->addStretch();
  linksLayout_->addStretch();
  websiteButton_ = makeLinkButton(tr("Website"), QUrl());
  license_ = makeCenteredLabel(TextRole::Caption, body);
  copyright_ = makeCenteredLabel(TextRole::Caption, body);
  for (auto* widget :
       {static_cast<QWidget*>(name_), static_cast<QWidget*>(version_), static_cast<QWidget*>(description_),
        links_, static_cast<QWidget*>(license_), static_cast<QWidget*>(copyright_)}) {
    layout->addWidget(widget);
  }
  updateLinksVisibility();
  return body;
}

QWidget* AboutDialog::makeBand() {
  const auto& theme = Style::themeOf(this);
  band_ = new QWidget(this);
  auto* layout = new QHBoxLayout(band_);
  layout->setContentsMargins(theme.spacing * 2, theme.spacing * 3 / 2, theme.spacing * 2,
                             theme.spacing * 3 / 2);
  layout->addStretch();
  auto* close = new QPushButton(tr("Close"), band_);
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(close);
  return band_;
}

QPushButton* AboutDialog::makeLinkButton(const QString& text, const QUrl& url) {
  auto* button = new QPushButton(externalLinkIcon(this), text, links_);
  button->setCursor(Qt::PointingHandCursor);
  button->setToolTip(url.toDisplayString());
  button->setProperty("url", url);
  button->setAutoDefault(false);
  // Each button reads its address when clicked, so the website can be changed later.
  connect(button, &QPushButton::clicked, this, [button] {
    const auto target = button->property("url").toUrl();
    if (target.isValid()) {
      QDesktopServices::openUrl(target);
    }
  });
  // Keep the trailing stretch last so the row stays centred.
  linksLayout_->insertWidget(linksLayout_->count() - 1, button);
  return button;
}

void AboutDialog::setLabelText(Label* label, const QString& text) {
  label->setText(text);
  label->setVisible(!text.isEmpty());
}

void AboutDialog::updateLinksVisibility() {
  const auto hasWebsite = websiteButton_->property("url").toUrl().isValid();
  websiteButton_->setVisible(hasWebsite);
  // Every other button of the row is a social media link, and those are always shown.
  const auto buttons = links_->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
  links_->setVisible(hasWebsite || buttons.size() > 1);
}

void AboutDialog::setIcon(const QIcon& icon) {
  icon_->setIcon(icon);
  icon_->setVisible(!icon.isNull());
}

void AboutDialog::setApplicationName(const QString& name) {
  setLabelText(name_, name);
  setWindowTitle(name.isEmpty() ? tr("About") : tr("About %1").arg(name));
}

void AboutDialog::setVersion(const QString& version) {
  setLabelText(version_, version);
}

void AboutDialog::setDescription(const QString& description) {
  setLabelText(description_, description);
}

void AboutDialog::setWebsiteUrl(const QUrl& url) {
  websiteButton_->setProperty("url", url);
  websiteButton_->setToolTip(url.toDisplayString());
  updateLinksVisibility();
}

void AboutDialog::setLicense(const QString& license) {
  setLabelText(license_, license);
}

void AboutDialog::setCopyright(const QString& copyright) {
  setLabelText(copyright_, copyright);
}

void AboutDialog::addSocialMediaLink(const QString& name, const QUrl& url) {
  makeLinkButton(name, url)->show();
  updateLinksVisibility();
}

void AboutDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  const auto& theme = Style::themeOf(this);
  const auto band = band_->geometry();
  QPainter painter(this);
  painter.fillRect(band, theme.backgroundColorMain2);
  painter.fillRect(QRect(band.left(), band.top(), band.width(), theme.borderWidth), theme.borderColor);
}

} // namespace arvexhub::style
