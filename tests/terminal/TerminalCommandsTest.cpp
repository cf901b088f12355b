// The built program's terminal commands, run as a user runs them: a separate process on
// an installation's folder, without a display. What they print and their statuses, the
// writers refused while another program holds the tips, and an import from the terminal
// that leaves the same rows as one through the screens, undone afterwards in the window.
#include "support/TestProgram.h"

#include "exchange/ImportUndo.h"
#include "search/TipIndex.h"
#include "startup/StartChecks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

struct Ran {
  int status = -1;
  QString out;
  QString err;
};

// The program, portable in a copy of an installation's folder.
Ran run(const Installation &in, const QStringList &arguments) {
  const QString exe = in.folder() + "/ombrixtips";
  if (!QFileInfo::exists(exe))
    QFile::copy(QStringLiteral(OBX_PROGRAM_EXE), exe);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // No display of any kind: the commands need none.
  for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    environment.remove(name);
  environment.insert("HOME", in.home());
  environment.insert("XDG_DATA_HOME", in.home() + "/share");
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(exe, arguments);
  if (!process.waitForFinished(120000))
    return {};
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

QJsonObject json(const Ran &ran) { return QJsonDocument::fromJson(ran.out.toUtf8()).object(); }

QStringList joined(const QList<QStringList> &rows) {
  QStringList lines;
  for (const QStringList &row : rows)
    lines << row.join('|');
  return lines;
}

const QString kGroups = "SELECT * FROM \"Group\" ORDER BY GROUP_ID";
const QString kTips = "SELECT * FROM Tips ORDER BY TIPS_ID";

TEST(TerminalCommands, ReadingCommandsPrintTipsAsFindTipsRanksThemAndRefuseMistakesInWords) {
  TestProgram t;
  QFile::remove(t.file("ombrixtips.idx"));
  const Ran first = run(t, {"find", "--json", "screenshot"});
  ASSERT_EQ(first.status, 0) << first.err.toStdString();
  EXPECT_TRUE(first.err.contains("Building the search index")) << "a missing index is built";
  const QJsonArray found = json(first)["tips"].toArray();
  ASSERT_FALSE(found.isEmpty());
  search::TipIndex index(t.file("ombrixtips.idx"), t.file("ombrixtips.mdb"));
  ASSERT_EQ(index.health(), search::TipIndex::Health::Current);
  const search::SearchResult ranked = index.search("screenshot", search::kListedTips);
  ASSERT_EQ(found.size(), qsizetype(ranked.tips.size()));
  for (qsizetype i = 0; i < found.size(); ++i)
    EXPECT_EQ(found[i].toObject()["id"].toInt(), ranked.tips[std::size_t(i)].tipId) << i;
  index.close();

  const Ran text = run(t, {"find", "screenshot"});
  EXPECT_EQ(text.status, 0);
  EXPECT_TRUE(text.err.isEmpty()) << "the index is current now: " << text.err.toStdString();
  const search::FoundTip &best = ranked.tips.front();
  EXPECT_TRUE(text.out.startsWith(
      QString("[%1] %2: %3\n").arg(best.tipId).arg(best.groupName, best.subject)));

  const QString id = QString::number(best.tipId);
  const Ran shown = run(t, {"show", "--json", id});
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(json(shown)["description"].toString(),
            t.rows("SELECT TIP_DESCRIPTION FROM Tips WHERE TIPS_ID = " + id).value(0).value(0));
  EXPECT_TRUE(run(t, {"show", id}).out.contains("Subject: " + best.subject));

  const Ran random = run(t, {"random", "--json"});
  EXPECT_EQ(random.status, 0);
  const QJsonObject tip = json(random);
  EXPECT_EQ(
      QStringList{tip["subject"].toString()},
      t.rows(QString("SELECT TIP_SUBJECT FROM Tips WHERE TIPS_ID = %1").arg(tip["id"].toInt()))
          .value(0));
  EXPECT_FALSE(run(t, {"random"}).out.isEmpty());

  // Mistakes: said in words on standard error, nothing on standard output.
  const Ran missing = run(t, {"show", "99999"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.out.isEmpty());
  EXPECT_EQ(missing.err, "ombrixtips: show: there is no tip numbered '99999'\n");
  EXPECT_EQ(run(t, {"show", "abc"}).status, 1);
  EXPECT_EQ(run(t, {"find"}).status, 2);
  const Ran unknown = run(t, {"find", "--bogus", "x"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_TRUE(unknown.err.startsWith("ombrixtips: find: unknown option '--bogus'\nUsage:"));
  EXPECT_EQ(run(t, {"frobnicate"}).status, 2);
  EXPECT_EQ(run(t, {"export"}).status, 2) << "no kind chosen";
  const Ran help = run(t, {"import", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.startsWith("Usage: ombrixtips import [--dry-run] FILE\n"));
}

TEST(TerminalCommands, WritersAreRefusedWhileAnotherProgramHoldsTheTipsAndReadersAreNot) {
  TestProgram t;
  t.setUserDetails("Ann");
  const QString package = t.home() + "/ann.zip";
  const Ran exported = run(t, {"export", "--total", "--to", package});
  ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
  EXPECT_TRUE(exported.out.startsWith("Exported ")) << exported.out.toStdString();
  ASSERT_TRUE(QFileInfo(package).isFile());

  // A group the package does not know, so that an import would add something.
  t.sql("DELETE FROM Tips WHERE TIPS_ID = (SELECT min(TIPS_ID) FROM Tips)");
  const QStringList before = joined(t.rows(kTips));
  InstanceLock window(t.folder());
  ASSERT_TRUE(window.acquire());

  const Ran refused = run(t, {"import", package});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(refused.out.isEmpty());
  EXPECT_TRUE(refused.err.startsWith("ombrixtips: import: Ombrix Tips is already running on "
                                     "the tips in \"" +
                                     t.folder()))
      << refused.err.toStdString();
  const Ran refusedExport = run(t, {"export", "--local", "--to", t.home() + "/other.zip"});
  EXPECT_EQ(refusedExport.status, 1);
  EXPECT_FALSE(QFileInfo::exists(t.home() + "/other.zip"));

  EXPECT_EQ(run(t, {"find", "screenshot"}).status, 0);
  // A document only reads: saved while the window holds the tips, a PDF without a display.
  const QString pdf = t.home() + "/networking.pdf";
  const Ran saved = run(t, {"document", "--group", "networking", "--to", pdf});
  EXPECT_EQ(saved.status, 0) << saved.err.toStdString();
  QProcess text;
  text.start("pdftotext", {pdf, "-"});
  text.waitForFinished();
  const QString read = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(read.contains("Networking") && !read.contains("About Ombrix Tips"))
      << read.toStdString();
  EXPECT_EQ(run(t, {"document", "--to", t.home() + "/tips.txt"}).status, 2);
  const auto working = [&t] {
    return QDir(t.file("OBXTemp"))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  };
  const QStringList workingBefore = working();
  const Ran preview = run(t, {"import", "--dry-run", package});
  EXPECT_EQ(preview.status, 0) << preview.err.toStdString();
  EXPECT_TRUE(preview.out.contains("1 tip to add")) << preview.out.toStdString();
  EXPECT_EQ(joined(t.rows(kTips)), before) << "the preview changes nothing";
  EXPECT_EQ(working(), workingBefore) << "the window's working folder is left alone";
  EXPECT_FALSE(QFileInfo::exists(t.file("Reports")));
}

TEST(TerminalCommands, AnImportFromTheTerminalEqualsOneThroughTheScreensAndCanBeUndoneInTheWindow) {
  // The package: a new group with two tips, and a new tip in a delivered group.
  TestProgram sender;
  sender.setUserDetails("Bob");
  sender.sql("INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE) "
             "VALUES (900, 'Git', -1, 0, 0, '2026-06-01')");
  sender.sql("INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, TIP_IMPORT, "
             "TIP_ORIGINAL, TIP_DATE) VALUES (900, 'Rebase', 'Replay commits', -1, 0, 0, "
             "'2026-06-01'), (900, 'Bisect', 'Find the culprit', -1, 0, 0, '2026-06-02'), "
             "((SELECT min(GROUP_ID) FROM \"Group\"), 'Zebrafish', 'Striped', -1, 0, 0, "
             "'2026-06-03')");
  QFile::copy(sender.folder() + "/images/0.jpg", sender.folder() + "/images/900.jpg");
  const QString package = sender.home() + "/OBXBob.ZIP";
  ASSERT_EQ(run(sender, {"export", "--local", "--to", package}).status, 0);

  TestProgram screens;
  screens.setUserDetails();
  screens.start();
  QDir().mkpath(screens.home() + "/OBXImpExp");
  ASSERT_TRUE(QFile::copy(package, screens.home() + "/OBXImpExp/OBXBob.ZIP"));
  screens.triggerMenu("mnuImportItem");
  screens.click("cmdReadImport");
  screens.choose("Dir1", "C:\\OBXImpExp");
  screens.doubleClick("File1", "OBXBob.ZIP");
  ASSERT_EQ(screens.activeName(), "frmImport2");
  screens.click("cmdStartImport");
  ASSERT_EQ(screens.text("cmdStartImport"), "Importing Done!");

  TestProgram terminal;
  terminal.setUserDetails();
  ASSERT_EQ(run(terminal, {"find", "rebase"}).status, 0); // the index exists before
  const Ran imported = run(terminal, {"import", package});
  ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
  EXPECT_TRUE(imported.out.contains("3 tips added")) << imported.out.toStdString();
  EXPECT_TRUE(imported.out.contains("Report: " + terminal.folder() + "/Reports/Import "))
      << imported.out.toStdString();

  EXPECT_EQ(joined(terminal.rows(kGroups)), joined(screens.rows(kGroups)));
  EXPECT_EQ(joined(terminal.rows(kTips)), joined(screens.rows(kTips)));
  const QString picture =
      "/images/" + screens.rows("SELECT max(GROUP_ID) FROM \"Group\"")[0][0] + ".jpg";
  EXPECT_TRUE(QFileInfo(terminal.folder() + picture).isFile());
  search::TipIndex index(terminal.file("ombrixtips.idx"), terminal.file("ombrixtips.mdb"));
  EXPECT_EQ(index.health(), search::TipIndex::Health::Current) << "the index was told";
  EXPECT_EQ(index.search("bisect").total, 1);
  index.close();

  terminal.start();
  terminal.messages().queue(msgbox::vbYes);
  terminal.messages().queue(msgbox::vbOK);
  terminal.triggerMenu("mnuUndoImportItem");
  ASSERT_EQ(terminal.messages().shown().size(), 2u);
  EXPECT_TRUE(terminal.messages().shown()[0].prompt.contains("\"OBXBob.ZIP\""));
  EXPECT_EQ(terminal.messages().shown()[1].prompt,
            "The import was taken back: 1 group and 3 tips removed.");
}

} // namespace
