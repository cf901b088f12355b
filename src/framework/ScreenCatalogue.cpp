#include "framework/ScreenCatalogue.h"

UnknownScreen::UnknownScreen(const QString &name)
    : std::runtime_error(
          QStringLiteral("Ombrix Tips has no screen named \"%1\".").arg(name).toStdString()),
      name_(name) {}

const ScreenEntry &ScreenCatalogue::entry(const QString &name) const {
  for (const ScreenEntry &entry : entries_)
    if (entry.name == name)
      return entry;
  throw UnknownScreen(name);
}

const ScreenFrame &ScreenCatalogue::frame(const QString &name) const {
  const ScreenEntry &entry = this->entry(name);
  if (!entry.frame)
    throw std::logic_error(name.toStdString() + " is not a secondary screen");
  return *entry.frame;
}
