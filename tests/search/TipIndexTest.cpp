// Full-text search: what a typed text finds, in which order, and an index that follows
// every write of the rules and notices the writes of anything else.

#include <QFile>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <thread>

#include "search/TipIndex.h"
#include "tips/BookFixture.h"
#include "tips/NameRules.h"

namespace {

class Search : public Book {
protected:
  search::TipIndex index{search::indexPathBeside(paths.tipDatabase()), paths.tipDatabase()};
  qint32 group = 0;

  Search() : Book(search::indexFollowing) { group = addGroup("Kitchen", "Boiling eggs"); }

  qint32 tip(const QString &subject, const QString &description, qint32 inGroup = 0) {
    return book->rows().insertTip(inGroup ? inGroup : group, subject, description,
                                  tips::Origin::Local);
  }
  QStringList subjects(const QString &typed) {
    QStringList found;
    for (const search::FoundTip &t : index.search(typed).tips)
      found << t.subject;
    return found;
  }
  // Rows written straight into the file, as another tool would.
  void otherTool(const QString &sql) {
    book->close();
    auto db = store::Database::open(paths.tipDatabase(), store::OpenMode::ReadWrite);
    db->exec(sql);
  }
};

TEST(MatchExpression, EveryTypedWordBecomesAQuotedString) {
  EXPECT_EQ(search::matchExpression("tes"), "\"tes\"*");
  EXPECT_EQ(search::matchExpression("  red   apple "), "\"red\"* AND \"apple\"*");
  EXPECT_EQ(search::matchExpression("\"green tea\" cup"), "\"green tea\" AND \"cup\"*");
  // An apostrophe separates words, as the backtick stored in its place does.
  EXPECT_EQ(search::matchExpression("don't"), "\"don t\"*");
  // An unclosed quote still holds its phrase.
  EXPECT_EQ(search::matchExpression("\"green tea"), "\"green tea\"");
}

TEST(MatchExpression, NothingTypedIsReadAsSearchSyntax) {
  EXPECT_EQ(search::matchExpression("a OR b"), "\"a\"* AND \"OR\"* AND \"b\"*");
  EXPECT_EQ(search::matchExpression("NEAR(x y) -z ^w {subject}:v"),
            "\"NEAR x\"* AND \"y\"* AND \"z\"* AND \"w\"* AND \"subject v\"*");
  EXPECT_TRUE(search::matchExpression("\"\" * ( ) : ^ - +").isEmpty());
  EXPECT_TRUE(search::matchExpression("").isEmpty());
}

TEST_F(Search, CaseAccentsAndPartsOfWords) {
  tip("Café au lait", "Warm milk first.");
  tip("TESTING the oven", "Heat it empty once.");
  tip("Crème brûlée", "Torch the SUGAR.");
  index.rebuild();
  EXPECT_EQ(subjects("cafe"), QStringList{"Café au lait"});
  EXPECT_EQ(subjects("CAFÉ"), QStringList{"Café au lait"});
  EXPECT_EQ(subjects("tes"), QStringList{"TESTING the oven"});
  EXPECT_EQ(subjects("creme brul"), QStringList{"Crème brûlée"});
  EXPECT_EQ(subjects("sugar"), QStringList{"Crème brûlée"});
  EXPECT_TRUE(subjects("sting").isEmpty()); // the middle of a word is not a beginning
}

TEST_F(Search, EveryWordMustMatchInAnyOrderAndPhrasesAsWritten) {
  tip("Sharp knives", "Keep the blade dry and the edge honed.");
  tip("Dull knives", "A dry blade rusts less.");
  tip("Cutting boards", "Wood keeps the edge; glass dulls the blade.");
  index.rebuild();
  EXPECT_EQ(subjects("edge blade").size(), 2);
  EXPECT_EQ(subjects("blade edge dry"), QStringList{"Sharp knives"});
  EXPECT_EQ(subjects("\"dry blade\""), QStringList{"Dull knives"});
  EXPECT_EQ(subjects("\"blade rusts\""), QStringList{"Dull knives"});
  EXPECT_EQ(subjects("\"rusts blade\"").size(), 0);
  EXPECT_EQ(index.search("blade").total, 3);
}

TEST_F(Search, AnApostropheFindsTheBacktickStoredForIt) {
  tip(tips::QuoteToTick("Don't overfill the pot"), "It boils over.");
  tip("Salt", "Don't add it early.");
  index.rebuild();
  EXPECT_EQ(subjects("don't").size(), 2);
  EXPECT_EQ(subjects("\"don't overfill\""), QStringList{"Don`t overfill the pot"});
}

TEST_F(Search, SubjectsRankAboveDescriptionsThenRarerWords) {
  tip("Onions", "Chop onions with a wet knife; onions, onions, onions.");
  tip("Onion soup", "Slow.");
  tip("Garlic", "Chop it finely.");
  tip("Shallots", "Chop gently; they are small onions.");
  index.rebuild();
  const QStringList found = subjects("onion");
  ASSERT_EQ(found.size(), 3);
  QStringList first = found.mid(0, 2);
  first.sort();
  EXPECT_EQ(first, QStringList({"Onion soup", "Onions"}));
  EXPECT_EQ(found[2], "Shallots");
  // Of two words, the tip that holds the rarer one more densely comes first.
  EXPECT_EQ(subjects("chop").size(), 3);
  EXPECT_EQ(subjects("chop finely").first(), "Garlic");
}

TEST_F(Search, ResultsCarryTheGroupAndAnExcerptAroundTheMatch) {
  const qint32 garden = addGroup("Garden", "Seeds");
  tip("Tomatoes",
      QString("Line one.\nWater them deeply at the roots, ") +
          QString("never on the leaves. ").repeated(20) + "The end.",
      garden);
  index.rebuild();
  const search::SearchResult r = index.search("roots");
  ASSERT_EQ(r.tips.size(), 1u);
  EXPECT_EQ(r.total, 1);
  EXPECT_EQ(r.tips[0].groupId, garden);
  EXPECT_EQ(r.tips[0].groupName, "Garden");
  EXPECT_TRUE(r.tips[0].excerpt.contains("roots")) << r.tips[0].excerpt.toStdString();
  EXPECT_FALSE(r.tips[0].excerpt.contains("\n"));
  EXPECT_LT(r.tips[0].excerpt.size(), 120);
}

TEST_F(Search, AHostileSearchTextFindsNothingAndBreaksNothing) {
  tip("Plain", "Plain text.");
  index.rebuild();
  for (const char *typed : {"\"", "*", "NEAR(", "a OR", ")", "^", "-plain",
                            "{subject}:", "plain\" OR \"x", "'; DROP TABLE Tips; --"})
    EXPECT_NO_THROW(index.search(typed)) << typed;
  EXPECT_EQ(subjects("-plain"), QStringList{"Plain"});
  // More words than the engine takes arguments for a function.
  EXPECT_NO_THROW(index.search(QString("plain ").repeated(300)));
  EXPECT_EQ(index.search(QString("plai ").repeated(300)).total, 1);
  EXPECT_EQ(rows("SELECT count(*) FROM Tips")[0][0], "2");
}

TEST_F(Search, TheIndexFollowsAddsEditsAndDeletesOfTheRules) {
  index.rebuild();
  const qint32 id = tip("Whisking", "Use a cold bowl.");
  EXPECT_EQ(subjects("whisk"), QStringList{"Whisking"});
  book->rows().changeTip(id, "Beating cream", "Use a chilled bowl.");
  EXPECT_TRUE(subjects("whisk").isEmpty());
  EXPECT_EQ(subjects("chilled"), QStringList{"Beating cream"});
  book->rows().changeDescription(id, "Stop at soft peaks.");
  EXPECT_EQ(subjects("peaks"), QStringList{"Beating cream"});
  EXPECT_TRUE(subjects("chilled").isEmpty());
  book->rows().deleteTip(id);
  EXPECT_TRUE(subjects("peaks").isEmpty());

  const qint32 pantry = addGroup("Pantry", "Flour weevils");
  tip("Rice weevils", "Freeze new rice.", pantry);
  EXPECT_EQ(subjects("weevil").size(), 2);
  book->deleteGroup(pantry);
  EXPECT_TRUE(subjects("weevil").isEmpty());
  // Every write kept the stamp in step: no rebuild is asked for.
  EXPECT_EQ(index.health(), search::TipIndex::Health::Current);
}

TEST_F(Search, WritesBeforeTheFirstBuildAreFoundOnceItIsBuilt) {
  EXPECT_EQ(index.health(), search::TipIndex::Health::Missing);
  tip("Proofing dough", "Cover it.");
  EXPECT_FALSE(QFile::exists(index.path()));
  index.rebuild();
  EXPECT_EQ(index.health(), search::TipIndex::Health::Current);
  EXPECT_EQ(subjects("proof"), QStringList{"Proofing dough"});
}

TEST_F(Search, RowsWrittenByAnotherToolMakeTheIndexStaleUntilRebuilt) {
  index.rebuild();
  otherTool(QString("INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION) VALUES (%1, "
                    "'Imported pickles', 'Brine')")
                .arg(group));
  EXPECT_EQ(index.health(), search::TipIndex::Health::Stale);
  index.rebuild();
  EXPECT_EQ(index.health(), search::TipIndex::Health::Current);
  EXPECT_EQ(subjects("pickle"), QStringList{"Imported pickles"});

  // A delete elsewhere is noticed as well, even when a new row keeps the count.
  otherTool("DELETE FROM Tips WHERE TIP_SUBJECT = 'Imported pickles'");
  EXPECT_EQ(index.health(), search::TipIndex::Health::Stale);
  index.rebuild();
  otherTool(QString("DELETE FROM Tips WHERE TIP_SUBJECT = 'Boiling eggs'; INSERT INTO "
                    "Tips(GROUP_ID, TIP_SUBJECT) VALUES (%1, 'Jam')")
                .arg(group));
  EXPECT_EQ(index.health(), search::TipIndex::Health::Stale);
}

TEST_F(Search, ADamagedIndexIsToldAndBuiltAgainInSteps) {
  for (int i = 0; i < 25; ++i)
    tip(QString("Tip number %1").arg(i), "Counted.");
  index.rebuild();
  index.close();
  QFile damaged(index.path());
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
  damaged.write(QByteArray(8192, 'x'));
  damaged.close();
  EXPECT_EQ(index.health(), search::TipIndex::Health::Damaged);

  index.startBuild();
  EXPECT_EQ(index.rowsToBuild(), 26);
  int steps = 1;
  while (!index.buildStep(10))
    ++steps;
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(index.builtRows(), 26);
  EXPECT_EQ(index.health(), search::TipIndex::Health::Current);
  EXPECT_EQ(index.search("counted").total, 25);
  EXPECT_FALSE(QFile::exists(index.path() + ".new"));
}

TEST_F(Search, AnUnfinishedBuildLeavesTheOldIndexInPlace) {
  tip("Kept", "Old index.");
  index.rebuild();
  index.startBuild();
  index.buildStep(1);
  index.close(); // the window closed half-way
  EXPECT_FALSE(QFile::exists(index.path() + ".new"));
  EXPECT_EQ(index.health(), search::TipIndex::Health::Current);
  EXPECT_EQ(subjects("kept"), QStringList{"Kept"});
}

TEST_F(Search, ABuildThatFindsAnotherUnderWayWaitsForItAndDoesNotBuildAgain) {
  for (int i = 0; i < 30; ++i)
    tip(QString("Shared %1").arg(i), "Both programs build.");
  // The window's build, half-way, while the terminal's find starts one of its own.
  index.startBuild();
  ASSERT_FALSE(index.buildStep(10));
  search::TipIndex other(index.path(), paths.tipDatabase());
  std::atomic<bool> done = false;
  std::thread terminal([&] {
    other.rebuild();
    done = true;
  });
  QThread::msleep(300);
  EXPECT_FALSE(done) << "the second build waits for the first";
  while (!index.buildStep(10)) {
  }
  terminal.join();
  EXPECT_EQ(other.builtRows(), 0) << "the index the first build made is current";
  EXPECT_EQ(index.health(), search::TipIndex::Health::Current);
  EXPECT_EQ(index.search("shared").total, 30);
  EXPECT_FALSE(QFile::exists(index.path() + ".new"));
  EXPECT_FALSE(QFile::exists(index.path() + ".lock"));
}

} // namespace
