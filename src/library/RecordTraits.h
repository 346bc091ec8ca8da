#pragma once

#include <QJsonObject>
#include <QPixmap>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <type_traits>

namespace arvexhub::launcher {

/// The first item-data role of the library models; each kind's roles go up from here.
inline constexpr int firstItemRole = 257;

/// The record fields the roles from firstItemRole on give, in role order; nullptr for a number the
/// kind leaves unused.
template <auto... fields>
struct RoleFields {
  static constexpr int count = sizeof...(fields);

  /// The role that gives that field; 0 when none does.
  template <auto wanted>
  static constexpr int roleOf() {
    int role = firstItemRole;
    int found = 0;
    ((found = (found == 0 && same<fields, wanted>()) ? role : found, ++role), ...);
    return found;
  }

  template <typename Record>
  static QVariant value(const Record& record, int role) {
    QVariant result;
    int place = firstItemRole;
    ((place++ == role ? void(result = valueOf<fields>(record)) : void()), ...);
    return result;
  }

private:
  template <auto a, auto b>
  static constexpr bool same() {
    if constexpr (std::is_same_v<decltype(a), decltype(b)>) {
      return a == b;
    } else {
      return false;
    }
  }

  template <auto field, typename Record>
  static QVariant valueOf(const Record& record) {
    if constexpr (std::is_null_pointer_v<decltype(field)>) {
      return {};
    } else {
      return QVariant::fromValue(record.*field);
    }
  }
};

/// A text of a catalogue entry, read into the record field of that name and copied into an
/// installed row by a merge.
template <typename Record>
struct CatalogueText {
  const char* key;
  QString Record::*field;
};

/// What each kind's record type says about itself, in a specialization deriving from
/// ItemTraits:
///
///   using Roles = RoleFields<...>;                        // the roles from 257 on
///   static constexpr CatalogueText<Record> texts[];       // besides "name", "url" and "sha256"
///   static constexpr auto picture = &Record::thumbnail;   // the row's picture
///   static constexpr auto playingMark = &Record::isPlaying; // nullptr: worked out elsewhere
///   static constexpr int playingRole;                     // 0: the whole row changes
/// and, where the kind differs, its own versions of ItemTraits' functions.
template <typename Record>
struct RecordTraits;

/// What most kinds do alike; a kind's traits hide what it does otherwise.
template <typename Record>
struct ItemTraits {
  static constexpr bool decorated = false; ///< the picture is also the decoration role
  static const QString& displayText(const Record& record) {
    return record.fullName;
  }
  static bool isInstalled(const Record& record) {
    return record.isInstalled;
  }
  /// An installed item found on disk.
  static void foundOnDisk(Record& record) {
    record.fullName = record.name;
  }
  /// Fields of the catalogue entry that are not texts.
  static void readExtra(Record&, const QJsonObject&) {}
  /// What a merge does besides copying the texts, the link and the checksum.
  static void mergeInto(Record&, const Record&) {}
  static Record catalogueOnly(const Record& entry) {
    return entry;
  }
  /// Its path is set: downloaded, or found on disk.
  static void markInstalled(Record& record) {
    record.isInstalled = true;
  }
  static void markFailed(Record&) {}
  /// The installed item's folder was deleted; its row stays, to be downloaded again.
  static void markRemoved(Record& record) {
    record.isInstalled = false;
  }
  static void setPictureFile(Record&, const QString&) {}
  /// An installed item with a newer version offered; only games have versions.
  static bool hasUpdate(const Record&) {
    return false;
  }
  /// The installed and the offered version, for the tool tip; empty where the kind has none.
  static QString installedVersion(const Record&) {
    return {};
  }
  static QString offeredVersion(const Record&) {
    return {};
  }
};

} // namespace arvexhub::launcher
