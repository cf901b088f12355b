#pragma once
// The pictures folder beside a Markdown document ("tips.md" and "tips_pictures/"). Each
// picture is named by its content ("picture-<12 hex digits>.jpg"): a name already there
// holds the same picture, so a file is never changed in place and a document saved before
// keeps showing its pictures until the new one replaces it. A save that fails removes what
// it added (the folder too, when it made it); one that succeeds removes the pictures of
// that naming which the new document no longer shows. Other files in the folder are never
// touched.

#include <QSet>
#include <QString>
#include <QStringList>

namespace document {

class PictureFolder {
public:
  // documentPath: the Markdown file; the folder is its name without ".md" + "_pictures".
  explicit PictureFolder(const QString &documentPath);
  // Removes what this save added, unless kept().
  ~PictureFolder();
  PictureFolder(const PictureFolder &) = delete;
  PictureFolder &operator=(const PictureFolder &) = delete;

  // The folder's name, for relative links.
  const QString &folderName() const { return name_; }
  // Puts a picture file in the folder; returns its file name there, empty when the file
  // holds no picture. Throws DocumentError when it cannot be written.
  QString add(const QString &pictureFile);
  // The document landed: what it shows stays, older pictures of ours go.
  void keep();

private:
  QString folder_;
  QString name_;
  bool madeFolder_ = false;
  bool kept_ = false;
  QStringList added_;          // files this save wrote
  QSet<QString> shown_;        // file names the document links to
  QHash<QString, QString> of_; // picture file -> its name in the folder
};

// "tips_pictures" for "/a/tips.md".
QString pictureFolderName(const QString &documentPath);

} // namespace document
