#include "screens/AllScreens.h"

#include "framework/ScreenNames.h"
#include "screens/exchange/frmExport1.h"
#include "screens/exchange/frmExport2.h"
#include "screens/exchange/frmImport1.h"
#include "screens/exchange/frmImport2.h"
#include "screens/exchange/frmImportDetails.h"
#include "screens/groups/frmAddGroup.h"
#include "screens/groups/frmDelGroup1.h"
#include "screens/groups/frmDelGroup2.h"
#include "screens/groups/frmEditGroup1.h"
#include "screens/groups/frmEditGroup2.h"
#include "screens/main/frmAbout.h"
#include "screens/main/frmFindTips.h"
#include "screens/main/frmOmbrixShow.h"
#include "screens/main/frmSaveDocument.h"
#include "screens/main/frmScreenDefault.h"
#include "screens/main/frmTipOfTheDay.h"
#include "screens/subjects/frmAddSubject.h"
#include "screens/subjects/frmDelSubject1.h"
#include "screens/subjects/frmDelSubject2.h"
#include "screens/subjects/frmEditSubject1.h"
#include "screens/subjects/frmEditSubject2.h"
#include "screens/user/frmUserDetails.h"

namespace {

template <class S> std::function<Screen *(Program &)> make() {
  return [](Program &program) { return new S(program); };
}

ScreenFrame frame(const char *caption, const char *heading, const char *exitToolTip,
                  const char *msgTitle, int helpTopic) {
  return {QString::fromLatin1(caption), QString::fromLatin1(heading),
          QString::fromLatin1(exitToolTip), QString::fromLatin1(msgTitle), helpTopic};
}

std::vector<ScreenEntry> makeCatalogue() {
  const ScreenFrame editGroup =
      frame("Edit Group Screen", "Edit Group", "Exit Edit Group Screen", "Edit Group Record", 40);
  const ScreenFrame delGroup = frame("Delete Group Screen", "Delete Group",
                                     "Exit Delete Group Screen", "Delete Group Record", 60);
  const ScreenFrame exportTips = frame("Export Tips Screen", "Exporting Tips",
                                       "Exit Export Tips Screen", "Export Tips Screen", 200);
  const char *editSubject = "Edit Subject And Description Screen";
  const char *delSubject = "Delete Subject And Description Screen";
  const char *delSubjectExit = "Exit Delete Subject and Description Screen";
  const char *importTips = "Import New Tips Screen";
  return {
      {screen::frmOmbrixShow, make<frmOmbrixShow>(), {}},
      {screen::frmScreenDefault, make<frmScreenDefault>(), {}},
      {screen::frmAbout, make<frmAbout>(), {}},
      {screen::frmTipOfTheDay, make<frmTipOfTheDay>(), {}},
      {screen::frmUserDetails, make<frmUserDetails>(),
       frame("User Details Screen", "User Details", "Exit User Details Screen",
             "User Details Record", 10)},
      {screen::frmAddGroup, make<frmAddGroup>(),
       frame("Add New Group Screen", "Add New Group", "Exit Add New Group Screen",
             "Add New Group Record", 20)},
      {screen::frmEditGroup1, make<frmEditGroup1>(), editGroup},
      {screen::frmEditGroup2, make<frmEditGroup2>(), editGroup},
      {screen::frmDelGroup1, make<frmDelGroup1>(), delGroup},
      {screen::frmDelGroup2, make<frmDelGroup2>(), delGroup},
      {screen::frmAddSubject, make<frmAddSubject>(),
       frame("Add New Subject and Description Screen", "Add New Subject",
             "Exit Add New Subject and Description Screen",
             "Add New Subject And Description Record", 70)},
      {screen::frmEditSubject1, make<frmEditSubject1>(),
       frame(editSubject, "Edit Subject", "Exit Add New Subject Screen",
             "Edit Subject and Description", 90)},
      {screen::frmEditSubject2, make<frmEditSubject2>(),
       frame(editSubject, "Edit Subject", "Exit Add New Subject Screen",
             "Edit Subject And Description Record", 90)},
      {screen::frmDelSubject1, make<frmDelSubject1>(),
       frame(delSubject, "Delete Subject", delSubjectExit, "Delete Subject and Description", 110)},
      {screen::frmDelSubject2, make<frmDelSubject2>(),
       frame(delSubject, "Delete Subject", delSubjectExit, "Delete Subject And Description Record",
             110)},
      {screen::frmExport1, make<frmExport1>(), exportTips},
      {screen::frmExport2, make<frmExport2>(), exportTips},
      {screen::frmImport1, make<frmImport1>(),
       frame(importTips, "Importing Tips", "Exit Import New Tips Screen", "Importing New Tips",
             300)},
      {screen::frmImport2, make<frmImport2>(),
       frame(importTips, "Importing Tips", "Cancel this Action", "Importing New Tips", 300)},
      {screen::frmImportDetails, make<frmImportDetails>(),
       frame("Import Details Screen", "Import Details", "Exit Import Details Screen",
             "Import Details", 310)},
      {screen::frmFindTips, make<frmFindTips>(),
       frame("Find Tips Screen", "Find Tips", "Exit Find Tips Screen", "Find Tips", 400)},
      {screen::frmSaveDocument, make<frmSaveDocument>(),
       frame("Save Tips As Document Screen", "Save As Document",
             "Exit Save Tips As Document Screen", "Save Tips As Document", 500)},
  };
}

} // namespace

const ScreenCatalogue &screenCatalogue() {
  static const ScreenCatalogue catalogue(makeCatalogue());
  return catalogue;
}

const ScreenFrame &screenFrame(const QString &name) { return screenCatalogue().frame(name); }
