// Injected failures swept over every operation of the program that writes: the
// maintenance of groups and subjects, the user's details and window position, the export
// build and its package, and the import merge (FaultSweep.h says what each point checks).
#include "faults/FaultSweep.h"

#include <QFileInfo>

#include "exchange/ExchangePackage.h"
#include "exchange/ExportBuild.h"
#include "exchange/ImportPackage.h"
#include "framework/WindowPositions.h"
#include "search/TipIndex.h"
#include "store/DataControl.h"
#include "tips/GroupMaintenance.h"
#include "tips/SubjectMaintenance.h"
#include "tips/UserMessage.h"

namespace {

using faults::Outcome;
using faults::Snapshot;
using faults::World;

const QDate kDay(2027, 1, 1);

// The program folders of the sweep lie on a memory file system where there is one: the
// same engine and the same calls, without waiting for a disk at each sync (some thousands
// of them).
const bool kInMemory = [] {
  if (qEnvironmentVariableIsEmpty("OBX_FAULTS_ON_DISK") && QFileInfo("/dev/shm").isDir() &&
      QFileInfo("/dev/shm").isWritable())
    qputenv("TMPDIR", "/dev/shm");
  return true;
}();

// The user's database with two groups, their pictures and tips, opened and read as the
// main screen leaves it, and a picture to choose in the home folder.
class BookWorld : public World {
public:
  tips::TipBook book{site.paths, site.files, site.clock,
                     search::indexFollowing(site.paths.tipDatabase())};
  tips::GroupMaintenance groups{book};
  tips::SubjectMaintenance subjects{book};
  qint32 vim = 0, shell = 0;
  QString chosenPicture = site.home + "/chosen.jpg";

  BookWorld() {
    vim = site.group("Vim", F, T, F, kDay);
    site.tip(vim, "Macros", F, T, F, kDay);
    site.tip(vim, "Registers", F, T, F, kDay);
    shell = site.group("Shell", T, F, F, kDay);
    site.tip(shell, "Pipes", T, F, F, kDay);
    Site::write(chosenPicture, "chosen picture");
    book.rows().groups();
  }
  void release() override { book.close(); }
};

// An operation that keeps the rows it finished when a picture file fails.
Snapshot rowsDoneFilesAsBefore(const Snapshot &before, const Snapshot &success) {
  return {success.databases, before.files};
}

template <class W> void sweepAll(const char *operation) {
  ASSERT_TRUE(kInMemory);
  faults::sweep(operation, [] { return std::make_unique<W>(); });
}

// --- groups ----------------------------------------------------------------------------

struct AddGroup : BookWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      const tips::GroupInput input{" Git ", "Stash", "Keeps changes aside"};
      if (groups.checkNewGroup(input) != tips::EntryProblem::None)
        return {Outcome::Failed, "the group is taken"};
      const tips::TipBook::Added added = groups.addGroup(input, chosenPicture);
      if (added.pictureFailure)
        return {Outcome::PartlyDone, tips::userMessage(*added.pictureFailure)};
      return {};
    });
  }
  // The rows are stored; the group shows the placeholder until it gets another picture.
  std::optional<Snapshot> partialState(const faults::Fault &f, const Outcome &o,
                                       const Snapshot &before, const Snapshot &success) override {
    if (f.database || o.kind != Outcome::PartlyDone)
      return std::nullopt;
    return rowsDoneFilesAsBefore(before, success);
  }
};
TEST(Faults, AddGroup) { sweepAll<AddGroup>("add group"); }

struct ChangeGroupPicture : BookWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      const std::optional<qint32> id = book.rows().findGroup("Vim");
      if (!id)
        return {Outcome::Failed, "the group is gone"};
      if (groups.planEdit("Vim", "Vim", true) != tips::GroupEdit::PictureOnly)
        return {Outcome::Failed, "not a picture change"};
      groups.replacePicture(*id, chosenPicture);
      return {};
    });
  }
};
TEST(Faults, ChangeGroupPicture) { sweepAll<ChangeGroupPicture>("change a group's picture"); }

struct RenameGroup : BookWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      if (groups.planEdit("Vim", "Vim's editor", false) != tips::GroupEdit::Rename)
        return {Outcome::Failed, "not a rename"};
      if (!groups.renameGroup("Vim", "Vim's editor"))
        return {Outcome::Failed, "the group is gone"};
      return {};
    });
  }
};
TEST(Faults, RenameGroup) { sweepAll<RenameGroup>("rename group"); }

struct DeleteGroup : BookWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      if (!groups.deleteGroupNamed("Vim"))
        return {Outcome::Failed, "the group is gone"};
      return {};
    });
  }
  // A picture that cannot be deleted stays behind; the rows are gone (frmDelGroup2).
  std::optional<Snapshot> partialState(const faults::Fault &f, const Outcome &,
                                       const Snapshot &before, const Snapshot &success) override {
    if (f.database || f.operation != FileOperation::Delete)
      return std::nullopt;
    return rowsDoneFilesAsBefore(before, success);
  }
};
TEST(Faults, DeleteGroup) { sweepAll<DeleteGroup>("delete group"); }

// --- subjects --------------------------------------------------------------------------

struct AddSubject : BookWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      if (subjects.checkNewSubject("Undo", "u undoes") != tips::EntryProblem::None)
        return {Outcome::Failed, "the subject is taken"};
      if (!subjects.addSubject(vim, "Undo", "u undoes"))
        return {Outcome::Failed, "the group is gone"};
      return {};
    });
  }
};
TEST(Faults, AddSubject) { sweepAll<AddSubject>("add subject"); }

struct EditDescription : BookWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      if (subjects.planEdit("Macros", "Text", "Macros", "q records") !=
          tips::SubjectEdit::DescriptionOnly)
        return {Outcome::Failed, "not a description change"};
      if (!subjects.saveDescription("Macros", "q records"))
        return {Outcome::Failed, "the tip is gone"};
      return {};
    });
  }
};
TEST(Faults, EditDescription) { sweepAll<EditDescription>("edit description"); }

struct EditSubject : BookWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      if (subjects.planEdit("Macros", "Text", "Recording", "q records") !=
          tips::SubjectEdit::SubjectChanged)
        return {Outcome::Failed, "not a subject change"};
      if (!subjects.saveSubject("Macros", "Recording", "q records"))
        return {Outcome::Failed, "the tip is gone"};
      return {};
    });
  }
};
TEST(Faults, EditSubject) { sweepAll<EditSubject>("edit subject"); }

struct DeleteSubject : BookWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      if (subjects.deleteSubject("Vim", "Registers", false) != tips::SubjectDeletion::Deleted)
        return {Outcome::Failed, "nothing deleted"};
      return {};
    });
  }
};
TEST(Faults, DeleteSubject) { sweepAll<DeleteSubject>("delete subject"); }

struct DeleteSubjectAndGroup : BookWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      if (subjects.deleteSubject("Shell", "Pipes", true) != tips::SubjectDeletion::Deleted)
        return {Outcome::Failed, "nothing deleted"};
      return {};
    });
  }
};
TEST(Faults, DeleteSubjectAndGroup) { sweepAll<DeleteSubjectAndGroup>("delete subject and group"); }

// The same with the search index built beside the database: every tip written or deleted
// is passed on to it, and a failure may leave it stale, never current and wrong.
template <class W> struct WithIndex : W {
  WithIndex() {
    this->book.close();
    const QString tipDatabase = this->site.paths.tipDatabase();
    search::TipIndex(search::indexPathBeside(tipDatabase), tipDatabase).rebuild();
    this->book.rows().groups();
  }
};
TEST(Faults, AddGroupWithSearchIndex) {
  sweepAll<WithIndex<AddGroup>>("add group, with a search index");
}
TEST(Faults, AddSubjectWithSearchIndex) {
  sweepAll<WithIndex<AddSubject>>("add subject, with a search index");
}
TEST(Faults, EditSubjectWithSearchIndex) {
  sweepAll<WithIndex<EditSubject>>("edit subject, with a search index");
}
TEST(Faults, DeleteSubjectWithSearchIndex) {
  sweepAll<WithIndex<DeleteSubjectAndGroup>>("delete subject and group, with a search index");
}
TEST(Faults, DeleteGroupWithSearchIndex) {
  sweepAll<WithIndex<DeleteGroup>>("delete group, with a search index");
}

// --- settings ----------------------------------------------------------------------------

// The Settings row through a data control, as the screens write it.
struct SettingsWorld : World {
  store::DataControl settings;
  SettingsWorld() {
    settings.setDatabaseName(site.paths.tipDatabase());
    settings.setRecordSource(QStringLiteral("Settings"));
    settings.refresh();
  }
  void release() override { settings.close(); }
};

// What frmUserDetails::cmdSaveDetails_Click does.
struct SaveUserDetails : SettingsWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      settings.refresh();
      store::Recordset &rs = settings.recordset();
      rs.moveFirst();
      rs.edit();
      rs.setField("USER_FIRST", "Ann");
      rs.setField("USER_LAST", "Lee");
      rs.setField("USER_EMAIL", "ann@example.org");
      rs.setField("USER_CITY", "Perth");
      rs.setField("USER_COUNTRY", "Australia");
      rs.update();
      return {};
    });
  }
};
TEST(Faults, SaveUserDetails) { sweepAll<SaveUserDetails>("save user details"); }

// Set User Position (frmOmbrixShow).
struct SaveWindowPosition : SettingsWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      storeGeometry(settings, {6000, 1500, 900, 9000}, false, site.paths.windowState());
      return {};
    });
  }
};
TEST(Faults, SaveWindowPosition) { sweepAll<SaveWindowPosition>("save window position"); }

// --- exchange ------------------------------------------------------------------------------

// A user's database with delivered, local and imported rows, and a fresh export database.
struct ExportWorld : World {
  ExportWorld() {
    const qint32 delivered = site.group("Delivered", T, F, F, kDay);
    site.tip(delivered, "D1", T, F, F, kDay);
    site.tip(delivered, "D2 edited", F, T, F, kDay.addDays(3));
    const qint32 mine = site.group("Mine", F, T, F, kDay, false); // no picture
    site.tip(mine, "M1", F, T, F, kDay);
    site.tip(mine, "I1", F, F, T, kDay.addDays(5));
  }
  void release() override {}
};

struct BuildExport : ExportWorld {
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      const exchange::ExportResult r =
          exchange::ExportBuild(site.paths, site.files).run({true, true, true, true});
      if (!r.ok())
        return {Outcome::Failed, r.error};
      return {};
    });
  }
};
TEST(Faults, ExportBuild) { sweepAll<BuildExport>("export build"); }

// "Compress File" after a build: the package in the exchange folder.
struct PackExport : ExportWorld {
  PackExport() {
    const exchange::ExportResult r =
        exchange::ExportBuild(site.paths, site.files).run({true, true, true, true});
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
  }
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      const exchange::PackResult r = exchange::packExport(site.paths, site.files, "Ann");
      if (!r.ok())
        return {Outcome::Failed, r.error};
      return {};
    });
  }
};
TEST(Faults, ExportPackage) { sweepAll<PackExport>("export package"); }

// An unpacked package in OBXTemp: a new group with a picture, one without, and a group
// the user already has, with new tips and one the user has.
struct ImportWorld : BookWorld {
  exchange::ImportPackage import{site.paths, site.files, site.clock,
                                 search::indexFollowing(site.paths.tipDatabase())};
  ImportWorld() {
    book.close();
    const QString package = site.paths.packageDatabase();
    store::createDatabase(package, store::DatabaseKind::Template);
    {
      exchange::RowWriter w(store::Database::open(package, store::OpenMode::ReadWrite));
      const qint32 git = w.insertGroup("Git", T, F, F, kDay);
      w.insertTip(git, "Stash", "Keeps changes", T, F, F, kDay);
      w.insertTip(git, "Bisect", "Finds a change", T, F, F, kDay);
      Site::write(site.root + QString("/OBXTemp/%1.jpg").arg(git), "pic:Git");
      const qint32 vimToo = w.insertGroup("vim", T, F, F, kDay);
      w.insertTip(vimToo, "Macros", "The user has it", T, F, F, kDay);
      w.insertTip(vimToo, "Folds", "New to the user", T, F, F, kDay);
      const qint32 bare = w.insertGroup("Bare", T, F, F, kDay);
      w.insertTip(bare, "Nothing", "Without a picture", T, F, F, kDay);
    }
  }
  Outcome run() override {
    return faults::runCatching([&]() -> Outcome {
      if (const QString problem = import.open(); !problem.isEmpty())
        return {Outcome::Failed, problem};
      const exchange::MergeResult r = import.merge();
      if (r.outcome != exchange::MergeOutcome::Merged)
        return {Outcome::Failed, r.error.isEmpty() ? QString("not merged") : r.error};
      return {};
    });
  }
  void release() override {
    import.close();
    BookWorld::release();
  }
};
TEST(Faults, ImportMerge) { sweepAll<ImportWorld>("import merge"); }

// Last in this file: the figure for the report.
TEST(Faults, ZTotal) {
  const faults::Tally &total = faults::grandTotal();
  faults::printTally("total", total);
  ::testing::Test::RecordProperty("failure_points_total", total.points);
}

} // namespace
