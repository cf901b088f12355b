#include "shell/ScreenFrames.h"

#include <QHash>

namespace {

QHash<QString, ScreenFrame> makeFrames() {
  const auto s = [](const char *text) { return QString::fromLatin1(text); };
  const ScreenFrame editGroup{s("Edit Group Screen"), s("Edit Group"), s("Exit Edit Group Screen"),
                              s("Edit Group Record"), 40};
  const ScreenFrame delGroup{s("Delete Group Screen"), s("Delete Group"),
                             s("Exit Delete Group Screen"), s("Delete Group Record"), 60};
  const ScreenFrame exportTips{s("Export Tips Screen"), s("Exporting Tips"),
                               s("Exit Export Tips Screen"), s("Export Tips Screen"), 200};
  const QString editSubjectCaption = s("Edit Subject And Description Screen");
  const QString delSubjectCaption = s("Delete Subject And Description Screen");
  return {
      {s("frmAddGroup"),
       {s("Add New Group Screen"), s("Add New Group"), s("Exit Add New Group Screen"),
        s("Add New Group Record"), 20}},
      {s("frmEditGroup1"), editGroup},
      {s("frmEditGroup2"), editGroup},
      {s("frmDelGroup1"), delGroup},
      {s("frmDelGroup2"), delGroup},
      {s("frmAddSubject"),
       {s("Add New Subject and Description Screen"), s("Add New Subject"),
        s("Exit Add New Subject and Description Screen"),
        s("Add New Subject And Description Record"), 70}},
      {s("frmEditSubject1"),
       {editSubjectCaption, s("Edit Subject"), s("Exit Add New Subject Screen"),
        s("Edit Subject and Description"), 90}},
      {s("frmEditSubject2"),
       {editSubjectCaption, s("Edit Subject"), s("Exit Add New Subject Screen"),
        s("Edit Subject And Description Record"), 90}},
      {s("frmDelSubject1"),
       {delSubjectCaption, s("Delete Subject"), s("Exit Delete Subject and Description Screen"),
        s("Delete Subject and Description"), 110}},
      {s("frmDelSubject2"),
       {delSubjectCaption, s("Delete Subject"), s("Exit Delete Subject and Description Screen"),
        s("Delete Subject And Description Record"), 110}},
      {s("frmExport1"), exportTips},
      {s("frmExport2"), exportTips},
      {s("frmImport1"),
       {s("Import New Tips Screen"), s("Importing Tips"), s("Exit Import New Tips Screen"),
        s("Importing New Tips"), 300}},
      {s("frmImport2"),
       {s("Import New Tips Screen"), s("Importing Tips"), s("Cancel this Action"),
        s("Importing New Tips"), 300}},
      {s("frmUserDetails"),
       {s("User Details Screen"), s("User Details"), s("Exit User Details Screen"),
        s("User Details Record"), 10}},
  };
}

} // namespace

const ScreenFrame &screenFrame(const QString &screenName) {
  static const QHash<QString, ScreenFrame> frames = makeFrames();
  static const ScreenFrame none;
  const auto it = frames.constFind(screenName);
  return it == frames.constEnd() ? none : *it;
}
