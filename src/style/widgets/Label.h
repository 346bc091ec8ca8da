#pragma once

#include "style/StyleTypes.h"

#include <QLabel>

namespace arvexhub::style {

/// A label whose font and colours come from its typographic role. Text is plain by default,
/// so names and descriptions from outside never get interpreted as markup.
class Label final : public QLabel {
  Q_OBJECT

public:
  explicit Label(QWidget* parent = nullptr);
  explicit Label(const QString& text, QWidget* parent = nullptr);
  Label(const QString& text, TextRole role, QWidget* parent = nullptr);
  ~Label() override;
  Q_DISABLE_COPY_MOVE(Label)

  TextRole role() const;
  void setRole(TextRole role);

protected:
private:
  void applyRole();

  TextRole role_{TextRole::Default};
};

} // namespace arvexhub::style
