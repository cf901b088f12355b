// Tools > Save Tips As Document...: the screen reads its choices, saves through the job and
// says where the document went; a name already there is replaced only when the user agrees.
#include "support/TestProgram.h"

#include "framework/Screen.h"
#include "framework/Screens.h"
#include "platform/MsgBox.h"

#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

class SaveDocument : public OnMainScreen {};

TEST_F(SaveDocument, SavesTheChosenGroupInTheChosenFormatAndSaysWhere) {
  QAction *item = t.active()->findChild<QAction *>("mnuSaveDocumentItem");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "Save &Tips As Document..."); // the letter no other item takes
  t.triggerMenu("mnuSaveDocumentItem");
  ASSERT_EQ(t.activeName(), "frmSaveDocument");
  EXPECT_EQ(t.text("txtFileName"), "Ombrix Tips.html");

  // One group, as Markdown, into the home folder (drive C:).
  const QStringList groups = t.entries("Combo1");
  ASSERT_FALSE(groups.isEmpty());
  t.click("chkAllGroups");
  t.choose("Combo1", groups.back());
  t.chooseIndex("cboFormat", 1);
  const QString name = t.text("txtFileName");
  EXPECT_TRUE(name.endsWith(".md")) << name.toStdString();
  t.click("cmdSaveDocument");
  const QString path = t.home() + "/" + name;
  ASSERT_TRUE(QFile::exists(path));
  QFile md(path);
  ASSERT_TRUE(md.open(QIODevice::ReadOnly));
  const QByteArray text = md.readAll();
  EXPECT_TRUE(text.startsWith("# Ombrix Tips: ")) << text.left(200).toStdString();
  ASSERT_FALSE(t.messages().shown().empty());
  EXPECT_TRUE(t.messages().shown().back().prompt.startsWith("The tips were saved as C:\\" + name))
      << t.messages().shown().back().prompt.toStdString();

  // Saving again asks first; No leaves the file as it was.
  QFile::resize(path, 5);
  t.messages().queue(msgbox::vbNo);
  t.click("cmdSaveDocument");
  EXPECT_TRUE(t.messages().shown().back().prompt.contains("already exists"));
  EXPECT_EQ(QFileInfo(path).size(), 5);
  EXPECT_EQ(t.activeName(), "frmSaveDocument");
}

} // namespace
