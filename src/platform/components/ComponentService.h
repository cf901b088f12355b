#pragma once
// The in-process component service: creates a control by its class name from a library
// recorded in the program folder's component registry, and runs a library's registration
// entry points (as regsvr32 does).
//
// The registry is the file components.ini in the program folder, written by the library's
// own DllRegisterServer (format: flexora/Flexora.h). A library path recorded there is
// relative to the program folder unless it is absolute.

#include <QString>
#include <memory>

#include <flexora/Flexora.h>

class QWidget;

namespace component_detail {
struct LoadedLibrary;
}

// One control created through the component service. Destroying it releases the control,
// then asks the library's DllCanUnloadNow and unloads the library when it answers S_OK_.
// It needs neither the service nor the client area to be alive when it is destroyed.
class ComponentInstance {
public:
  ~ComponentInstance();
  ComponentInstance(const ComponentInstance &) = delete;
  ComponentInstance &operator=(const ComponentInstance &) = delete;

  flexora::IFlexora *control() const { return control_; }
  // The control's widget; null once its client area destroyed it.
  QWidget *widget() const;
  // Native path of the library the control came from.
  QString libraryPath() const;

private:
  friend class ComponentService;
  ComponentInstance(std::shared_ptr<component_detail::LoadedLibrary> library,
                    flexora::IFlexora *control);
  std::shared_ptr<component_detail::LoadedLibrary> library_;
  flexora::IFlexora *control_;
};

class ComponentService {
public:
  // programFolder: the folder whose components.ini is consulted by createControl.
  explicit ComponentService(QString programFolder);

  const QString &programFolder() const { return programFolder_; }
  // Native path of <programFolder>/components.ini.
  QString registryPath() const;
  // The native path of the library registered for className, or empty when none.
  QString registeredLibrary(const QString &className) const;

  // Loads the library and calls its DllRegisterServer / DllUnregisterServer. On failure
  // returns false and, when error is given, says why.
  bool registerServer(const QString &libraryPath, QString *error = nullptr);
  bool unregisterServer(const QString &libraryPath, QString *error = nullptr);

  // Creates a control of className on clientArea. Null on any failure (class not
  // registered, library missing or not loadable, entry point missing, class object or
  // instance refused), with the reason in error.
  std::unique_ptr<ComponentInstance> createControl(const QString &className, QWidget *clientArea,
                                                   QString *error = nullptr);

  // Whether the service holds the library at this path loaded (for tests and tools).
  static bool isLoaded(const QString &libraryPath);

private:
  QString programFolder_;
};
