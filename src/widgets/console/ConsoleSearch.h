#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class QPlainTextEdit;

namespace arvexhub::launcher {

/// Finds a text in the console's log, ignoring case, and highlights the matches.
///
/// The log holds up to a hundred thousand lines, so a search never walks the document's blocks
/// or lays anything out: it scans one plain copy of the text, made once per change of the log,
/// and only the matches on screen get a highlight. Lines hidden by the level filter never match.
class ConsoleSearch final : public QObject {
  Q_OBJECT

public:
  /// How long the log must stay unchanged before the matches are looked for again.
  static constexpr int refreshDelayMs = 250;

  ConsoleSearch(QPlainTextEdit* view, QObject* parent = nullptr);
  ~ConsoleSearch() override;
  Q_DISABLE_COPY_MOVE(ConsoleSearch)

  /// Looks for the text and selects the first match from the view's cursor on.
  void setQuery(const QString& query);
  const QString& query() const;
  /// Stops following the log and removes the highlights; the next query searches again.
  void stop();

  int matchCount() const;
  /// The index of the selected match, -1 when none is.
  int currentIndex() const;
  /// Selects the next or the previous match, round the end of the log.
  void next();
  void previous();

signals:
  /// The matches or the selected one changed.
  void changed();

private:
  void search();
  void refreshText();
  void keepVisibleOnly();
  void select(int index);
  void highlight();

  QPlainTextEdit* view_{nullptr};
  QString query_;
  QString text_; ///< the log's text, folded to lower case
  bool textStale_{true};
  bool active_{false};
  QVector<int> matches_; ///< positions in the document, ascending
  int current_{-1};
  QTimer refreshTimer_;
};

} // namespace arvexhub::launcher
