#pragma once
#include <QString>
#include <stdexcept>

namespace store {

// Every failure of the store: a missing or unreadable file, a malformed query or
// criteria text, a file that is not a tip database, an engine error.
class StoreError : public std::runtime_error {
public:
  explicit StoreError(const QString &message, int engineCode = 0, QString file = QString())
      : std::runtime_error(message.toStdString()), message_(message), engineCode_(engineCode),
        file_(std::move(file)) {}
  const QString &message() const { return message_; }
  // For an engine error: the engine's extended result code (SQLITE_FULL, SQLITE_READONLY,
  // ...) and the database file it met; else 0 and empty. The message says what the user
  // needs; these let the caller name the cause in the user's words.
  int engineCode() const { return engineCode_; }
  const QString &file() const { return file_; }

private:
  QString message_;
  int engineCode_ = 0;
  QString file_;
};

} // namespace store
