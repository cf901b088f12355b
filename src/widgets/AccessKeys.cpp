#include "widgets/AccessKeys.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSet>

namespace accessKeys {
namespace {

// The position of the character a caption marks as its key, or -1.
qsizetype markedKey(const QString &caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption.at(i) != QLatin1Char('&'))
      continue;
    if (caption.at(i + 1) != QLatin1Char('&'))
      return i + 1;
    ++i; // "&&": a plain ampersand
  }
  return -1;
}

bool startsWord(const QString &caption, qsizetype i) {
  return i == 0 || !caption.at(i - 1).isLetterOrNumber();
}

// The position of the caption's key among the keys not taken yet, or -1.
qsizetype chooseKey(const QString &caption, const QSet<QChar> &taken) {
  const auto free = [&](qsizetype i) {
    const QChar c = caption.at(i);
    return c.isLetterOrNumber() && !taken.contains(c.toLower()) &&
           (i == 0 || caption.at(i - 1) != QLatin1Char('&'));
  };
  for (qsizetype i = 0; i < caption.size(); ++i)
    if (startsWord(caption, i) && free(i))
      return i;
  for (qsizetype i = 0; i < caption.size(); ++i)
    if (free(i))
      return i;
  return -1;
}

void addKeys(const QList<QAction *> &actions) {
  QStringList captions;
  for (const QAction *a : actions)
    captions << a->text();
  const QStringList keyed = withAccessKeys(captions);
  for (qsizetype i = 0; i < actions.size(); ++i) {
    if (actions[i]->isSeparator())
      continue;
    actions[i]->setText(keyed[i]);
    if (QMenu *sub = actions[i]->menu())
      addKeys(sub->actions());
  }
}

} // namespace

QStringList withAccessKeys(const QStringList &captions) {
  QSet<QChar> taken;
  for (const QString &caption : captions)
    if (const qsizetype at = markedKey(caption); at >= 0)
      taken.insert(caption.at(at).toLower());
  QStringList out;
  for (const QString &caption : captions) {
    qsizetype at = -1;
    if (markedKey(caption) < 0 && (at = chooseKey(caption, taken)) >= 0) {
      taken.insert(caption.at(at).toLower());
      out << caption.left(at) + QLatin1Char('&') + caption.mid(at);
    } else {
      out << caption;
    }
  }
  return out;
}

QString plainCaption(const QString &text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text.at(i) == QLatin1Char('&') && i + 1 < text.size())
      ++i; // the marker goes; of "&&" one ampersand stays
    out += text.at(i);
  }
  return out;
}

void addAccessKeys(QMenuBar *bar) {
  if (bar)
    addKeys(bar->actions());
}

} // namespace accessKeys
