#include "screens/exchange/UnzipMessages.h"

#include "platform/MsgBox.h"

int UnzipMessages::askReplace(const QString &text, const QString &title) {
  switch (MsgBox(text, msgbox::vbYesNoCancel, title)) {
  case msgbox::vbYes:
    return exchange::kReplaceYes;
  case msgbox::vbNo:
    return exchange::kReplaceNo;
  default:
    return exchange::kReplaceNone;
  }
}

void UnzipMessages::showFailure(const QString &text) {
  MsgBox(text, msgbox::vbCritical + msgbox::vbOKOnly, title_);
}
