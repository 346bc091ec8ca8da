#pragma once

class QAbstractItemView;
class QString;

namespace arvexhub::launcher {

/// Paints `text` centred in the view's viewport, in the theme's H2 heading font and its
/// secondary alternative colour, when the view's model has no rows under the view's root.
/// Called by the library views after their own painting.
void paintEmptyStateHint(QAbstractItemView* view, const QString& text);

} // namespace arvexhub::launcher
