#include "style/ThemeManager.h"

#include "style/Style.h"

#include <QDir>
#include <QtDebug>

namespace arvexhub::style {

ThemeManager::ThemeManager(Style* style, QObject* parent)
    : QObject(parent)
    , style_(style) {}

ThemeManager::~ThemeManager() = default;

void ThemeManager::loadDirectory(const QString& path) {
  const QDir dir(path);
  const auto entries =
      dir.entryInfoList({QStringLiteral("*.json")}, QDir::Files | QDir::Readable, QDir::Name);
  for (const auto& entry : entries) {
    if (const auto theme = Theme::fromJsonPath(entry.absoluteFilePath())) {
      addTheme(*theme);
    } else {
      qWarning() << "Skipping theme file:" << entry.absoluteFilePath();
    }
  }
}

void ThemeManager::addTheme(const Theme& theme) {
  const auto index = indexOf(theme.meta.name);
  if (index < 0) {
    themes_.push_back(theme);
    return;
  }
  themes_[static_cast<std::size_t>(index)] = theme;
  if (index == currentIndex_ && style_) {
    style_->setTheme(theme);
  }
}

const std::vector<Theme>& ThemeManager::themes() const {
  return themes_;
}

QString ThemeManager::currentTheme() const {
  return currentIndex_ < 0 ? QString() : themes_[static_cast<std::size_t>(currentIndex_)].meta.name;
}

void ThemeManager::setCurrentTheme(const QString& id) {
  const auto index = indexOf(id);
  if (index < 0) {
    qWarning() << "Unknown theme, the current one stays:" << id;
    return;
  }
  setCurrentIndex(index);
}

void ThemeManager::setNextTheme() {
  if (themes_.empty()) {
    return;
  }
  setCurrentIndex((currentIndex_ + 1) % static_cast<int>(themes_.size()));
}

int ThemeManager::indexOf(const QString& id) const {
  for (std::size_t i = 0; i < themes_.size(); ++i) {
    if (themes_[i].meta.name == id) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void ThemeManager::setCurrentIndex(int index) {
  if (index == currentIndex_) {
    return;
  }
  currentIndex_ = index;
  if (style_) {
    style_->setTheme(themes_[static_cast<std::size_t>(index)]);
  }
  emit currentThemeChanged();
}

} // namespace arvexhub::style
