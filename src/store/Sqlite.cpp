#include "store/Sqlite.h"

#include <QStringDecoder>
#include <memory>

namespace store::sql {

StoreError engineError(sqlite3 *db, const QString &message) {
  if (!db)
    return StoreError(message, SQLITE_NOMEM);
  const char *file = sqlite3_db_filename(db, "main");
  return StoreError(message, sqlite3_extended_errcode(db),
                    file ? QString::fromUtf8(file) : QString());
}

void fail(sqlite3 *db, const QString &what) {
  const QString engine =
      db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
  throw engineError(db, QStringLiteral("%1: %2").arg(what, engine));
}

void exec(sqlite3 *db, const char *sql, const QString &what) {
  char *message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    const QString engine =
        message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_free(message);
    throw engineError(db, QStringLiteral("%1: %2").arg(what, engine));
  }
}

QString quoteIdentifier(const QString &name) {
  QString escaped = name;
  escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
  return QLatin1Char('"') + escaped + QLatin1Char('"');
}

Statement::Statement(sqlite3 *db, const QString &sql, bool persistent) : db_(db), sql_(sql) {
  const QByteArray utf8 = sql.toUtf8();
  const unsigned flags = persistent ? SQLITE_PREPARE_PERSISTENT : 0;
  if (sqlite3_prepare_v3(db, utf8.constData(), int(utf8.size()), flags, &stmt_, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    fail(db, QStringLiteral("The database engine refused a statement"));
  }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement::Statement(Statement &&other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)), sql_(std::move(other.sql_)),
      held_(std::move(other.held_)) {}

Statement &Statement::operator=(Statement &&other) noexcept {
  if (this != &other) {
    sqlite3_finalize(stmt_);
    db_ = other.db_;
    stmt_ = std::exchange(other.stmt_, nullptr);
    sql_ = std::move(other.sql_);
    held_ = std::move(other.held_);
  }
  return *this;
}

void Statement::bind(int i, const QVariant &value) {
  int rc = SQLITE_OK;
  if (!value.isValid() || value.isNull()) {
    rc = sqlite3_bind_null(stmt_, i);
  } else {
    switch (value.typeId()) {
    case QMetaType::Bool:
      rc = sqlite3_bind_int64(stmt_, i, value.toBool() ? -1 : 0);
      break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::SChar:
    case QMetaType::UChar:
      rc = sqlite3_bind_int64(stmt_, i, value.toLongLong());
      break;
    case QMetaType::Double:
    case QMetaType::Float:
      rc = sqlite3_bind_double(stmt_, i, value.toDouble());
      break;
    case QMetaType::QByteArray: {
      const QByteArray bytes = value.toByteArray();
      rc = sqlite3_bind_blob64(stmt_, i, bytes.constData(), sqlite3_uint64(bytes.size()),
                               SQLITE_TRANSIENT);
      break;
    }
    default: {
      // The engine reads the text where it stands until the parameter is bound anew or the
      // statement is reset: a long text is not copied once more.
      QByteArray utf8 = value.toString().toUtf8();
      rc = sqlite3_bind_text64(stmt_, i, utf8.constData(), sqlite3_uint64(utf8.size()),
                               SQLITE_STATIC, SQLITE_UTF8);
      if (size_t(i) >= held_.size())
        held_.resize(size_t(i) + 1);
      held_[size_t(i)] = std::move(utf8);
      break;
    }
    }
  }
  if (rc != SQLITE_OK)
    fail(db_, QStringLiteral("The database engine refused a value"));
}

void Statement::bindAll(const QVariantList &values) {
  for (int i = 0; i < values.size(); ++i)
    bind(i + 1, values.at(i));
}

bool Statement::step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW)
    return true;
  if (rc == SQLITE_DONE)
    return false;
  // Keep the engine's message: reset() would replace it by the generic one.
  StoreError error = engineError(
      db_,
      QStringLiteral("The database engine failed: %1").arg(QString::fromUtf8(sqlite3_errmsg(db_))));
  sqlite3_reset(stmt_);
  throw error;
}

void Statement::reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  held_.clear();
}

int Statement::columnCount() const { return sqlite3_column_count(stmt_); }

bool Statement::isNull(int col) const { return sqlite3_column_type(stmt_, col) == SQLITE_NULL; }

qint64 Statement::int64(int col) const { return sqlite3_column_int64(stmt_, col); }

QString Statement::text(int col) const {
  const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, col));
  const int bytes = sqlite3_column_bytes(stmt_, col);
  return data ? QString::fromUtf8(data, bytes) : QString();
}

QVariant Statement::value(int col) const {
  switch (sqlite3_column_type(stmt_, col)) {
  case SQLITE_NULL:
    return {};
  case SQLITE_INTEGER:
    return QVariant::fromValue<qlonglong>(sqlite3_column_int64(stmt_, col));
  case SQLITE_FLOAT:
    return sqlite3_column_double(stmt_, col);
  case SQLITE_BLOB: {
    const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt_, col));
    return QByteArray(data, sqlite3_column_bytes(stmt_, col));
  }
  default:
    return text(col);
  }
}

namespace {

// The end of the last whole character of the bytes read so far; the rest goes with the
// next piece. Bytes of no character (a broken sequence) end where they end.
qsizetype wholeCharacters(QByteArrayView bytes) {
  for (qsizetype at = bytes.size() - 1; at >= 0 && at >= bytes.size() - 4; --at) {
    const uchar lead = uchar(bytes[at]);
    if ((lead & 0xc0) == 0x80)
      continue; // inside a character
    const qsizetype length = lead < 0xc0 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
    return at + length <= bytes.size() ? bytes.size() : at;
  }
  return bytes.size();
}

} // namespace

qint64 storedBytes(sqlite3 *db, const char *table, const char *column, qint64 rowid) {
  sqlite3_blob *opened = nullptr;
  const bool open = sqlite3_blob_open(db, "main", table, column, rowid, 0, &opened) == SQLITE_OK;
  const qint64 bytes = open ? sqlite3_blob_bytes(opened) : -1;
  sqlite3_blob_close(opened);
  return bytes;
}

bool readTextPieces(sqlite3 *db, const char *table, const char *column, qint64 rowid,
                    const std::function<void(QStringView piece)> &take) {
  {
    Statement encoding(db, QStringLiteral("PRAGMA encoding"));
    if (!encoding.step() || encoding.text(0) != QLatin1String("UTF-8"))
      return false;
  }
  sqlite3_blob *opened = nullptr;
  if (sqlite3_blob_open(db, "main", table, column, rowid, 0, &opened) != SQLITE_OK) {
    sqlite3_blob_close(opened);
    return false;
  }
  const std::unique_ptr<sqlite3_blob, int (*)(sqlite3_blob *)> blob(opened, sqlite3_blob_close);
  constexpr int kPiece = 1 << 20;
  const int size = sqlite3_blob_bytes(opened);
  QByteArray bytes(kPiece + 4, Qt::Uninitialized);
  QString piece(kPiece + 4, Qt::Uninitialized);
  // Each piece decoded on its own, as the whole text would be: a byte order mark dropped at
  // the start of the text, kept as a character anywhere else.
  QStringDecoder first(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QStringDecoder rest(QStringDecoder::Utf8,
                      QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  qsizetype carried = 0; // bytes of a character begun at the end of the piece before
  for (int offset = 0; offset < size;) {
    const int length = std::min(kPiece, size - offset);
    if (sqlite3_blob_read(opened, bytes.data() + carried, length, offset) != SQLITE_OK)
      fail(db, QStringLiteral("The database engine could not read a text"));
    offset += length;
    const QByteArrayView read(bytes.constData(), carried + length);
    const qsizetype whole = offset < size ? wholeCharacters(read) : read.size();
    QStringDecoder &decoder = offset == length ? first : rest;
    const QChar *end = decoder.appendToBuffer(piece.data(), read.first(whole));
    take(QStringView(piece.constData(), end));
    carried = read.size() - whole;
    std::copy(read.begin() + whole, read.end(), bytes.data());
  }
  return true;
}

} // namespace store::sql
