#include "platform/Registry.h"

#include <QFile>
#include <QStandardPaths>
#include <QTextStream>
#include <optional>

namespace {

const QString kRelativeFile = QStringLiteral("/ombrixtips/registry.ini");

// The value under the key in one file: nothing when the file, the key or the value is
// missing. Lines are "name=value"; ';' and '#' begin comments; blanks around names and
// values do not count.
std::optional<QString> readValue(const QString &path, const QString &keyName,
                                 const QString &valueName) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
    return std::nullopt;
  QTextStream in(&file);
  bool inKey = false;
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
      continue;
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
      inKey = line.mid(1, line.size() - 2).trimmed().compare(keyName, Qt::CaseInsensitive) == 0;
      continue;
    }
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (inKey && equals > 0 &&
        line.left(equals).trimmed().compare(valueName, Qt::CaseInsensitive) == 0)
      return line.mid(equals + 1).trimmed();
  }
  return std::nullopt;
}

} // namespace

SettingsRegistry::SettingsRegistry() {
  const QString user = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  for (const QString &folder :
       QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
    if (folder != user)
      machineFiles_ << folder + kRelativeFile;
  if (!user.isEmpty())
    userFiles_ << user + kRelativeFile;
}

SettingsRegistry::SettingsRegistry(QStringList machineFiles, QStringList userFiles)
    : machineFiles_(std::move(machineFiles)), userFiles_(std::move(userFiles)) {}

bool SettingsRegistry::GetKeyValue(RegistryRoot root, const QString &keyName,
                                   const QString &valueName, QString &value) const {
  value.clear();
  const QStringList &files = root == RegistryRoot::LocalMachine ? machineFiles_ : userFiles_;
  for (const QString &path : files) {
    const std::optional<QString> found = readValue(path, keyName, valueName);
    if (!found)
      continue;
    if (found->size() > kMaxValueLength)
      return false;
    value = *found;
    return true;
  }
  return false;
}
