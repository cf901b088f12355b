#include "platform/MousePointer.h"

#include <QCursor>
#include <QGuiApplication>

BusyPointer::BusyPointer() : active_(true) {
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyPointer::~BusyPointer() { release(); }

void BusyPointer::release() {
  if (!active_)
    return;
  active_ = false;
  QGuiApplication::restoreOverrideCursor();
}
