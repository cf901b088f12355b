#pragma once
#include <QString>
#include <stdexcept>

namespace store {

// Every failure of the store: a missing or unreadable file, a malformed query or
// criteria text, a file that is not a tip database, an engine error.
class StoreError : public std::runtime_error {
public:
  explicit StoreError(const QString &message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString &message() const { return message_; }

private:
  QString message_;
};

} // namespace store
