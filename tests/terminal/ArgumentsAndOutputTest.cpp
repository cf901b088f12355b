// The terminal's command lines and what it prints, as functions: what a script relies on
// (the JSON fields) and what a person reads (a tip shortened for a login shell).
#include "terminal/CommandArguments.h"
#include "terminal/Commands.h"
#include "terminal/Output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace terminal;

namespace {

const std::vector<CommandOption> kOptions = {{"--json", {}, {}}, {"--to", "FILE", {}}};

QStringList strings(std::initializer_list<const char *> items) {
  QStringList list;
  for (const char *item : items)
    list << QString::fromUtf8(item);
  return list;
}

TEST(TerminalArguments, OptionsAndWordsAreToldApartAndMistakesAreRefusedInWords) {
  CommandArguments a =
      parseArguments(strings({"vim", "--json", "--to", "a b.zip", "macros"}), kOptions);
  EXPECT_TRUE(a.error.isEmpty());
  EXPECT_EQ(a.words, strings({"vim", "macros"}));
  EXPECT_TRUE(a.has("--json"));
  EXPECT_EQ(a.value("--to"), QString("a b.zip"));

  a = parseArguments(strings({"--to=x.zip", "--", "--json", "-"}), kOptions);
  EXPECT_EQ(a.value("--to"), QString("x.zip"));
  EXPECT_FALSE(a.has("--json")) << "after --, every argument is a word";
  EXPECT_EQ(a.words, strings({"--json", "-"}));
  EXPECT_TRUE(parseArguments(strings({"-h"}), kOptions).help);

  EXPECT_EQ(parseArguments(strings({"--jsn"}), kOptions).error, "unknown option '--jsn'");
  EXPECT_EQ(parseArguments(strings({"--json", "--json"}), kOptions).error,
            "option '--json' is given twice");
  EXPECT_EQ(parseArguments(strings({"--to"}), kOptions).error,
            "option '--to' needs a value (FILE)");
  EXPECT_EQ(parseArguments(strings({"--to="}), kOptions).error,
            "option '--to' needs a value (FILE)");
  EXPECT_EQ(parseArguments(strings({"--json=1"}), kOptions).error,
            "option '--json' takes no value");
}

TEST(TerminalCommands, TheHelpListsEveryCommandOfTheTableWithItsOptions) {
  const QString help = commandsHelp();
  for (const Command &command : commands()) {
    EXPECT_TRUE(help.contains(QStringLiteral("ombrixtips ") + command.name)) << command.name;
    for (const CommandOption &option : command.options)
      EXPECT_TRUE(commandUsage(command).contains(option.name)) << command.name;
  }
  EXPECT_EQ(findCommand("fortune"), nullptr);
  EXPECT_FALSE(asksForCommand(strings({"ombrixtips", "-style", "fusion"})));
  EXPECT_TRUE(asksForCommand(strings({"ombrixtips", "find", "x"})));
}

TEST(TerminalOutput, ScriptsGetStableFieldsAndStoredTextsUnchanged) {
  search::SearchResult found;
  found.total = 1;
  found.tips.push_back({7, 3, "Mac\u00e9ros \"quoted\"", "Vim", "around\r\nthe match"});
  const QJsonObject list = QJsonDocument::fromJson(foundJson("mac", found)).object();
  EXPECT_EQ(list["query"].toString(), "mac");
  EXPECT_EQ(list["total"].toInt(), 1);
  EXPECT_FALSE(list["capped"].toBool());
  const QJsonObject first = list["tips"].toArray().first().toObject();
  EXPECT_EQ(first["id"].toInt(), 7);
  EXPECT_EQ(first["groupId"].toInt(), 3);
  EXPECT_EQ(first["group"].toString(), "Vim");
  EXPECT_EQ(first["subject"].toString(), "Mac\u00e9ros \"quoted\"");
  EXPECT_EQ(first["excerpt"].toString(), "around\r\nthe match");
  EXPECT_EQ(foundText(found), "[7] Vim: Mac\u00e9ros \"quoted\"\n    around the match\n");

  const TipRecord tip{9, 2, "Shell", "Pipes", "line one\r\nline two"};
  const QJsonObject whole = QJsonDocument::fromJson(tipJson(tip)).object();
  EXPECT_EQ(whole["description"].toString(), tip.description);
  EXPECT_EQ(QString::fromUtf8(tipText(tip)),
            "Group:   Shell\nSubject: Pipes\nTip:     9\n\nline one\nline two\n");
}

TEST(TerminalOutput, ARandomTipIsShortenedAfterAWordToAFewLines) {
  EXPECT_EQ(shortDescription("Short.\r\n", 40, 3).text, "Short.");
  EXPECT_FALSE(shortDescription("Short.", 40, 3).shortened);

  const ShortText words = shortDescription("alpha beta gamma delta epsilon", 20, 3);
  EXPECT_TRUE(words.shortened);
  EXPECT_EQ(words.text, "alpha beta gamma ...");

  const ShortText lines = shortDescription("1\n2\n3\n4\n5", 100, 3);
  EXPECT_EQ(lines.text, "1\n2\n3 ...");

  // One long word of characters outside the basic plane is never cut inside a character.
  QString emoji;
  for (int i = 0; i < 30; ++i)
    emoji += QString::fromUcs4(U"\U0001F600");
  const ShortText cut = shortDescription(emoji, 11, 3);
  EXPECT_TRUE(cut.shortened);
  EXPECT_FALSE(cut.text.chopped(4).back().isHighSurrogate());

  const TipRecord tip{5, 1, "Git", "Rebase", {}};
  EXPECT_EQ(fortuneText(tip, words),
            "Git: Rebase\nalpha beta gamma ...\n    (ombrixtips show 5)\n");
  const QJsonObject json = QJsonDocument::fromJson(fortuneJson(tip, words)).object();
  EXPECT_TRUE(json["shortened"].toBool());
  EXPECT_EQ(json["excerpt"].toString(), words.text);
}

} // namespace
