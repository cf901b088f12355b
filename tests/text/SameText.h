#pragma once
// Texts compared whole, reported by where they part: a megabyte does not belong in a
// failure message.

#include <QString>
#include <gtest/gtest.h>

inline testing::AssertionResult same(const QString &actual, const QString &expected) {
  if (actual == expected)
    return testing::AssertionSuccess();
  qsizetype at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
    ++at;
  return testing::AssertionFailure()
         << actual.size() << " characters instead of " << expected.size()
         << ", first difference at " << at << ": \"" << actual.mid(at, 20).toStdString()
         << "\" instead of \"" << expected.mid(at, 20).toStdString() << "\"";
}
