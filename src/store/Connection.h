#pragma once
// One SQLite connection that closes itself, without the SQLite header: those who hold one
// (store::Database, the search index) need not pull the engine's declarations into every
// file above them.

#include <QByteArray>
#include <QString>
#include <utility>

struct sqlite3;

namespace store::sql {

// One SQLite connection to a file, closed when it goes (or by close()). store::Database
// builds a tip database's connection on it; other files of the program (the search index)
// use it directly.
class Connection {
public:
  Connection() = default;
  // Opens the file with sqlite3_open_v2's flags, errors with extended codes, a busy
  // timeout of five seconds. Throws StoreError naming the file.
  Connection(const QString &path, int flags);
  // The same for a name in the engine's own form (a "file:" URI), shown as shownPath.
  Connection(const QByteArray &name, int flags, const QString &shownPath);
  ~Connection() { close(); }
  Connection(const Connection &) = delete;
  Connection &operator=(const Connection &) = delete;
  Connection(Connection &&other) noexcept : db_(std::exchange(other.db_, nullptr)) {}
  Connection &operator=(Connection &&other) noexcept;

  sqlite3 *handle() const { return db_; }
  explicit operator bool() const { return db_ != nullptr; }
  void close();

private:
  sqlite3 *db_ = nullptr;
};

} // namespace store::sql
