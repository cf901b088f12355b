#pragma once
// The names of the files in one folder, read once, found with or without regard to case.

#include <QHash>
#include <QString>

namespace exchange {

// The files of one folder (not its folders) by name without regard to case (the exact spelling
// first), read once: the exchange names hundreds of pictures in a row, and matching each name on
// disk would read the folder every time.
class FolderNames {
public:
  explicit FolderNames(QString nativeFolder);
  const QString &folder() const { return folder_; }
  // The native path of the file of that name: its spelling on disk when it exists.
  QString path(const QString &name) const;
  bool contains(const QString &name) const;
  // A file written since the folder was read.
  void add(const QString &name);

private:
  QString folder_;
  QHash<QString, QString> exact_;  // name -> name
  QHash<QString, QString> folded_; // folded name -> first name of that fold
};

} // namespace exchange
