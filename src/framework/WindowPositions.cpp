#include "framework/WindowPositions.h"

#include "framework/OBXGlobals.h"
#include "platform/MsgBox.h"
#include "tips/StoredWindowState.h"

namespace {

int fieldOr(const store::Recordset &rs, const char *name, int fallback) {
  const QVariant value = rs.field(QString::fromLatin1(name));
  return value.isNull() || !value.isValid() ? fallback : value.toInt();
}

} // namespace

void readStoredGeometry(const store::Recordset &settings, const QString &windowStateFile,
                        OBXGlobals &g) {
  g.gFrmHeight = fieldOr(settings, "USER_H", store::kDefaultWindowGeometry.height);
  g.gFrmLeft = fieldOr(settings, "USER_L", store::kDefaultWindowGeometry.left);
  g.gFrmTop = fieldOr(settings, "USER_T", store::kDefaultWindowGeometry.top);
  g.gFrmWidth = fieldOr(settings, "USER_W", store::kDefaultWindowGeometry.width);
  g.gFrmMaximised =
      tips::storedMaximised(windowStateFile, {g.gFrmHeight, g.gFrmLeft, g.gFrmTop, g.gFrmWidth});
}

void storeGeometry(store::DataControl &settings, const store::WindowGeometry &geometry,
                   bool maximised, const QString &windowStateFile) {
  settings.refresh();
  store::Recordset &rs = settings.recordset();
  rs.moveFirst();
  rs.edit();
  rs.setField(QStringLiteral("USER_H"), geometry.height);
  rs.setField(QStringLiteral("USER_L"), geometry.left);
  rs.setField(QStringLiteral("USER_T"), geometry.top);
  rs.setField(QStringLiteral("USER_W"), geometry.width);
  rs.update();
  tips::storeMaximised(windowStateFile,
                       {geometry.height, geometry.left, geometry.top, geometry.width}, maximised);
}

QString userPositionMessage() {
  const QStringList lines = {
      QStringLiteral("The Ombrix Tips window position and size have been set to"),
      QStringLiteral("the current settings."),
      QString(),
      QStringLiteral("To reset the position and window size to the default"),
      QStringLiteral("settings do the following:"),
      QStringLiteral("1. Click on [Tools];"),
      QStringLiteral("2. Move the mouse to [Screen Position];"),
      QStringLiteral("3. Click on [Set Default Position]."),
      QString(),
      QStringLiteral("Please click the OK button to exit this window!"),
  };
  QString text;
  for (const QString &line : lines)
    text += line + msgbox::kNewLine;
  return text;
}
