#pragma once

#include "style/StyleContext.h"

#include <QStyle>

class QPainter;
class QStyleOption;

namespace arvexhub::style {

// Containers and chrome: menus, tabs, frames, views, bars. Each draws one style element.
void drawMenuPanel(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w);
void drawMenuItem(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawMenuBarItem(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawTabShape(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawTabBarBase(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawTabWidgetPane(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawTabClose(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawShapedFrame(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawGroupBoxFrame(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawHeaderSection(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawItemViewPanel(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawBranch(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawSplitter(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawToolBar(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawToolBarSeparator(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawStatusBar(const StyleContext& c, const QStyleOption* opt, QPainter* p);
void drawToolTip(const StyleContext& c, const QStyleOption* opt, QPainter* p, const QWidget* w);
void drawRubberBand(const StyleContext& c, const QStyleOption* opt, QPainter* p);

/// Size of a menu item around its text (and shortcut) size.
QSize menuItemSize(const Theme& theme, const QStyleOption* opt, const QSize& contents);

} // namespace arvexhub::style
