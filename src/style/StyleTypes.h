#pragma once

namespace arvexhub::style {

/// The typographic role of a label; each has its own font and palette.
enum class TextRole {
  Caption = -1,
  Default = 0,
  H1,
  H2,
  H3,
  H4,
  H5,
};

/// How the style colours icons that are not its own themed icons.
enum class AutoIconColor {
  None = 0,        ///< icons are drawn as they are
  ForegroundColor, ///< every monochrome icon takes the text colour
  TextColor,       ///< icons next to text take that text's colour
};

/// The badges of a status: their colour and icon.
enum class StatusBadge {
  Info,
  Warning,
  Error,
  Success,
};

} // namespace arvexhub::style
