#pragma once
// A screen's slot for its resizing control ("FlexoraControl.Flexora"), created
// through the component service. A screen whose control cannot be created works on
// without resizing: every call is then a no-op, and the reason is reported once per
// process on stderr ("Ombrix Tips: resizing disabled: <reason>").

#include <QString>
#include <memory>

class ComponentService;
class ComponentInstance;
class QWidget;

class ResizingControl {
public:
  // The name the host gives the control's widget.
  static constexpr const char *kObjectName = "Flexora1";

  ResizingControl();
  ~ResizingControl(); // releases the control (and unloads its library when unused)
  ResizingControl(const ResizingControl &) = delete;
  ResizingControl &operator=(const ResizingControl &) = delete;

  // Creates the control on the client area and names its widget "Flexora1". True when
  // created (also when it already was); false, with error() and the one-time report, when
  // it cannot be.
  bool create(ComponentService &components, QWidget *clientArea);
  bool created() const { return instance_ != nullptr; }
  // The control's Init; a no-op when not created.
  void Init();
  // Releases the control now; a no-op when not created.
  void release();

  QWidget *widget() const;
  // Why the last create failed; empty when it did not.
  const QString &error() const { return error_; }

private:
  std::unique_ptr<ComponentInstance> instance_;
  QString error_;
};
