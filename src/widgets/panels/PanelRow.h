#pragma once

class QWidget;

namespace arvexhub::style {
class Expander;
}

namespace arvexhub::launcher {

/// Lays out a library tab's row in `row`: the grid, then its properties panel behind a vertical
/// line in a horizontal expander, closed at first. Returns the expander; what opens and closes it
/// is the caller's to say.
style::Expander* layOutPanelRow(QWidget* row, QWidget* view, QWidget* panel);

} // namespace arvexhub::launcher
