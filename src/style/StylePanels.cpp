#include "style/StylePanels.h"

#include "style/StylePrimitives.h"

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace arvexhub::style {
namespace {

using icons::Icons16;

constexpr int kSubMenuArrowWidth = 16;

/// Widgets drawn with rounded corners need a see-through window, else the corners show.
qreal windowRadius(const Theme& theme, const QWidget* w) {
  return w && w->isWindow() && w->testAttribute(Qt::WA_TranslucentBackground) ? theme.borderRadius : 0;
}

bool hasIconColumn(const QStyleOptionMenuItem* item) {
  return item->menuHasCheckableItems || item->maxIconWidth > 0;
}

void drawMenuSeparator(const StyleContext& c, const QStyleOptionMenuItem* item, QPainter* p) {
  const QRect r = item->rect;
  const int y = r.center().y();
  drawLine(p, QPointF(r.left() + c.theme.spacing / 2.0, y), QPointF(r.right() - c.theme.spacing / 2.0, y),
           c.theme.borderColor);
}

void drawMenuItemCheck(const StyleContext& c, const QStyleOptionMenuItem* item, QPainter* p,
                       const QRect& cell, const QColor& fg) {
  if (item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked) {
    if (item->checkType == QStyleOptionMenuItem::Exclusive) {
      const QRectF dot = QRectF(centeredRect(cell, QSize(6, 6)));
      drawRoundedRect(p, dot, fg, Qt::transparent, 0, 3);
    } else {
      drawTintedIcon(p, cell, c.icon(Icons16::Action_CheckTickSmall), kIconSize, fg);
    }
    return;
  }
  if (!item->icon.isNull()) {
    const bool enabled = item->state.testFlag(QStyle::State_Enabled);
    const bool selected = item->state.testFlag(QStyle::State_Selected);
    const auto mode = !enabled ? QIcon::Disabled : selected ? QIcon::Selected : QIcon::Normal;
    drawCenteredIcon(p, cell, item->icon, kIconSize, mode, QIcon::Off);
  }
}

void drawMenuItemTexts(const StyleContext& c, const QStyleOptionMenuItem* item, QPainter* p,
                       const QRect& textRect, const QColor& fg, const QColor& shortcutFg) {
  const auto tab = item->text.indexOf(QLatin1Char('\t'));
  const auto label = tab < 0 ? item->text : item->text.left(tab);
  p->save();
  p->setFont(item->font);
  p->setPen(fg);
  const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextHideMnemonic;
  p->drawText(textRect, flags | Qt::AlignLeft, label);
  if (tab >= 0) {
    p->setPen(shortcutFg);
    p->drawText(textRect, flags | Qt::AlignRight, item->text.mid(tab + 1));
  }
  p->restore();
  Q_UNUSED(c)
}

} // namespace

void drawMenuPanel(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w) {
  drawRoundedRect(p, opt->rect, c.theme.backgroundColorMain1, c.theme.borderColor, c.theme.borderWidth,
                  windowRadius(c.theme, w));
}

void drawMenuItem(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
  if (!item || item->menuItemType == QStyleOptionMenuItem::EmptyArea) {
    return;
  }
  if (item->menuItemType == QStyleOptionMenuItem::Separator) {
    drawMenuSeparator(c, item, p);
    return;
  }
  const bool enabled = opt->state.testFlag(QStyle::State_Enabled);
  const bool selected = enabled && opt->state.testFlag(QStyle::State_Selected);
  if (selected) {
    drawRoundedRect(p, opt->rect, c.theme.primaryColor, Qt::transparent, 0, c.theme.menuItemBorderRadius);
  }
  const QColor fg = !enabled   ? c.theme.secondaryColorDisabled
                    : selected ? c.theme.primaryColorForeground
                               : c.theme.secondaryColor;
  const QColor shortcutFg = selected  ? c.theme.primaryColorForeground
                            : enabled ? c.theme.secondaryAlternativeColor
                                      : c.theme.secondaryColorDisabled;
  const int pad = c.theme.spacing;
  QRect content = opt->rect.adjusted(pad, 0, -pad, 0);
  if (hasIconColumn(item)) {
    drawMenuItemCheck(c, item, p, QRect(content.left(), content.top(), kIconSize.width(), content.height()),
                      fg);
    content.setLeft(content.left() + kIconSize.width() + pad);
  }
  const QRect arrow(content.right() - kSubMenuArrowWidth + 1, content.top(), kSubMenuArrowWidth,
                    content.height());
  content.setRight(arrow.left() - pad / 2);
  if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
    drawTintedIcon(p, arrow, c.icon(Icons16::Navigation_ChevronRight), kIconSize, fg);
  }
  drawMenuItemTexts(c, item, p, content, fg, shortcutFg);
}

QSize menuItemSize(const Theme& theme, const QStyleOption* opt, const QSize& contents) {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
  if (!item) {
    return contents;
  }
  if (item->menuItemType == QStyleOptionMenuItem::Separator) {
    return {contents.width(), theme.spacing + 1};
  }
  int width = contents.width() + 2 * theme.spacing + kSubMenuArrowWidth + theme.spacing / 2;
  if (hasIconColumn(item)) {
    width += kIconSize.width() + theme.spacing;
  }
  if (item->text.contains(QLatin1Char('\t'))) {
    width += 2 * theme.spacing;
  }
  return {width, qMax(contents.height(), theme.controlHeightLarge)};
}

void drawMenuBarItem(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(opt);
  if (!item) {
    return;
  }
  const bool enabled = opt->state.testFlag(QStyle::State_Enabled);
  const bool open = opt->state.testFlag(QStyle::State_Sunken);
  const bool hovered = opt->state.testFlag(QStyle::State_Selected);
  if (enabled && (open || hovered)) {
    const auto fill = open ? c.theme.semiTransparentColor3 : c.theme.semiTransparentColor2;
    drawRoundedRect(p, QRectF(opt->rect).adjusted(0, 2, 0, -2), fill, Qt::transparent, 0,
                    c.theme.borderRadius);
  }
  p->save();
  p->setPen(enabled ? c.theme.secondaryColor : c.theme.secondaryColorDisabled);
  p->setFont(item->font);
  p->drawText(opt->rect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextHideMnemonic, item->text);
  p->restore();
}

void drawTabShape(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(opt);
  if (!tab) {
    return;
  }
  const auto state = mouseState(opt);
  const bool selected = opt->state.testFlag(QStyle::State_Selected);
  const QRectF r = QRectF(opt->rect).adjusted(2, 3, -2, -3);
  const auto hover = selected ? QColor(Qt::transparent) : semiTransparentBackground(c.theme, state, false);
  drawRoundedRect(p, r, hover, Qt::transparent, 0, c.theme.borderRadius);
  if (selected) {
    const qreal t = c.theme.focusBorderWidth;
    const QRectF o = QRectF(opt->rect).adjusted(c.theme.spacing, 0, -c.theme.spacing, 0);
    QRectF bar(o.left(), o.bottom() + 1 - t, o.width(), t);
    if (tab->shape == QTabBar::RoundedSouth || tab->shape == QTabBar::TriangularSouth) {
      bar.moveTop(o.top());
    } else if (tab->shape == QTabBar::RoundedWest || tab->shape == QTabBar::TriangularWest) {
      bar = QRectF(opt->rect.left(), opt->rect.top() + c.theme.spacing, t,
                   opt->rect.height() - 2 * c.theme.spacing);
    } else if (tab->shape == QTabBar::RoundedEast || tab->shape == QTabBar::TriangularEast) {
      bar = QRectF(opt->rect.right() + 1 - t, opt->rect.top() + c.theme.spacing, t,
                   opt->rect.height() - 2 * c.theme.spacing);
    }
    const auto barState = state == MouseState::Disabled ? state : MouseState::Normal;
    drawRoundedRect(p, bar, primaryBackground(c.theme, barState), Qt::transparent, 0, t / 2);
  }
  if (hasKeyboardFocus(opt)) {
    drawFocusRing(p, r, c.theme, c.theme.borderRadius);
  }
}

void drawTabBarBase(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto* base = qstyleoption_cast<const QStyleOptionTabBarBase*>(opt);
  const QRect r = opt->rect;
  const auto shape = base ? base->shape : QTabBar::RoundedNorth;
  QLineF line(r.bottomLeft(), r.bottomRight());
  if (shape == QTabBar::RoundedSouth || shape == QTabBar::TriangularSouth) {
    line = QLineF(r.topLeft(), r.topRight());
  } else if (shape == QTabBar::RoundedWest || shape == QTabBar::TriangularWest) {
    line = QLineF(r.topRight(), r.bottomRight());
  } else if (shape == QTabBar::RoundedEast || shape == QTabBar::TriangularEast) {
    line = QLineF(r.topLeft(), r.bottomLeft());
  }
  drawLine(p, line.p1(), line.p2(), c.theme.borderColor);
}

void drawTabWidgetPane(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  drawRoundedRect(p, opt->rect, c.theme.backgroundColorMain1, c.theme.borderColor, c.theme.borderWidth,
                  c.theme.borderRadius);
}

void drawTabClose(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto state = mouseState(opt);
  if (state == MouseState::Hovered || state == MouseState::Pressed) {
    drawRoundedRect(p, opt->rect, semiTransparentBackground(c.theme, state, false), Qt::transparent, 0,
                    c.theme.checkBoxBorderRadius);
  }
  const auto color = textForeground(c.theme, state == MouseState::Disabled ? state : MouseState::Normal);
  drawTintedIcon(p, opt->rect, c.icon(Icons16::Action_Close), QSize(12, 12), color);
}

void drawShapedFrame(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(opt);
  if (!frame || frame->frameShape == QFrame::NoFrame) {
    return;
  }
  const QRect r = opt->rect;
  if (frame->frameShape == QFrame::HLine) {
    drawLine(p, QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()), c.theme.borderColor);
  } else if (frame->frameShape == QFrame::VLine) {
    drawLine(p, QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()), c.theme.borderColor);
  } else {
    const auto border =
        opt->state.testFlag(QStyle::State_Enabled) ? c.theme.borderColor : c.theme.borderColorDisabled;
    drawRoundedRect(p, r, c.theme.backgroundColorMain1, border, c.theme.borderWidth, c.theme.borderRadius);
  }
}

void drawGroupBoxFrame(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  drawRoundedRect(p, opt->rect, c.theme.semiTransparentColor1, c.theme.borderColor, c.theme.borderWidth,
                  c.theme.borderRadius);
}

void drawHeaderSection(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(opt);
  const QRect r = opt->rect;
  p->fillRect(r, c.theme.backgroundColorMain1);
  if (header && opt->state.testFlag(QStyle::State_Enabled) &&
      (opt->state.testFlag(QStyle::State_MouseOver) || opt->state.testFlag(QStyle::State_Sunken))) {
    p->fillRect(r, opt->state.testFlag(QStyle::State_Sunken) ? c.theme.semiTransparentColor2
                                                             : c.theme.semiTransparentColor1);
  }
  drawLine(p, QPointF(r.left(), r.bottom()), QPointF(r.right(), r.bottom()), c.theme.borderColor);
  const bool last = header && (header->position == QStyleOptionHeader::End ||
                               header->position == QStyleOptionHeader::OnlyOneSection);
  if (header && !last && header->orientation == Qt::Horizontal) {
    const int inset = r.height() / 4;
    drawLine(p, QPointF(r.right(), r.top() + inset), QPointF(r.right(), r.bottom() - inset),
             c.theme.borderColor);
  }
}

void drawItemViewPanel(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(opt);
  if (!item) {
    return;
  }
  if (item->backgroundBrush.style() != Qt::NoBrush) {
    p->fillRect(opt->rect, item->backgroundBrush);
  }
  const bool selected = opt->state.testFlag(QStyle::State_Selected);
  const bool hovered =
      opt->state.testFlag(QStyle::State_MouseOver) && opt->state.testFlag(QStyle::State_Enabled);
  if (!selected && !hovered) {
    return;
  }
  const QColor fill = !selected                                    ? c.theme.semiTransparentColor1
                      : opt->state.testFlag(QStyle::State_Enabled) ? c.theme.primaryColor
                                                                   : c.theme.primaryColorDisabled;
  // Cells of one row join into one rounded band: only the row's ends are rounded.
  const qreal radius = c.theme.menuItemBorderRadius;
  QRectF band = opt->rect;
  const auto position = item->viewItemPosition;
  if (position == QStyleOptionViewItem::Middle || position == QStyleOptionViewItem::End) {
    band.setLeft(band.left() - 2 * radius);
  }
  if (position == QStyleOptionViewItem::Middle || position == QStyleOptionViewItem::Beginning) {
    band.setRight(band.right() + 2 * radius);
  }
  p->save();
  p->setClipRect(opt->rect);
  drawRoundedRect(p, band, fill, Qt::transparent, 0, radius);
  p->restore();
}

void drawBranch(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  if (!opt->state.testFlag(QStyle::State_Children)) {
    return;
  }
  const bool open = opt->state.testFlag(QStyle::State_Open);
  const auto icon = c.icon(open ? Icons16::Navigation_ChevronDown : Icons16::Navigation_ChevronRight);
  const bool enabled = opt->state.testFlag(QStyle::State_Enabled);
  const QColor color = !enabled                                      ? c.theme.secondaryColorDisabled
                       : opt->state.testFlag(QStyle::State_Selected) ? c.theme.primaryColorForeground
                                                                     : c.theme.secondaryAlternativeColor;
  drawTintedIcon(p, opt->rect, icon, kIconSize, color);
}

void drawSplitter(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const QRect r = opt->rect;
  const bool hovered =
      opt->state.testFlag(QStyle::State_MouseOver) || opt->state.testFlag(QStyle::State_Sunken);
  const auto color = hovered ? c.theme.primaryColor : c.theme.borderColor;
  if (opt->state.testFlag(QStyle::State_Horizontal)) {
    drawLine(p, QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()), color);
  } else {
    drawLine(p, QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()), color);
  }
}

void drawToolBar(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const auto* bar = qstyleoption_cast<const QStyleOptionToolBar*>(opt);
  const QRect r = opt->rect;
  p->fillRect(r, c.theme.backgroundColorMain2);
  const auto area = bar ? bar->toolBarArea : Qt::TopToolBarArea;
  QLineF line(r.bottomLeft(), r.bottomRight());
  if (area == Qt::BottomToolBarArea) {
    line = QLineF(r.topLeft(), r.topRight());
  } else if (area == Qt::LeftToolBarArea) {
    line = QLineF(r.topRight(), r.bottomRight());
  } else if (area == Qt::RightToolBarArea) {
    line = QLineF(r.topLeft(), r.bottomLeft());
  }
  drawLine(p, line.p1(), line.p2(), c.theme.borderColor);
}

void drawToolBarSeparator(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const QRect r = opt->rect;
  const int inset = c.theme.spacing / 2;
  if (opt->state.testFlag(QStyle::State_Horizontal)) {
    drawLine(p, QPointF(r.center().x(), r.top() + inset), QPointF(r.center().x(), r.bottom() - inset),
             c.theme.borderColor);
  } else {
    drawLine(p, QPointF(r.left() + inset, r.center().y()), QPointF(r.right() - inset, r.center().y()),
             c.theme.borderColor);
  }
}

void drawStatusBar(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  const QRect r = opt->rect;
  p->fillRect(r, c.theme.backgroundColorMain2);
  drawLine(p, QPointF(r.left(), r.top()), QPointF(r.right(), r.top()), c.theme.borderColor);
}

void drawToolTip(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w) {
  drawRoundedRect(p, opt->rect, c.theme.secondaryColor, Qt::transparent, 0, windowRadius(c.theme, w));
}

void drawRubberBand(const StyleContext& c, const QStyleOption* opt, QPainter* p) {
  QColor fill = c.theme.primaryColor;
  fill.setAlphaF(0.2f);
  drawRoundedRect(p, opt->rect, fill, c.theme.primaryColor, 1, 2);
}

} // namespace arvexhub::style
