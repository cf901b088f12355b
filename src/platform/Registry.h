#pragma once
// The registry stand-in: text values under a root and a key name, read from the
// platform's settings store.
//
// Each root is an INI file named ombrixtips/registry.ini in the platform's configuration
// folders: the machine's (HKEY_LOCAL_MACHINE) in the system folders ($XDG_CONFIG_DIRS,
// /etc/xdg), the user's (HKEY_CURRENT_USER) in $XDG_CONFIG_HOME. A key is a section named
// as the key, backslashes and all; a value is a line of the section. Names are matched
// without regard to case, as the registry matches them:
//
//   [SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   PATH=/usr/bin/hardinfo
//
// Only reading is offered: nothing of the program writes there.

#include <QString>
#include <QStringList>

enum class RegistryRoot { LocalMachine, CurrentUser };
inline constexpr RegistryRoot HKEY_LOCAL_MACHINE = RegistryRoot::LocalMachine;
inline constexpr RegistryRoot HKEY_CURRENT_USER = RegistryRoot::CurrentUser;

class Registry {
public:
  virtual ~Registry() = default;
  // Reads one text value. value: the text read, or empty. True when the value was read.
  virtual bool GetKeyValue(RegistryRoot root, const QString &keyName, const QString &valueName,
                           QString &value) const = 0;
};

// The registry on the platform's configuration files.
class SettingsRegistry : public Registry {
public:
  // The files of this platform.
  SettingsRegistry();
  // The given files per root; the first file that holds the value answers.
  SettingsRegistry(QStringList machineFiles, QStringList userFiles);

  bool GetKeyValue(RegistryRoot root, const QString &keyName, const QString &valueName,
                   QString &value) const override;

  // Values hold at most this many characters, as the registry's readers always allowed;
  // a longer one is not read.
  static constexpr int kMaxValueLength = 1023;

private:
  QStringList machineFiles_;
  QStringList userFiles_;
};
