#include "screens/exchange/UnzipMessages.h"

#include "jobs/JobRunner.h"
#include "platform/MsgBox.h"

// The unpacking runs on a worker: its boxes are shown by the window's thread.
int UnzipMessages::askReplace(const QString &text, const QString &title) {
  switch (jobs::onWindowThread([&] { return MsgBox(text, msgbox::vbYesNoCancel, title); })) {
  case msgbox::vbYes:
    return exchange::kReplaceYes;
  case msgbox::vbNo:
    return exchange::kReplaceNo;
  default:
    return exchange::kReplaceNone;
  }
}

void UnzipMessages::showFailure(const QString &text) {
  jobs::onWindowThread([&] { MsgBox(text, msgbox::vbCritical + msgbox::vbOKOnly, title_); });
}
