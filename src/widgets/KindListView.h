#pragma once

#include "app/Controller.h"
#include "widgets/LibraryListView.h"

#include <QCoreApplication>

namespace arvexhub::launcher {

/// The grid of one kind of the library: which of the controller's models it shows, the cards it
/// paints them with, how it sets and finds the model's current item, and its hint for an empty
/// library. Each kind adds what opening an item does and what its menu holds.
template <typename Model, typename Delegate>
class KindListView : public LibraryListView {
public:
  /// Where the kind's model and its current item are, and what an empty grid says.
  struct Kind {
    Model* (Controller::*model)() const;
    void (Model::*setCurrentName)(const QString&);
    void (Model::*currentNameChanged)(const QString&);
    /// Translated in the context "ArvexHubLauncher".
    const char* emptyText;
  };

protected:
  KindListView(Controller* controller, const Traits& traits, const Kind& kind, QWidget* parent)
      : LibraryListView(controller, traits, parent)
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

private:
  Kind kind_;
};

} // namespace arvexhub::launcher
