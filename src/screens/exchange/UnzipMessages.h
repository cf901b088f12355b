#pragma once
// What the unpacking of a package shows the user, in message boxes: the overwrite
// question with its three answers, and a failure in words.

#include "exchange/UnzipLink.h"

#include <utility>

class UnzipMessages : public exchange::UnzipUser {
public:
  // title: the title of the failure's box (the screen's message title).
  explicit UnzipMessages(QString title) : title_(std::move(title)) {}
  // Yes, No and Cancel without an icon; Yes replaces the file, No keeps it, Cancel keeps
  // it and every further one.
  int askReplace(const QString &text, const QString &title) override;
  // OK only, the stop icon, and the screen's title.
  void showFailure(const QString &text) override;

private:
  QString title_;
};
