#include "exchange/FolderNames.h"

#include <QDir>

namespace exchange {

FolderNames::FolderNames(QString nativeFolder) : folder_(std::move(nativeFolder)) {
  const QStringList names = QDir(folder_).entryList(QDir::Files | QDir::Hidden | QDir::System);
  for (const QString &name : names)
    add(name);
}

void FolderNames::add(const QString &name) {
  exact_.insert(name, name);
  const QString key = name.toCaseFolded();
  if (!folded_.contains(key))
    folded_.insert(key, name);
}

bool FolderNames::contains(const QString &name) const {
  return exact_.contains(name) || folded_.contains(name.toCaseFolded());
}

QString FolderNames::path(const QString &name) const {
  if (exact_.contains(name))
    return folder_ + QLatin1Char('/') + name;
  return folder_ + QLatin1Char('/') + folded_.value(name.toCaseFolded(), name);
}

} // namespace exchange
