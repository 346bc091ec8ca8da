#pragma once

#include <QString>
#include <QStringList>

namespace arvexhub::launcher::languages {

/// Locale names of the "ArvexHub_<locale>.qm" files of a folder, in name order; Qt's own
/// catalogues ("qt…") are not languages of ours.
QStringList availableLanguages(const QString& folder);

/// The language to start in: the saved one, else the system's, else American English, else
/// the first available; the first available when nothing is saved; empty when there is none.
QString chooseStartupLanguage(const QStringList& available, const QString& saved, const QString& system);

} // namespace arvexhub::launcher::languages
