#include "store/Connection.h"

#include <QFile>
#include <sqlite3.h>

#include "store/Sqlite.h"

namespace store::sql {

Connection::Connection(const QString &path, int flags)
    : Connection(QFile::encodeName(path), flags, path) {}

Connection::Connection(const QByteArray &name, int flags, const QString &shownPath) {
  if (sqlite3_open_v2(name.constData(), &db_, flags, nullptr) != SQLITE_OK) {
    const QString engine =
        db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("out of memory");
    const StoreError error = engineError(
        db_,
        QStringLiteral("The database file \"%1\" cannot be opened: %2").arg(shownPath, engine));
    close();
    throw error;
  }
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, 5000);
}

Connection &Connection::operator=(Connection &&other) noexcept {
  if (this != &other) {
    close();
    db_ = std::exchange(other.db_, nullptr);
  }
  return *this;
}

void Connection::close() {
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

} // namespace store::sql
