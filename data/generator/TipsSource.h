#pragma once
// The tips source: the text format of data/tips/initial-tips.txt (described there and in
// data/README.md), read into groups and tips and checked, so that a broken file fails the
// build before anything is written.

#include <QList>
#include <QString>

#include "generator/DataError.h"
#include "generator/GroupPictures.h"

namespace obxdata {

struct TipText {
  QString subject;     // one line, no apostrophe
  QString description; // lines joined by "\n"
  int line = 0;        // of the "###" marker in the source
};

struct TipGroupText {
  QString name; // no apostrophe
  PictureStyle picture;
  QList<TipText> tips;
  int line = 0; // of the "##" marker in the source
};

struct TipCollection {
  QList<TipGroupText> groups;
  int tipCount() const;
};

// Parses and checks the text: unique group names and subjects (ignoring case), no
// apostrophes in names and subjects, no empty group or description. A group without
// picture settings gets defaultPictureStyle(). Throws DataError.
TipCollection parseTips(const QString &text, const QString &sourceName = QStringLiteral("tips"));
TipCollection readTipsFile(const QString &path);

} // namespace obxdata
