#pragma once
// The one error of the data generator: a malformed tips file (with file name and line
// number), or a delivered file that cannot be written. The build reports its text and fails.

#include <QString>
#include <stdexcept>

namespace obxdata {

class DataError : public std::runtime_error {
public:
  explicit DataError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

} // namespace obxdata
