#include "shell/ErrorReport.h"

#include "platform/FileService.h"
#include "platform/MsgBox.h"
#include "store/StoreError.h"
#include "tips/FaultWords.h"

bool runReportingErrors(const QString &title, const std::function<void()> &work) {
  QString message;
  try {
    work();
    return true;
  } catch (const store::StoreError &e) {
    message = tips::userMessage(e);
  } catch (const FileError &e) {
    message = tips::userMessage(e);
  } catch (const std::exception &e) {
    message = QString::fromLocal8Bit(e.what());
  }
  MsgBox(message, msgbox::vbCritical, title);
  return false;
}
