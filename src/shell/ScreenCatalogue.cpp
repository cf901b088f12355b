#include "shell/ScreenCatalogue.h"

#include "shell/PlaceholderScreens.h"
#include "shell/Screens.h"
#include "shell/frmOmbrixShow.h"
#include "shell/frmScreenDefault.h"
#include "user/frmUserDetails.h"

namespace {

template <class S> Screens::Factory make() {
  return [](Program &program) { return new S(program); };
}

Screens::Factory placeholder(const char *name, const char *heading) {
  return [name, heading](Program &program) {
    return new PlaceholderScreen(program, QString::fromLatin1(name), heading);
  };
}

} // namespace

void registerScreens(Screens &screens) {
  screens.registerScreen(QStringLiteral("frmOmbrixShow"), make<frmOmbrixShow>());
  screens.registerScreen(QStringLiteral("frmScreenDefault"), make<frmScreenDefault>());
  screens.registerScreen(QStringLiteral("frmUserDetails"), make<frmUserDetails>());
  screens.registerScreen(QStringLiteral("frmAbout"), make<frmAbout>());

  // Screens still to come carry their frame already.
  const struct {
    const char *name;
    const char *heading;
  } later[] = {
      {"frmAddGroup", "lblAddGroup"},        {"frmEditGroup1", "lblEditGroup"},
      {"frmEditGroup2", "lblEditGroup"},     {"frmDelGroup1", "lblDelGroup"},
      {"frmDelGroup2", "lblDelGroup"},       {"frmAddSubject", "lblAddSubject"},
      {"frmEditSubject1", "lblEditSubject"}, {"frmEditSubject2", "lblEditSubject"},
      {"frmDelSubject1", "lblDelSubject"},   {"frmDelSubject2", "lblDelSubject"},
      {"frmExport1", "lblExport"},           {"frmExport2", "lblExport"},
      {"frmImport1", "lblImport"},           {"frmImport2", "lblImport"},
  };
  for (const auto &screen : later)
    screens.registerScreen(QString::fromLatin1(screen.name),
                           placeholder(screen.name, screen.heading));
}
