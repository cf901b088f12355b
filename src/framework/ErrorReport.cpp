#include "framework/ErrorReport.h"

#include "platform/MsgBox.h"
#include "platform/files/FileService.h"
#include "store/StoreError.h"
#include "tips/UserMessage.h"

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
