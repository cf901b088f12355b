// The names the export gives its files: always one file name, whatever the first name
// holds (the desktop-keys scenario exports such a name into the exchange folder).
#include "exchange/SafeFileName.h"
#include "exchange/ExchangeCounts.h"

#include <gtest/gtest.h>

namespace {

TEST(SafeFileName, EveryCharacterThatCannotStandInAFileNameBecomesAnUnderscore) {
  const struct {
    const char *firstName;
    const char *package;
  } cases[] = {
      {"Ann", "OBXAnn.ZIP"},
      {"../AC/DC:?", "OBX.._AC_DC__.ZIP"}, // dots after "OBX" are no longer leading
      {"a\\b*c\"d<e>f|g", "OBXa_b_c_d_e_f_g.ZIP"},
      {" Ann ", "OBX Ann .ZIP"}, // blanks inside the name are kept, as typed
      {"Ann.", "OBXAnn..ZIP"},
      {"tab\there\nnew\x7f", "OBXtab_here_new_.ZIP"},
      {"Zoë 李 😀", "OBXZoë 李 😀.ZIP"},
      {"", "OBX.ZIP"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.firstName);
    EXPECT_EQ(exchange::packageFileName(QString::fromUtf8(c.firstName)),
              QString::fromUtf8(c.package));
  }
  EXPECT_EQ(exchange::exportMdbName("../AC/DC:?"), "OBX.._AC_DC__.MDB");
  // A name of the program's own that starts or ends with dots or blanks.
  EXPECT_EQ(exchange::safeFileName(". ", "x", " ."), "__x__");
  EXPECT_EQ(exchange::safeFileName("", QString(1, QChar(0xD800)) + "a\u2028b", ""), "_a_b");
}

TEST(SafeFileName, ALongNameIsCutAtACharacterBoundaryToFitTheFileSystem) {
  const auto bytes = [](const QString &s) { return s.toUtf8().size(); };
  // 'e' + combining acute accent: three bytes, one character.
  const QString accented = QString::fromUtf8("e\xCC\x81");
  for (const QString &unit :
       {QString("a"), QString::fromUtf8("李"), QString::fromUtf8("😀"), accented}) {
    SCOPED_TRACE(unit.toStdString());
    const QString name = exchange::packageFileName(unit.repeated(300));
    EXPECT_LE(bytes(name), exchange::kMaxFileNameBytes);
    EXPECT_GT(bytes(name), exchange::kMaxFileNameBytes - bytes(unit));
    EXPECT_TRUE(name.startsWith("OBX" + unit));
    EXPECT_TRUE(name.endsWith(unit + ".ZIP"));
    // The working name written beside the package fits a Linux file system too.
    EXPECT_LE(bytes("." + name + ".part"), 255);
  }
}

} // namespace
