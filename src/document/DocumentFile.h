#pragma once
// A document written safely: into a temporary file beside its place, put on the disk, then
// renamed over the old one (QSaveFile). A failure or a stop before commit() leaves no
// document and the old one as it was. Text is written in UTF-8 through a buffer of 64 KB.

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringView>

namespace document {

class DocumentFile {
public:
  // Throws DocumentError, in words, when the file cannot be begun (a folder missing or
  // read-only, a folder by that name).
  explicit DocumentFile(const QString &path);

  const QString &path() const { return path_; }
  void write(QStringView text);
  void write(const char *latin1) { write(QLatin1String(latin1)); }
  void write(QLatin1String text);
  // The file itself, for a writer that writes bytes (the PDF); flush() first.
  QIODevice &device() { return file_; }
  void flush();
  // Puts the whole document in place; throws DocumentError when it cannot.
  void commit();

private:
  [[noreturn]] void fail(int systemError);

  QString path_;
  QSaveFile file_;
  QByteArray buffer_;
};

// The words for a file of a document that could not be written: the cause the user can act
// on first (a full disk, a read-only folder), then the system's.
QString writeFailure(const QString &path, int systemError);

} // namespace document
