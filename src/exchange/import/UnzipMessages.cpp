#include "exchange/import/UnzipMessages.h"

#include "platform/MsgBox.h"

int UnzipMessages::askReplace(const QString &text, const QString &title) {
  switch (MsgBox(text, msgbox::vbYesNoCancel, title)) {
  case msgbox::vbYes:
    return tips::kReplaceYes;
  case msgbox::vbNo:
    return tips::kReplaceNo;
  default:
    return tips::kReplaceNone;
  }
}

void UnzipMessages::showFailure(const QString &text) {
  MsgBox(text, msgbox::vbCritical + msgbox::vbOKOnly, title_);
}
