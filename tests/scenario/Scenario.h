#pragma once
// Runs a plain-text acceptance scenario against a fresh installation, one step per line.
// The syntax is in docs/scenarios.md.

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>

class Installation;

class Scenario {
public:
  explicit Scenario(QTextStream &out);
  ~Scenario();

  // The folder that relative source files of the steps are read from (the scenario's own).
  void setFolder(const QString &folder) { folder_ = folder; }
  // Runs every step of the text; returns the number of failed steps.
  int run(const QString &text, const QString &sourceName);
  int passed() const { return passed_; }
  int failed() const { return failed_; }

  // Splits a step into words: blanks separate, "double quotes" group, and inside quotes
  // \n stands for CR LF, \t for a tab, \" and \\ for themselves.
  static QStringList words(const QString &line, QString *error);

private:
  // Runs one step; returns an empty text when it passed, else why it failed.
  QString step(const QStringList &words);
  Installation &installation();

  QTextStream &out_;
  std::unique_ptr<Installation> installation_;
  QString folder_;
  std::size_t messagesChecked_ = 0;
  int passed_ = 0;
  int failed_ = 0;
};
