#include "platform/components/ComponentService.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QSettings>

#include <map>

namespace component_detail {

// A component library the service holds loaded: one load per library, shared by every
// control created from it.
struct LoadedLibrary {
  explicit LoadedLibrary(const QString &path) : path(path), library(path) {}
  QString path;
  QLibrary library;
  bool loaded = false;
  flexora::DllGetClassObjectFn getClassObject = nullptr;
  flexora::DllCanUnloadNowFn canUnloadNow = nullptr;

  // Unloads the library when it says that it may be unloaded.
  void unloadIfUnused() {
    if (!loaded || !canUnloadNow || canUnloadNow() != flexora::S_OK_)
      return;
    getClassObject = nullptr;
    canUnloadNow = nullptr;
    loaded = false;
    library.unload();
  }
};

} // namespace component_detail

using component_detail::LoadedLibrary;

namespace {

// The libraries loaded by the service, by absolute path. A library is process-wide, like
// the platform's own component service; entries expire with their last control.
std::map<QString, std::weak_ptr<LoadedLibrary>> &loadedLibraries() {
  static std::map<QString, std::weak_ptr<LoadedLibrary>> libraries;
  return libraries;
}

QString absolute(const QString &path) {
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void setError(QString *error, const QString &text) {
  if (error)
    *error = text;
}

// The library at path, loaded, with its two class-object entry points; null and an error
// when it cannot be loaded or lacks an entry point.
std::shared_ptr<LoadedLibrary> loadLibrary(const QString &path, QString *error) {
  auto &libraries = loadedLibraries();
  std::shared_ptr<LoadedLibrary> lib;
  if (auto it = libraries.find(path); it != libraries.end())
    lib = it->second.lock();
  if (!lib) {
    lib = std::make_shared<LoadedLibrary>(path);
    libraries[path] = lib;
  }
  if (lib->loaded)
    return lib;
  if (!lib->library.load()) {
    setError(error, QStringLiteral("cannot load %1: %2").arg(path, lib->library.errorString()));
    return nullptr;
  }
  lib->loaded = true;
  lib->getClassObject =
      reinterpret_cast<flexora::DllGetClassObjectFn>(lib->library.resolve("DllGetClassObject"));
  lib->canUnloadNow =
      reinterpret_cast<flexora::DllCanUnloadNowFn>(lib->library.resolve("DllCanUnloadNow"));
  if (!lib->getClassObject || !lib->canUnloadNow) {
    setError(error, QStringLiteral("%1 lacks the entry point %2")
                        .arg(path, QLatin1String(lib->getClassObject ? "DllCanUnloadNow"
                                                                     : "DllGetClassObject")));
    lib->getClassObject = nullptr;
    lib->canUnloadNow = nullptr;
    lib->loaded = false;
    lib->library.unload();
    return nullptr;
  }
  return lib;
}

// Loads a library for one call of a registration entry point, then unloads it again.
bool callRegistration(const QString &libraryPath, const char *entryPoint, QString *error) {
  const QString path = absolute(libraryPath);
  if (!QFileInfo(path).isFile()) {
    setError(error, QStringLiteral("library %1 not found").arg(path));
    return false;
  }
  QLibrary library(path);
  if (!library.load()) {
    setError(error, QStringLiteral("cannot load %1: %2").arg(path, library.errorString()));
    return false;
  }
  bool ok = false;
  auto entry = reinterpret_cast<flexora::DllRegisterServerFn>(library.resolve(entryPoint));
  if (!entry) {
    setError(error,
             QStringLiteral("%1 lacks the entry point %2").arg(path, QLatin1String(entryPoint)));
  } else if (const long result = entry(); result != flexora::S_OK_) {
    setError(error, QStringLiteral("%1 of %2 failed (code %3)")
                        .arg(QLatin1String(entryPoint), path)
                        .arg(result));
  } else {
    ok = true;
  }
  library.unload();
  return ok;
}

} // namespace

// ---------------------------------------------------------------------------------------

ComponentInstance::ComponentInstance(std::shared_ptr<LoadedLibrary> library,
                                     flexora::IFlexora *control)
    : library_(std::move(library)), control_(control) {}

ComponentInstance::~ComponentInstance() {
  if (control_)
    control_->Release();
  control_ = nullptr;
  if (library_)
    library_->unloadIfUnused();
}

QWidget *ComponentInstance::widget() const { return control_ ? control_->widget() : nullptr; }

QString ComponentInstance::libraryPath() const { return library_ ? library_->path : QString(); }

// ---------------------------------------------------------------------------------------

ComponentService::ComponentService(QString programFolder)
    : programFolder_(std::move(programFolder)) {}

QString ComponentService::registryPath() const {
  return QDir(programFolder_).filePath(QString::fromLatin1(flexora::kRegistryFileName));
}

QString ComponentService::registeredLibrary(const QString &className) const {
  const QString registry = registryPath();
  if (className.isEmpty() || !QFileInfo(registry).isFile())
    return QString();
  QSettings settings(registry, QSettings::IniFormat);
  settings.beginGroup(className);
  const QString recorded =
      settings.value(QString::fromLatin1(flexora::kRegistryLibraryKey)).toString();
  if (recorded.isEmpty())
    return QString();
  return QDir::cleanPath(QDir(programFolder_).absoluteFilePath(recorded));
}

bool ComponentService::registerServer(const QString &libraryPath, QString *error) {
  return callRegistration(libraryPath, "DllRegisterServer", error);
}

bool ComponentService::unregisterServer(const QString &libraryPath, QString *error) {
  return callRegistration(libraryPath, "DllUnregisterServer", error);
}

std::unique_ptr<ComponentInstance>
ComponentService::createControl(const QString &className, QWidget *clientArea, QString *error) {
  if (!clientArea) {
    setError(error, QStringLiteral("no client area for %1").arg(className));
    return nullptr;
  }
  const QString path = registeredLibrary(className);
  if (path.isEmpty()) {
    setError(error,
             QStringLiteral("class %1 is not registered in %2").arg(className, registryPath()));
    return nullptr;
  }
  if (!QFileInfo(path).isFile()) {
    setError(error, QStringLiteral("library %1 of class %2 not found").arg(path, className));
    return nullptr;
  }
  std::shared_ptr<LoadedLibrary> lib = loadLibrary(path, error);
  if (!lib)
    return nullptr;

  void *object = nullptr;
  const QByteArray name = className.toUtf8();
  const long result = lib->getClassObject(name.constData(), flexora::kControlInterface, &object);
  if (result != flexora::S_OK_ || !object) {
    setError(error, QStringLiteral("%1 hands out no class object for %2 (code %3)")
                        .arg(path, className)
                        .arg(result));
    lib->unloadIfUnused();
    return nullptr;
  }
  auto *factory = static_cast<flexora::IClassFactory *>(object);
  flexora::IFlexora *control = factory->CreateInstance(clientArea);
  factory->Release();
  if (!control) {
    setError(error, QStringLiteral("%1 created no control of class %2").arg(path, className));
    lib->unloadIfUnused();
    return nullptr;
  }
  return std::unique_ptr<ComponentInstance>(new ComponentInstance(std::move(lib), control));
}

bool ComponentService::isLoaded(const QString &libraryPath) {
  auto &libraries = loadedLibraries();
  const auto it = libraries.find(absolute(libraryPath));
  if (it == libraries.end())
    return false;
  const std::shared_ptr<LoadedLibrary> lib = it->second.lock();
  return lib && lib->loaded;
}
