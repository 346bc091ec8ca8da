#include "style/Style.h"

#include "style/Icons16.h"
#include "style/StyleAnimations.h"
#include "style/StyleControls.h"
#include "style/StylePanels.h"
#include "style/StylePrimitives.h"
#include "style/ThemedIconEngine.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QSplitterHandle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QSvgRenderer>
#include <QTabBar>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>

namespace arvexhub::style {
namespace {

/// A tool button that opens a menu on click: its chevron gets a place of its own at the
/// right instead of sitting on top of the text.
bool hasMenuIndicator(const QStyleOption* option) {
  const auto* button = qstyleoption_cast<const QStyleOptionToolButton*>(option);
  return button && button->features.testFlag(QStyleOptionToolButton::HasMenu) &&
         !button->features.testFlag(QStyleOptionToolButton::MenuButtonPopup);
}

void setRole(QPalette& palette, QPalette::ColorRole role, const QColor& normal, const QColor& disabled) {
  palette.setColor(QPalette::Active, role, normal);
  palette.setColor(QPalette::Inactive, role, normal);
  palette.setColor(QPalette::Disabled, role, disabled);
}

void setRole(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
  setRole(palette, role, color, color);
}

QPalette paletteFromTheme(const Theme& t) {
  QPalette palette;
  setRole(palette, QPalette::Window, t.backgroundColorMain2);
  setRole(palette, QPalette::WindowText, t.secondaryColor, t.secondaryColorDisabled);
  setRole(palette, QPalette::Base, t.backgroundColorMain1);
  setRole(palette, QPalette::AlternateBase, t.backgroundColorMain2);
  setRole(palette, QPalette::Text, t.secondaryColor, t.secondaryColorDisabled);
  setRole(palette, QPalette::Button, t.neutralColor, t.neutralColorDisabled);
  setRole(palette, QPalette::ButtonText, t.secondaryColor, t.secondaryColorDisabled);
  setRole(palette, QPalette::Highlight, t.primaryColor, t.primaryColorDisabled);
  setRole(palette, QPalette::HighlightedText, t.primaryColorForeground, t.primaryColorForegroundDisabled);
  setRole(palette, QPalette::ToolTipBase, t.secondaryColor);
  setRole(palette, QPalette::ToolTipText, t.secondaryColorForeground);
  setRole(palette, QPalette::PlaceholderText, t.secondaryAlternativeColor,
          t.secondaryAlternativeColorDisabled);
  setRole(palette, QPalette::Light, t.backgroundColorMain3);
  setRole(palette, QPalette::Midlight, t.backgroundColorMain4);
  setRole(palette, QPalette::Mid, t.borderColor);
  setRole(palette, QPalette::Dark, t.shadowColor2);
  setRole(palette, QPalette::Shadow, t.shadowColor3);
  setRole(palette, QPalette::Link, t.primaryAlternativeColor, t.primaryAlternativeColorDisabled);
  setRole(palette, QPalette::LinkVisited, t.primaryAlternativeColorPressed,
          t.primaryAlternativeColorDisabled);
  setRole(palette, QPalette::BrightText, t.statusColorError, t.statusColorErrorDisabled);
  return palette;
}

QImage renderSvg(QSvgRenderer& renderer, const QSize& size, qreal dpr) {
  QImage image((QSizeF(size) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
  painter.end();
  image.setDevicePixelRatio(dpr);
  return image;
}

/// The image's shape (its alpha) filled with the colour.
QPixmap colorized(const QImage& shape, const QColor& color) {
  QImage image = shape;
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(QRect(QPoint(0, 0), image.size()), color);
  painter.end();
  return QPixmap::fromImage(image);
}

/// Our icon for the standard pixmaps the program shows; false for the others.
bool standardPixmapIcon(QStyle::StandardPixmap standardPixmap, icons::Icons16& icon) {
  using I = icons::Icons16;
  static const QHash<int, I> table{
      {QStyle::SP_MediaPlay, I::Media_Play},
      {QStyle::SP_MediaPause, I::Media_Pause},
      {QStyle::SP_MediaStop, I::Media_Stop},
      {QStyle::SP_MediaSkipBackward, I::Media_SkipBackward},
      {QStyle::SP_MediaSkipForward, I::Media_SkipForward},
      {QStyle::SP_ArrowLeft, I::Navigation_ChevronLeft},
      {QStyle::SP_ArrowRight, I::Navigation_ChevronRight},
      {QStyle::SP_DialogCloseButton, I::Action_Close},
      {QStyle::SP_DialogOpenButton, I::File_FolderOpen},
      {QStyle::SP_DialogSaveButton, I::Action_Save},
      {QStyle::SP_TrashIcon, I::Action_Trash},
      {QStyle::SP_TitleBarMaxButton, I::Navigation_Fullscreen},
      {QStyle::SP_TitleBarNormalButton, I::Navigation_FullscreenExit},
      {QStyle::SP_ToolBarHorizontalExtensionButton, I::Navigation_ChevronRight},
      {QStyle::SP_MessageBoxInformation, I::Misc_Info},
      {QStyle::SP_MessageBoxWarning, I::Misc_Warning},
      {QStyle::SP_MessageBoxQuestion, I::Misc_Question},
  };
  const auto it = table.constFind(standardPixmap);
  if (it == table.cend()) {
    return false;
  }
  icon = *it;
  return true;
}

} // namespace

struct Style::Private {
  Theme theme;
  QPalette palette{paletteFromTheme(theme)};
  bool animationsEnabled{true};
  AutoIconColor autoIconColor{AutoIconColor::None};
  IconPathGetter iconPathGetter;
  mutable QHash<QString, QPixmap> iconCache; ///< themed icon pictures of the current theme
  mutable StyleAnimations animations;
};

Style::Style(QObject* parent)
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    , d(std::make_unique<Private>()) {
  setParent(parent);
}

Style::~Style() = default;

Style* Style::of(const QWidget* widget) {
  return qobject_cast<Style*>(widget ? widget->style() : QApplication::style());
}

const Theme& Style::themeOf(const QWidget* widget) {
  if (const auto* style = of(widget)) {
    return style->theme();
  }
  static const Theme defaultTheme;
  return defaultTheme;
}

const Theme& Style::theme() const {
  return d->theme;
}

void Style::setTheme(const Theme& theme) {
  d->theme = theme;
  d->palette = paletteFromTheme(theme);
  d->iconCache.clear();
  if (QApplication::style() == this) {
    QApplication::setPalette(d->palette);
    QApplication::setFont(theme.fontRegular);
  }
  const auto widgets = QApplication::allWidgets();
  for (auto* widget : widgets) {
    if (widget->style() == this) {
      unpolish(widget);
      polish(widget);
      widget->update();
    }
  }
  emit themeChanged();
}

bool Style::animationsEnabled() const {
  return d->animationsEnabled;
}

void Style::setAnimationsEnabled(bool enabled) {
  d->animationsEnabled = enabled;
}

AutoIconColor Style::autoIconColor() const {
  return d->autoIconColor;
}

void Style::setAutoIconColor(AutoIconColor autoIconColor) {
  d->autoIconColor = autoIconColor;
}

void Style::setIconPathGetter(IconPathGetter getter) {
  d->iconPathGetter = std::move(getter);
}

QString Style::iconPathForName(const QString& freedesktopName) const {
  return d->iconPathGetter ? d->iconPathGetter(freedesktopName) : QString();
}

QIcon Style::makeThemedIcon(const QString& svgPath, const QSize& size) const {
  // Only whether the file is there: parsing it here as well as when it is drawn cost a tenth of
  // the window's construction. A file that is not valid SVG draws nothing.
  if (!QFileInfo::exists(svgPath)) {
    qWarning() << "No icon file" << svgPath;
    return {};
  }
  return QIcon(new ThemedIconEngine(this, svgPath, size));
}

QPixmap Style::themedIconPixmap(const QString& svgPath, const QSize& size, QIcon::Mode mode,
                                qreal dpr) const {
  const auto key = QStringLiteral("%1|%2x%3|%4|%5")
                       .arg(svgPath)
                       .arg(size.width())
                       .arg(size.height())
                       .arg(int(mode))
                       .arg(dpr);
  if (const auto it = d->iconCache.constFind(key); it != d->iconCache.cend()) {
    return *it;
  }
  QSvgRenderer renderer(svgPath);
  if (!renderer.isValid() || size.isEmpty()) {
    return {};
  }
  const auto color = [this, mode] {
    switch (mode) {
    case QIcon::Disabled:
      return d->theme.secondaryColorDisabled;
    case QIcon::Active:
      return d->theme.secondaryColorHovered;
    case QIcon::Selected:
      return d->theme.primaryColorForeground;
    case QIcon::Normal:
      break;
    }
    return d->theme.secondaryColor;
  }();
  const auto pixmap = colorized(renderSvg(renderer, size, dpr), color);
  d->iconCache.insert(key, pixmap);
  return pixmap;
}

QPalette Style::paletteForTextRole(TextRole role) const {
  auto palette = d->palette;
  if (role == TextRole::Caption) {
    setRole(palette, QPalette::WindowText, d->theme.secondaryAlternativeColor,
            d->theme.secondaryAlternativeColorDisabled);
    setRole(palette, QPalette::Text, d->theme.secondaryAlternativeColor,
            d->theme.secondaryAlternativeColorDisabled);
  }
  return palette;
}

QFont Style::fontForTextRole(TextRole role) const {
  return d->theme.fontForTextRole(role);
}

StyleContext Style::context() const {
  const auto duration = styleHint(SH_Widget_Animation_Duration);
  return StyleContext{d->theme, d->animations, duration,
                      [this](icons::Icons16 icon) { return makeThemedIcon(icons::iconPath(icon)); }};
}

void Style::polish(QPalette& palette) {
  palette = d->palette;
}

namespace {

bool wantsHover(const QWidget* widget) {
  return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget) ||
         qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QTabBar*>(widget) ||
         qobject_cast<const QScrollBar*>(widget) || qobject_cast<const QSlider*>(widget) ||
         qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QMenuBar*>(widget) ||
         qobject_cast<const QHeaderView*>(widget) || qobject_cast<const QSplitterHandle*>(widget) ||
         qobject_cast<const QGroupBox*>(widget);
}

/// Popups drawn with rounded corners: their windows must be see-through at the corners.
bool isRoundedPopup(const QWidget* widget) {
  return qobject_cast<const QMenu*>(widget) || widget->inherits("QTipLabel");
}

/// Views and editors whose rounded frame paints their background: their viewport must not.
QWidget* framedViewport(QWidget* widget) {
  auto* area = qobject_cast<QAbstractScrollArea*>(widget);
  const bool owned = qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QTextEdit*>(widget) ||
                     qobject_cast<QPlainTextEdit*>(widget);
  if (!area || !owned || area->frameShape() == QFrame::NoFrame) {
    return nullptr;
  }
  return area->viewport();
}

} // namespace

void Style::polish(QWidget* widget) {
  QProxyStyle::polish(widget);
  if (wantsHover(widget)) {
    widget->setAttribute(Qt::WA_Hover);
  }
  if (isRoundedPopup(widget)) {
    widget->setAttribute(Qt::WA_TranslucentBackground);
  }
  if (auto* viewport = framedViewport(widget)) {
    viewport->setAutoFillBackground(false);
  }
}

void Style::unpolish(QWidget* widget) {
  QProxyStyle::unpolish(widget);
  if (isRoundedPopup(widget)) {
    widget->setAttribute(Qt::WA_TranslucentBackground, false);
  }
  if (auto* viewport = framedViewport(widget)) {
    viewport->setAutoFillBackground(true);
  }
}

void Style::polish(QApplication* app) {
  QProxyStyle::polish(app);
  QApplication::setFont(d->theme.fontRegular);
}

QPalette Style::standardPalette() const {
  return d->palette;
}

int Style::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                     QStyleHintReturn* returnData) const {
  switch (hint) {
  case SH_Widget_Animation_Duration:
    return d->animationsEnabled ? d->theme.animationDuration : 0;
  case SH_ComboBox_Popup:
  case SH_ItemView_ShowDecorationSelected:
  case SH_Menu_MouseTracking:
  case SH_MenuBar_MouseTracking:
    return 1;
  case SH_ComboBox_PopupFrameStyle:
    return QFrame::StyledPanel | QFrame::Plain;
  case SH_EtchDisabledText:
  case SH_DitherDisabledText:
  case SH_DialogButtonBox_ButtonsHaveIcons:
  case SH_ScrollBar_ContextMenu:
    return 0;
  case SH_Table_GridLineColor:
    return int(d->theme.borderColor.rgba());
  case SH_ToolTipLabel_Opacity:
    return 255;
  default:
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
}

int Style::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  const auto& t = d->theme;
  switch (metric) {
  case PM_ButtonMargin:
    return 2 * t.spacing;
  case PM_ButtonDefaultIndicator:
  case PM_ButtonShiftHorizontal:
  case PM_ButtonShiftVertical:
  case PM_TabBarTabShiftHorizontal:
  case PM_TabBarTabShiftVertical:
  case PM_TabBarBaseOverlap:
  case PM_ScrollView_ScrollBarSpacing:
  case PM_ScrollView_ScrollBarOverlap:
  case PM_MenuBarPanelWidth:
  case PM_ToolBarFrameWidth:
    return 0;
  case PM_DefaultFrameWidth:
  case PM_ComboBoxFrameWidth:
  case PM_SpinBoxFrameWidth:
  case PM_MenuPanelWidth:
  case PM_TabBarBaseHeight:
    return t.borderWidth;
  case PM_IndicatorWidth:
  case PM_IndicatorHeight:
  case PM_ExclusiveIndicatorWidth:
  case PM_ExclusiveIndicatorHeight:
  case PM_SliderLength:
  case PM_SliderControlThickness:
  case PM_TabCloseIndicatorWidth:
  case PM_TabCloseIndicatorHeight:
    return 16;
  case PM_SmallIconSize:
  case PM_ButtonIconSize:
  case PM_ToolBarIconSize:
  case PM_ListViewIconSize:
  case PM_TabBarIconSize:
    return t.iconSize.width();
  default:
    return spacingMetric(metric, option, widget);
  }
}

int Style::spacingMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
  const auto& t = d->theme;
  switch (metric) {
  case PM_CheckBoxLabelSpacing:
  case PM_RadioButtonLabelSpacing:
  case PM_LayoutHorizontalSpacing:
  case PM_LayoutVerticalSpacing:
  case PM_HeaderMargin:
  case PM_ToolBarHandleExtent:
    return t.spacing;
  case PM_LayoutLeftMargin:
  case PM_LayoutTopMargin:
  case PM_LayoutRightMargin:
  case PM_LayoutBottomMargin:
    return widget && widget->isWindow() ? 2 * t.spacing : t.spacing;
  case PM_MenuHMargin:
  case PM_MenuVMargin:
  case PM_MenuBarItemSpacing:
  case PM_MenuBarHMargin:
  case PM_ToolBarItemSpacing:
  case PM_ToolBarItemMargin:
  case PM_ToolTipLabelFrameWidth:
    return t.spacing / 2;
  case PM_MenuBarVMargin:
  case PM_FocusFrameHMargin:
  case PM_FocusFrameVMargin:
    return t.focusBorderWidth;
  case PM_ScrollBarExtent:
    return t.scrollBarThicknessFull;
  case PM_ScrollBarSliderMin:
  case PM_TabBarScrollButtonWidth:
    return t.controlHeightLarge;
  case PM_SliderThickness:
    return 16 + 2 * t.focusBorderWidth;
  case PM_TabBarTabHSpace:
    return 4 * t.spacing;
  case PM_TabBarTabVSpace:
    return t.controlHeightLarge - t.fontRegular.pixelSize();
  case PM_MenuButtonIndicator:
    return t.iconSize.width() + t.spacing;
  case PM_SplitterWidth:
    return t.spacing / 2 + 1;
  case PM_ToolBarSeparatorExtent:
    return t.spacing + 1;
  default:
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
}

QSize Style::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                              const QWidget* widget) const {
  const auto& t = d->theme;
  const int bw = t.borderWidth;
  switch (type) {
  case CT_PushButton:
    return {qMax(size.width() + 4 * t.spacing, 8 * t.spacing),
            qMax(size.height() + t.spacing, t.controlHeightLarge)};
  case CT_ToolButton: {
    const int indicator = hasMenuIndicator(option) ? t.iconSize.width() : 0;
    return {qMax(size.width() + 12 + indicator, t.controlHeightLarge),
            qMax(size.height() + 12, t.controlHeightLarge)};
  }
  case CT_LineEdit: {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (frame && frame->lineWidth <= 0) {
      return size;
    }
    return {size.width() + 2 * (t.spacing + bw), qMax(size.height() + 2 * bw, t.controlHeightLarge)};
  }
  case CT_ComboBox:
    return {size.width() + t.spacing + 2 * bw + t.controlHeightLarge,
            qMax(size.height() + 4, t.controlHeightLarge)};
  case CT_SpinBox:
    return {size.width() + t.spacing + 2 * bw + 20, qMax(size.height(), t.controlHeightLarge)};
  case CT_MenuItem:
    return menuItemSize(t, option, qobject_cast<const QComboBox*>(widget) ? comboItemSize(option) : size);
  case CT_MenuBarItem:
    return size + QSize(2 * t.spacing, t.spacing);
  default:
    break;
  }
  auto result = QProxyStyle::sizeFromContents(type, option, size, widget);
  if (type == CT_HeaderSection) {
    result.setHeight(qMax(result.height(), t.controlHeightLarge));
  } else if (type == CT_ItemViewItem) {
    result.setHeight(qMax(result.height(), t.controlHeightMedium));
  }
  return result;
}

/// Combo box popups pass the view's size rather than the item's: measure the item.
QSize Style::comboItemSize(const QStyleOption* option) const {
  const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  if (!item) {
    return {};
  }
  const int icon = item->icon.isNull() ? 0 : d->theme.iconSize.width() + d->theme.spacing;
  return {option->fontMetrics.horizontalAdvance(item->text) + icon, option->fontMetrics.height()};
}

/// A combo box's popup is as wide as the box, but its entries have a check column the box has
/// not: wide enough for the widest entry ("Français" must not lose its last letter).
QRect Style::comboPopupRect(const QStyleOptionComplex* option, const QWidget* widget) const {
  auto rect = QProxyStyle::subControlRect(CC_ComboBox, option, SC_ComboBoxListBoxPopup, widget);
  const auto* box = qobject_cast<const QComboBox*>(widget);
  if (box == nullptr) {
    return rect;
  }
  QStyleOptionMenuItem item;
  item.initFrom(box);
  item.maxIconWidth = box->iconSize().width(); // the popup's entries keep a check column
  int widest = 0;
  for (int index = 0; index < box->count(); ++index) {
    item.text = box->itemText(index);
    item.icon = box->itemIcon(index);
    widest = std::max(widest, menuItemSize(d->theme, &item, comboItemSize(&item)).width());
  }
  rect.setWidth(std::max(rect.width(), widest + 2 * d->theme.borderWidth));
  return rect;
}

QRect Style::subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const {
  switch (element) {
  case SE_LineEditContents: {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (!frame || frame->lineWidth <= 0) {
      return option->rect;
    }
    const int bw = d->theme.borderWidth;
    return option->rect.adjusted(d->theme.spacing, bw, -d->theme.spacing, -bw);
  }
  case SE_ProgressBarGroove:
  case SE_ProgressBarContents:
  case SE_ProgressBarLabel:
    return progressBarSubElementRect(option, element, d->theme.spacing);
  case SE_PushButtonFocusRect:
    return option->rect;
  default:
    return QProxyStyle::subElementRect(element, option, widget);
  }
}

QRect Style::subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                            const QWidget* widget) const {
  switch (control) {
  case CC_ComboBox:
    return subControl == SC_ComboBoxListBoxPopup ? comboPopupRect(option, widget)
                                                 : comboBoxSubControlRect(d->theme, option, subControl);
  case CC_SpinBox:
    return spinBoxSubControlRect(d->theme, option, subControl);
  case CC_ScrollBar:
    return scrollBarSubControlRect(option, subControl, pixelMetric(PM_ScrollBarSliderMin, option, widget));
  case CC_GroupBox:
    return groupBoxSubControlRect(d->theme, option, subControl);
  case CC_Slider:
    return sliderSubControlRect(option, subControl, pixelMetric(PM_SliderLength, option, widget));
  default:
    break;
  }
  return QProxyStyle::subControlRect(control, option, subControl, widget);
}

void Style::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                          const QWidget* widget) const {
  const auto c = context();
  switch (element) {
  case PE_FrameFocusRect:
  case PE_FrameDefaultButton:
  case PE_FrameButtonTool:
  case PE_FrameButtonBevel:
  case PE_FrameStatusBarItem:
  case PE_FrameMenu:
  case PE_PanelMenuBar:
  case PE_IndicatorToolBarHandle:
  case PE_PanelScrollAreaCorner:
  case PE_IndicatorButtonDropDown:
    return;
  case PE_PanelButtonCommand:
  case PE_PanelButtonBevel:
    return drawPushButtonBevel(c, option, painter, widget);
  case PE_PanelButtonTool:
    return drawToolButtonPanel(c, option, painter, widget);
  case PE_PanelLineEdit:
  case PE_FrameLineEdit:
    return drawLineEditPanel(c, option, painter, widget);
  case PE_IndicatorCheckBox:
    return drawCheckBoxIndicator(c, option, painter, widget);
  case PE_IndicatorItemViewItemCheck:
    return drawCheckBoxIndicator(c, option, painter, nullptr);
  case PE_IndicatorRadioButton:
    return drawRadioIndicator(c, option, painter, widget);
  case PE_IndicatorArrowUp:
  case PE_IndicatorArrowDown:
  case PE_IndicatorArrowLeft:
  case PE_IndicatorArrowRight:
    return drawArrow(c, element, option, painter);
  case PE_IndicatorHeaderArrow:
    return drawHeaderArrow(c, option, painter);
  default:
    return drawPanelPrimitive(element, option, painter, widget);
  }
}

void Style::drawHeaderArrow(const StyleContext& c, const QStyleOption* option, QPainter* painter) const {
  const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
  if (header && header->sortIndicator != QStyleOptionHeader::None) {
    const bool up = header->sortIndicator == QStyleOptionHeader::SortUp;
    drawArrow(c, up ? PE_IndicatorArrowUp : PE_IndicatorArrowDown, option, painter);
  }
}

void Style::drawPanelPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
  const auto c = context();
  switch (element) {
  case PE_PanelMenu:
    return drawMenuPanel(c, option, painter, widget);
  case PE_PanelTipLabel:
    return drawToolTip(c, option, painter, widget);
  case PE_FrameTabWidget:
    return drawTabWidgetPane(c, option, painter);
  case PE_FrameTabBarBase:
    return drawTabBarBase(c, option, painter);
  case PE_IndicatorTabClose:
    return drawTabClose(c, option, painter);
  case PE_FrameGroupBox:
    return drawGroupBoxFrame(c, option, painter);
  case PE_PanelItemViewItem:
    return drawItemViewPanel(c, option, painter);
  case PE_PanelItemViewRow:
    return drawItemViewRow(option, painter);
  case PE_IndicatorBranch:
    return drawBranch(c, option, painter);
  case PE_IndicatorToolBarSeparator:
    return drawToolBarSeparator(c, option, painter);
  case PE_PanelStatusBar:
    return drawStatusBar(c, option, painter);
  case PE_Frame:
  case PE_FrameWindow:
  case PE_FrameDockWidget:
    return drawRoundedRect(painter, option->rect, Qt::transparent, c.theme.borderColor, c.theme.borderWidth,
                           c.theme.borderRadius);
  default:
    return QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
}

void Style::drawItemViewRow(const QStyleOption* option, QPainter* painter) const {
  const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option);
  if (item && item->features.testFlag(QStyleOptionViewItem::Alternate)) {
    painter->fillRect(option->rect, option->palette.brush(QPalette::AlternateBase));
  }
}

void Style::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                        const QWidget* widget) const {
  const auto c = context();
  switch (element) {
  case CE_PushButtonBevel:
    return drawPushButtonBevel(c, option, painter, widget);
  case CE_PushButtonLabel:
    return drawRecoloredControl(element, option, painter, widget, pushButtonTextColor(d->theme, option));
  case CE_TabBarTabShape:
    return drawTabShape(c, option, painter);
  case CE_TabBarTabLabel:
    return drawRecoloredControl(element, option, painter, widget, tabTextColor(option));
  case CE_ProgressBar:
    return drawProgressBar(option, painter, widget);
  case CE_ProgressBarGroove:
    return drawProgressGroove(c, option, painter);
  case CE_ProgressBarContents:
    return drawProgressContents(c, option, painter);
  case CE_ProgressBarLabel:
    return drawProgressLabel(c, option, painter);
  case CE_MenuItem:
    return drawMenuItem(c, option, painter);
  case CE_MenuBarItem:
    return drawMenuBarItem(c, option, painter);
  case CE_MenuBarEmptyArea:
  case CE_MenuEmptyArea:
  case CE_FocusFrame:
    return;
  default:
    return drawPanelControl(element, option, painter, widget);
  }
}

void Style::drawPanelControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
  const auto c = context();
  switch (element) {
  case CE_HeaderSection:
  case CE_HeaderEmptyArea:
    return drawHeaderSection(c, option, painter);
  case CE_ShapedFrame:
    return drawShapedFrame(c, option, painter);
  case CE_Splitter:
    return drawSplitter(c, option, painter);
  case CE_ToolBar:
    return drawToolBar(c, option, painter);
  case CE_RubberBand:
    return drawRubberBand(c, option, painter);
  default:
    return QProxyStyle::drawControl(element, option, painter, widget);
  }
}

QColor Style::tabTextColor(const QStyleOption* option) const {
  const auto& t = d->theme;
  if (!option->state.testFlag(State_Enabled)) {
    return t.secondaryColorDisabled;
  }
  const bool strong = option->state.testFlag(State_Selected) || option->state.testFlag(State_MouseOver);
  return strong ? t.secondaryColor : t.secondaryAlternativeColor;
}

namespace {

/// A copy of the option whose label colours are replaced (style options have no virtual
/// destructor, so copies stay on the stack with their real type).
template <typename Option>
Option recolored(const Option& option, const QColor& color) {
  Option copy = option;
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    copy.palette.setColor(group, QPalette::ButtonText, color);
    copy.palette.setColor(group, QPalette::WindowText, color);
  }
  return copy;
}

} // namespace

/// Lets the base draw a label, in our colour for the label's background.
void Style::drawRecoloredControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget, const QColor& color) const {
  if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
    const auto copy = recolored(*button, color);
    QProxyStyle::drawControl(element, &copy, painter, widget);
  } else if (const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option)) {
    const auto copy = recolored(*tab, color);
    QProxyStyle::drawControl(element, &copy, painter, widget);
  } else {
    QProxyStyle::drawControl(element, option, painter, widget);
  }
}

void Style::drawProgressBar(const QStyleOption* option, QPainter* painter, const QWidget* widget) const {
  const auto* bar = qstyleoption_cast<const QStyleOptionProgressBar*>(option);
  if (!bar) {
    return;
  }
  QStyleOptionProgressBar part = *bar;
  part.rect = subElementRect(SE_ProgressBarGroove, bar, widget);
  drawControl(CE_ProgressBarGroove, &part, painter, widget);
  part.rect = subElementRect(SE_ProgressBarContents, bar, widget);
  drawControl(CE_ProgressBarContents, &part, painter, widget);
  if (bar->textVisible) {
    part.rect = subElementRect(SE_ProgressBarLabel, bar, widget);
    drawControl(CE_ProgressBarLabel, &part, painter, widget);
  }
}

void Style::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                               const QWidget* widget) const {
  const auto c = context();
  switch (control) {
  case CC_ComboBox:
    return drawComboBox(c, option, painter, widget);
  case CC_SpinBox:
    return drawSpinBox(c, option, painter, widget);
  case CC_ScrollBar:
    return drawScrollBar(c, option, painter, widget);
  case CC_Slider:
    return drawSlider(c, option, painter, widget);
  case CC_ToolButton:
    if (hasMenuIndicator(option)) {
      return drawMenuToolButton(option, painter, widget);
    }
    break;
  default:
    break;
  }
  QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void Style::drawMenuToolButton(const QStyleOptionComplex* option, QPainter* painter,
                               const QWidget* widget) const {
  const auto c = context();
  auto button = *qstyleoption_cast<const QStyleOptionToolButton*>(option);
  drawToolButtonPanel(c, &button, painter, widget);
  const int indicator = d->theme.iconSize.width();
  const auto content = button.rect.adjusted(d->theme.spacing / 2, 0, -d->theme.spacing / 2, 0);
  button.rect = content.adjusted(0, 0, -indicator, 0);
  drawControl(CE_ToolButtonLabel, &button, painter, widget);
  QStyleOption arrow(button);
  arrow.rect = QRect(content.right() - indicator + 1, content.top(), indicator, content.height());
  drawArrow(c, PE_IndicatorArrowDown, &arrow, painter);
}

QIcon Style::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                          const QWidget* widget) const {
  icons::Icons16 icon{};
  if (standardPixmapIcon(standardIcon, icon)) {
    return makeThemedIcon(icons::iconPath(icon));
  }
  return QProxyStyle::standardIcon(standardIcon, option, widget);
}

QPixmap Style::generatedIconPixmap(QIcon::Mode iconMode, const QPixmap& pixmap,
                                   const QStyleOption* option) const {
  if (iconMode == QIcon::Disabled && d->autoIconColor != AutoIconColor::None && !pixmap.isNull()) {
    auto result = colorized(pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                            d->theme.secondaryColorDisabled);
    result.setDevicePixelRatio(pixmap.devicePixelRatio());
    return result;
  }
  // The base reads the palette from the option, which callers may leave out.
  QStyleOption fallback;
  fallback.palette = d->palette;
  return QProxyStyle::generatedIconPixmap(iconMode, pixmap, option ? option : &fallback);
}

} // namespace arvexhub::style
