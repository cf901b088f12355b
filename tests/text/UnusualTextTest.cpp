// Unusual text entered on the add and edit screens: emoji, right-to-left runs with
// direction marks, combining marks, control characters, tabs, line breaks and a
// description of a megabyte. Each is stored as it stood in the box (names lose their
// surrounding blanks and their apostrophes become backticks) and is shown back unchanged
// on the main screen, the edit screen and the find screen.
#include "support/MaintenanceFixture.h"

#include "SameText.h"
#include "framework/Screen.h"
#include "widgets/DescriptionBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

namespace {

using namespace Qt::Literals::StringLiterals;
using msgbox::vbNo;
using msgbox::vbOK;
using msgbox::vbYes;

const QString kNoChanges = "There are No Changes to the Subject And Description Name!\r\n"
                           "Type a different Subject Name or select a different Description Name.";

// What a description box holds as it reads it back: line breaks as '\n' and lines cut into
// blocks whole, every other character as it is (toPlainText would turn a no-break space into
// a blank).
QString boxText(QWidget *box) { return descriptionText(qobject_cast<QPlainTextEdit *>(box)); }

struct Entry {
  const char *what;
  QString subject;     // entered into the subject box
  QString description; // entered into the description box
  bool paste;          // pasted (control characters cannot be typed), else typed
  QString storedSubject;
  QString storedDescription;
};

const QString kFamily = u"\U0001F468\u200D\U0001F469\u200D\U0001F467"_s; // ZWJ sequence
const QString kRainbow = u"\U0001F3F3\uFE0F\u200D\U0001F308"_s;

const std::vector<Entry> kEntries = {
    {"emoji", u"Emoji \U0001F600 \U0001F44D\U0001F3FD"_s, "Family " + kFamily + " " + kRainbow,
     false, u"Emoji \U0001F600 \U0001F44D\U0001F3FD"_s, "Family " + kFamily + " " + kRainbow},
    {"right to left", u"\u05E9\u05DC\u05D5\u05DD \u200Fabc\u200E"_s,
     u"\u0645\u0631\u062D\u0628\u0627 \u202Bnested 123\u202C \u2067\u05D0\u2069 end"_s, false,
     u"\u05E9\u05DC\u05D5\u05DD \u200Fabc\u200E"_s,
     u"\u0645\u0631\u062D\u0628\u0627 \u202Bnested 123\u202C \u2067\u05D0\u2069 end"_s},
    {"combining marks", u"Cafe\u0301 Z\u0335\u0336\u0337\u0338"_s,
     u"Re\u0301sume\u0301 a\u0301\u0302\u0303\u0304\u0305\u0306 n\u0303"_s, false,
     u"Cafe\u0301 Z\u0335\u0336\u0337\u0338"_s,
     u"Re\u0301sume\u0301 a\u0301\u0302\u0303\u0304\u0305\u0306 n\u0303"_s},
    {"controls, a no-break space and an apostrophe", u"Ctl\u0001\u0007\u001B end it's"_s,
     u"Bell\u0007 esc\u001B[31m soh\u0001 nbsp\u00A0here it's"_s, true,
     u"Ctl\u0001\u0007\u001B end it`s"_s,
     u"Bell\u0007 esc\u001B[31m soh\u0001 nbsp\u00A0here it's"_s},
    {"tab and typed line breaks", "  Tabbed ", "Col\tumn\rnext line\r\rlast  ", false, "Tabbed",
     "Col\tumn\nnext line\n\nlast"},
    {"pasted CR LF, CR and LF", "Breaks", "One\r\nTwo\rThree\nFour", true, "Breaks",
     "One\nTwo\nThree\nFour"},
};

class UnusualText : public OnMaintenance {
protected:
  void SetUp() override {
    OnMaintenance::SetUp();
    useGroups({{"Vim", {"Macros"}}});
  }
  // Pastes with the keyboard, as a user brings in text that no key types.
  void paste(const QString &box, const QString &text) {
    QGuiApplication::clipboard()->setText(text);
    QWidget *widget = t.control(box);
    widget->setFocus();
    QTest::keySequence(widget, QKeySequence::Paste);
    t.settle();
  }
  void enter(const QString &box, const QString &text, bool pasted) {
    if (pasted)
      paste(box, text);
    else
      t.type(box, text);
  }
  QList<QStringList> tipOf(const QString &subject) {
    return rows("SELECT TIP_SUBJECT, TIP_DESCRIPTION FROM Tips WHERE TIP_SUBJECT = '" +
                QString(subject).replace('\'', "''") + "'");
  }
  // The main screen on a tip: its subject listed and chosen, its description shown.
  void expectOnMainScreen(const QString &group, const QString &subject,
                          const QString &description) {
    ASSERT_EQ(t.activeName(), "frmOmbrixShow");
    t.choose("Combo1", group);
    EXPECT_TRUE(entries("Combo2").contains(subject));
    t.choose("Combo2", subject);
    EXPECT_EQ(t.text("Combo2"), subject);
    EXPECT_TRUE(same(boxText(t.control("txtDescription")), description));
  }
};

TEST_F(UnusualText, AddedSubjectsAreStoredAndShownBackAsEntered) {
  openWithPositions("mnuAddNewSubjectItem", 0);
  ASSERT_EQ(t.activeName(), "frmAddSubject");
  for (const Entry &e : kEntries) {
    SCOPED_TRACE(e.what);
    enter("txtAddSubject", e.subject, e.paste);
    enter("txtAddDescription", e.description, e.paste);
    EXPECT_EQ(t.text("txtAddSubject"), e.subject);
    EXPECT_EQ(boxText(t.control("txtAddDescription")).trimmed(), e.storedDescription);
    t.messages().queue(vbOK);
    t.messages().queue(vbYes);
    t.click("cmdSaveNewSubject");
    EXPECT_EQ(tipOf(e.storedSubject), (QList<QStringList>{{e.storedSubject, e.storedDescription}}));
    EXPECT_EQ(t.text("txtAddSubject"), "");
  }
  t.click("cmdShowTips");
  for (const Entry &e : kEntries) {
    SCOPED_TRACE(e.what);
    expectOnMainScreen("Vim", e.storedSubject, e.storedDescription);
  }
  // The edit screen shows each tip as stored, and saving it untouched changes nothing.
  for (const Entry &e : kEntries) {
    SCOPED_TRACE(e.what);
    t.triggerMenu("mnuEditSubjectItem");
    ASSERT_EQ(t.activeName(), "frmEditSubject1");
    t.choose("Combo2", e.storedSubject);
    EXPECT_EQ(boxText(t.control("txtDescriptionEdit")), e.storedDescription);
    t.click("cmdClickNext");
    ASSERT_EQ(t.activeName(), "frmEditSubject2");
    EXPECT_EQ(t.text("txtSubjectEdit"), e.storedSubject);
    EXPECT_EQ(boxText(t.control("txtDescriptionEdit")), e.storedDescription);
    t.click("cmdSaveEditSubject");
    EXPECT_EQ(lastMessage().prompt, kNoChanges);
    t.click("cmdShowTips");
  }
}

TEST_F(UnusualText, AGroupAddedWithUnusualNamesKeepsThemAndEditingATipKeepsWhatWasNotTouched) {
  t.triggerMenu("mnuAddNewGroupItem");
  ASSERT_EQ(t.activeName(), "frmAddGroup");
  const QString group = u"\u05D2\u05D9\u05D8 \U0001F600 It's"_s;
  const QString subject = u"E\u0301tat \u0627\u0644\u0646\u0635"_s;
  const QString description = u"Line\u00A0one\rline\ttwo "_s + kFamily;
  t.type("txtGroupAddNew", group);
  t.type("txtSubjectAddNew", subject);
  t.type("txtDescriptionAddNew", description);
  t.messages().queue(vbOK);
  t.messages().queue(vbNo);
  t.click("cmdSaveNewGroup");
  const QString storedGroup = u"\u05D2\u05D9\u05D8 \U0001F600 It`s"_s;
  const QString storedDescription = u"Line\u00A0one\nline\ttwo "_s + kFamily;
  EXPECT_EQ(rows("SELECT TIP_GROUP FROM \"Group\" WHERE GROUP_ID > 101"),
            (QList<QStringList>{{storedGroup}}));
  EXPECT_EQ(tipOf(subject), (QList<QStringList>{{subject, storedDescription}}));
  expectOnMainScreen(storedGroup, subject, storedDescription);

  // Stored by another program with CR LF line breaks and blanks around it: only the
  // subject is changed, so the description stays byte for byte.
  const QString crlf = "  First\r\nSecond\u00A0line\r\n";
  t.sql("UPDATE Tips SET TIP_DESCRIPTION = '" + crlf + "' WHERE TIP_SUBJECT = 'Macros'");
  t.triggerMenu("mnuEditSubjectItem");
  t.choose("Combo1", "Vim");
  t.click("cmdClickNext");
  ASSERT_EQ(t.activeName(), "frmEditSubject2");
  EXPECT_EQ(boxText(t.control("txtDescriptionEdit")), "First\nSecond\u00A0line");
  t.click("cmdSaveEditSubject");
  EXPECT_EQ(lastMessage().prompt, kNoChanges);
  t.control<QLineEdit>("txtSubjectEdit")->clear();
  t.type("txtSubjectEdit", u"Macros \U0001F600"_s);
  t.messages().queue(vbNo);
  t.click("cmdSaveEditSubject");
  EXPECT_EQ(tipOf(u"Macros \U0001F600"_s), (QList<QStringList>{{u"Macros \U0001F600"_s, crlf}}));
}

TEST_F(UnusualText, AMegabyteDescriptionAndALongSubjectAreKeptWhole) {
  // One long word and many lines, pasted: nothing is cut, neither in the boxes nor stored.
  QString description;
  const QString line = u"Word \U0001F600 \u05E9\u05DC\u05D5\u05DD e\u0301 "_s + QString(40, 'x');
  while (description.size() < 500'000)
    description += line + '\n';
  description += QString(600'000, 'y');
  const QString subject = "Long " + QString(40'000, 's');
  openWithPositions("mnuAddNewSubjectItem", 0);
  paste("txtAddSubject", subject);
  paste("txtAddDescription", description);
  EXPECT_EQ(t.text("txtAddSubject").size(), subject.size());
  t.messages().queue(vbOK);
  t.messages().queue(vbNo);
  t.click("cmdSaveNewSubject");
  const QList<QStringList> stored =
      rows("SELECT TIP_SUBJECT, TIP_DESCRIPTION FROM Tips WHERE TIP_SUBJECT LIKE 'Long %'");
  ASSERT_EQ(stored.size(), 1);
  EXPECT_TRUE(same(stored[0][0], subject));
  EXPECT_TRUE(same(stored[0][1], description));
  expectOnMainScreen("Vim", subject, description);

  t.triggerMenu("mnuEditSubjectItem");
  t.choose("Combo2", subject);
  t.click("cmdClickNext");
  EXPECT_EQ(t.text("txtSubjectEdit").size(), subject.size());
  EXPECT_TRUE(same(boxText(t.control("txtDescriptionEdit")), description));
}

TEST_F(UnusualText, FindTipsMatchesAndListsUnusualTextAndShowsTheTip) {
  t.sql(u"INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION) VALUES (101, "
        "'\u05E9\u05DC\u05D5\u05DD \U0001F600', 'Caf\u00E9 and cafe\u0301 "
        "\u0645\u0631\u062D\u0628\u0627"
        "\u0007 \U0001F468\u200D\U0001F469\u200D\U0001F467')"_s);
  t.triggerMenu("mnuFindTipsItem");
  ASSERT_EQ(t.activeName(), "frmFindTips");
  // Emoji are no words to the search (typing one lists nothing); letters of any script are.
  for (const QString &query :
       {u"\u05E9\u05DC\u05D5\u05DD"_s, u"\u0645\u0631\u062D"_s, u"cafe\u0301"_s}) {
    SCOPED_TRACE(query.toStdString());
    t.control<QLineEdit>("txtFind")->clear();
    t.type("txtFind", query);
    const QStringList found = t.entries("lstResults");
    EXPECT_EQ(found.size(), 1);
    EXPECT_TRUE(found.value(0).startsWith(u"\u05E9\u05DC\u05D5\u05DD \U0001F600"_s));
  }
  t.control<QLineEdit>("txtFind")->clear();
  t.type("txtFind", u"\u05E9\u05DC\u05D5\u05DD"_s);
  ASSERT_EQ(t.entries("lstResults").size(), 1);
  t.click("cmdShowTip");
  EXPECT_EQ(t.text("Combo2"), u"\u05E9\u05DC\u05D5\u05DD \U0001F600"_s);
  EXPECT_EQ(boxText(t.control("txtDescription")),
            u"Caf\u00E9 and cafe\u0301 \u0645\u0631\u062D\u0628\u0627\u0007 "_s + kFamily);
}

} // namespace
