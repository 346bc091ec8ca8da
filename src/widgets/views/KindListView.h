#pragma once

#include "app/Controller.h"
#include "widgets/views/LibraryListView.h"

#include <QCoreApplication>
#include <QMenu>

namespace arvexhub::launcher {

/// The grid of one kind of the library: which of the controller's models it shows, the cards it
/// paints them with, how it sets and finds the model's current item, and its hint for an empty
/// library. Each kind adds what opening an item does and what its menu holds.
template <typename Model, typename Delegate>
class KindListView : public LibraryListView {
public:
  /// Where the kind's model and its current item are, how its grid departs from the others and
  /// what it says when empty.
  struct Kind {
    Model* (Controller::*model)() const;
    void (Model::*setCurrentName)(const QString&);
    void (Model::*currentNameChanged)(const QString&);
    Traits traits;
    /// Translated in the context "ArvexHubLauncher".
    const char* emptyText;
  };

protected:
  KindListView(Controller* controller, const Kind& kind, QWidget* parent)
      : LibraryListView(controller, kind.traits, parent)
      , kind_(kind) {
    setItemDelegate(new Delegate(this));
    if (Model* model = items()) {
      connect(model, kind_.currentNameChanged, this, &KindListView::selectItem);
    }
    setUpModel(items());
  }

  /// The kind's model; null without a controller.
  Model* items() const {
    return controller() != nullptr ? (controller()->*kind_.model)() : nullptr;
  }

  void setCurrentItemName(const QString& name) override {
    (items()->*kind_.setCurrentName)(name);
  }

  int sourceRowByName(const QString& name) const override {
    return items()->rowByName(name);
  }

  QString emptyText() const override {
    return QCoreApplication::translate("ArvexHubLauncher", kind_.emptyText);
  }

  /// Hands the item's path in that role to a controller operation; false when it has none.
  bool openPath(const QModelIndex& index, int pathRole, void (Controller::*open)(const QString&)) {
    const QString path = index.data(pathRole).toString();
    if (controller() == nullptr || path.isEmpty()) {
      return false;
    }
    (controller()->*open)(path);
    return true;
  }

  /// A menu entry that calls a controller operation with those arguments; it does nothing once
  /// the controller is gone.
  template <typename... Parameters, typename... Arguments>
  QAction* addControllerEntry(QMenu* menu, const QString& text, void (Controller::*operation)(Parameters...),
                              const Arguments&... arguments) {
    return menu->addAction(text, this, [this, operation, arguments...] {
      if (controller() != nullptr) {
        (controller()->*operation)(arguments...);
      }
    });
  }

private:
  Kind kind_;
};

} // namespace arvexhub::launcher
