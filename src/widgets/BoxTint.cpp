#include "widgets/BoxTint.h"

#include <QColor>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>

namespace {

QColor tintColour(BoxTint tint) {
  switch (tint) {
  case BoxTint::Add:
    return QColor(0xff, 0xff, 0xc0);
  case BoxTint::Edit:
    return QColor(0xc0, 0xff, 0xc0);
  case BoxTint::Delete:
    break;
  }
  return QColor(0xff, 0xc0, 0xc0);
}

void setBase(QWidget *box, const QColor &colour) {
  QPalette palette = box->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(group, QPalette::Base, colour);
  box->setPalette(palette);
}

} // namespace

void tintBox(QWidget *box, BoxTint tint) { setBase(box, tintColour(tint)); }

void makeUnusedBox(QWidget *box) {
  if (auto *line = qobject_cast<QLineEdit *>(box))
    line->clear();
  if (auto *plain = qobject_cast<QPlainTextEdit *>(box))
    plain->clear();
  setBase(box, QColor(0xc0, 0xc0, 0xc0));
  box->setEnabled(false);
}
