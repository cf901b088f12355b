#pragma once
// Public interface of the resizing control library libflexora.so.
//
// The program never links the library: it creates the control by its class name through
// the component service, which loads the library and calls its entry points below.
//
// Host contract.
// - The control is an invisible widget placed on the host screen's client area (the widget
//   handed to IClassFactory::CreateInstance becomes its parent widget). The host names it
//   ("Flexora1"); the library never sets its objectName.
// - All coordinates are twips, 15 twips to a device-independent pixel. The client area's
//   size in twips is its ScaleWidth / ScaleHeight; a control's Left / Top / Width / Height
//   are its geometry() (relative to its own parent widget, so a control inside a frame is
//   placed relative to the frame) in twips.
// - The host's controls are the named descendants of the client area (objectName not empty
//   and not starting with "qt_"), in depth-first child order as QObject::findChildren gives
//   it at Init, the control itself included. QObjects that are not widgets, and widgets that
//   are windows of their own, have no position: their entries stay 0 and they are left
//   alone.
// - A line is a control (widget or not) that has the four properties X1, Y1, X2, Y2 (read
//   with QObject::property, written with QObject::setProperty, in twips; Q_PROPERTYs or
//   dynamic properties). Its end points are scaled instead of its geometry.
// - Every other widget is placed by four separate assignments, in the order Top, Left,
//   Height, Width, each a move() or resize() with trunc(reference / ratio) twips rounded to
//   the nearest pixel.
// - Init reads the client area's current size: the host gives the client area its designed
//   size before calling Init (a pending layout of the host window is activated first).
// - The control handles the client area's QEvent::Resize (event filter, installed by Init).
//   It may resize the host window (window()) to keep the client area at least half its
//   reference height (outer height := half the reference client height + 400 twips) and
//   half its reference width (outer width := half the reference client width + the
//   window's non-client width).
// - No call shows a message or lets an exception reach the host.
//
// Component registry (written by DllRegisterServer, read by the component service): the
// file components.ini (kRegistryFileName) in the library's own folder, in QSettings' INI
// format, one section per class:
//
//   [FlexoraControl.Flexora]
//   Description=Flexora Control Repositioner
//   Library=libflexora.so
//
// Library is the library's path relative to the folder of components.ini when the library
// lies in or below that folder (so a copied program folder keeps working), else absolute.

#include <QtGlobal>

class QWidget;

namespace flexora {

inline constexpr const char *kClassName = "FlexoraControl.Flexora";
inline constexpr const char *kDescription = "Flexora Control Repositioner";
// Name of the one interface the class object hands out (the created controls' interface).
inline constexpr const char *kControlInterface = "IFlexora";
// Name of the class object's own interface; DllGetClassObject accepts it too.
inline constexpr const char *kFactoryInterface = "IClassFactory";

// The component registry: file name and keys of a class's section.
inline constexpr const char *kRegistryFileName = "components.ini";
inline constexpr const char *kRegistryLibraryKey = "Library";
inline constexpr const char *kRegistryDescriptionKey = "Description";

// Result codes of the entry points, as the component service understands them.
inline constexpr long S_OK_ = 0;
inline constexpr long S_FALSE_ = 1;
inline constexpr long E_FAIL_ = -1;
inline constexpr long CLASS_E_CLASSNOTAVAILABLE_ = -2;
inline constexpr long E_NOINTERFACE_ = -3; // an interface name the class does not have
inline constexpr long E_POINTER_ = -4;     // a required out pointer is null

// One resizing control. Release() ends it (the host calls it when the screen unloads).
class IFlexora {
public:
  // Records the host's current client size and every control's geometry as the
  // reference, and from then on lays the controls out on every resize of the host.
  // May be called again: each call replaces the reference with the current geometry.
  virtual void Init() = 0;
  // The invisible widget placed on the host's client area; null once the client area
  // (and with it the widget) was destroyed before Release.
  virtual QWidget *widget() = 0;
  // Destroys the widget (if still alive) and this object. Call exactly once.
  virtual void Release() = 0;

protected:
  virtual ~IFlexora() = default;
};

// The class object (factory) handed out by DllGetClassObject.
class IClassFactory {
public:
  // Creates a control on the given client area (its parent widget); null when clientArea
  // is null or the control cannot be created.
  virtual IFlexora *CreateInstance(QWidget *clientArea) = 0;
  // Ends this class object. Call exactly once.
  virtual void Release() = 0;

protected:
  virtual ~IClassFactory() = default;
};

// Types of the four entry points, for QLibrary::resolve.
using DllRegisterServerFn = long (*)(void);
using DllUnregisterServerFn = long (*)(void);
using DllGetClassObjectFn = long (*)(const char *className, const char *interfaceName,
                                     void **classObject);
using DllCanUnloadNowFn = long (*)(void);

} // namespace flexora

extern "C" {
// Records the class name, its description and this library's path in the component
// registry (components.ini in the library's own folder). S_OK_, or E_FAIL_ when the
// registry cannot be written.
Q_DECL_EXPORT long DllRegisterServer(void);
// Removes that record (and the file when no class is left in it). S_OK_ also when there
// was no record; E_FAIL_ when the registry cannot be written.
Q_DECL_EXPORT long DllUnregisterServer(void);
// Hands out, in *classObject, a new class object (an IClassFactory *) for className, or
// CLASS_E_CLASSNOTAVAILABLE_. interfaceName: kControlInterface, kFactoryInterface or null;
// any other name gives E_NOINTERFACE_. A null classObject gives E_POINTER_.
Q_DECL_EXPORT long DllGetClassObject(const char *className, const char *interfaceName,
                                     void **classObject);
// S_OK_ when no control and no class object is alive, so the library may be unloaded;
// else S_FALSE_.
Q_DECL_EXPORT long DllCanUnloadNow(void);
}
