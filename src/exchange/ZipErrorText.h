#pragma once
// The zip library's own words for one of its error codes, for the packing and the
// unpacking alike.

#include <QString>
#include <zip.h>

namespace exchange {

inline QString libzipMessage(int zipError) {
  zip_error_t error;
  zip_error_init_with_code(&error, zipError);
  const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
  zip_error_fini(&error);
  return text;
}

} // namespace exchange
