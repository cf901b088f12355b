#pragma once
// A document that could not be written, with the reason in words for the user.

#include <QString>
#include <stdexcept>

namespace document {

class DocumentError : public std::runtime_error {
public:
  explicit DocumentError(const QString &message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString &message() const { return message_; }

private:
  QString message_;
};

} // namespace document
