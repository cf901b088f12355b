#include "platform/ResizingControl.h"

#include "platform/components/ComponentService.h"

#include <QWidget>
#include <atomic>
#include <cstdio>

namespace {

void reportOnce(const QString &reason) {
  static std::atomic<bool> reported{false};
  if (reported.exchange(true))
    return;
  std::fprintf(stderr, "Ombrix Tips: resizing disabled: %s\n", reason.toLocal8Bit().constData());
  std::fflush(stderr);
}

} // namespace

ResizingControl::ResizingControl() = default;

ResizingControl::~ResizingControl() = default;

bool ResizingControl::create(ComponentService &components, QWidget *clientArea) {
  if (instance_)
    return true;
  error_.clear();
  instance_ =
      components.createControl(QString::fromLatin1(flexora::kClassName), clientArea, &error_);
  if (!instance_) {
    if (error_.isEmpty())
      error_ = QStringLiteral("the resizing control could not be created");
    reportOnce(error_);
    return false;
  }
  if (QWidget *w = instance_->widget())
    w->setObjectName(QString::fromLatin1(kObjectName));
  return true;
}

void ResizingControl::Init() {
  if (instance_ && instance_->control())
    instance_->control()->Init();
}

void ResizingControl::release() { instance_.reset(); }

QWidget *ResizingControl::widget() const { return instance_ ? instance_->widget() : nullptr; }
