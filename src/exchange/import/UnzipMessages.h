#pragma once
// What the unpacking of a package shows the user, in message boxes: the overwrite
// question with its three answers, and a failure as its bare code.

#include "tips/UnzipLink.h"

class UnzipMessages : public tips::UnzipUser {
public:
  // Yes, No and Cancel without an icon; Yes replaces the file, No keeps it, Cancel keeps
  // it and every further one.
  int askReplace(const QString &text, const QString &title) override;
  // OK only, no icon, and the program's name as the title.
  void showFailure(const QString &text) override;
};
