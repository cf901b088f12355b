#pragma once
// A program on its main screen with a tip database of groups and tips of every origin,
// for the tests of the export and import screens.

#include "support/TestProgram.h"

#include "widgets/CountColumns.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

class OnExchange : public OnMainScreen {
protected:
  struct Tip {
    QString subject;
    const char *flags; // "L", "I", "O" for local, imported, original (delivered)
    QDate date;
  };
  struct Group {
    int id;
    QString name;
    const char *flags;
    QDate date;
    std::vector<Tip> tips;
  };

  // Replaces the delivered tips; each group gets its own picture file, each tip the
  // description "About <subject>".
  static void useGroups(Installation &in, const std::vector<Group> &groups) {
    in.sql("DELETE FROM Tips; DELETE FROM \"Group\";");
    for (const Group &g : groups) {
      in.sql(QStringLiteral("INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, "
                            "G_ORIGINAL, G_DATE) VALUES (%1, '%2', %3)")
                 .arg(g.id)
                 .arg(g.name, values(g.flags, g.date)));
      writePicture(in.file(QStringLiteral("images/%1.jpg").arg(g.id)), g.id);
      for (const Tip &tip : g.tips)
        in.sql(QStringLiteral("INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, "
                              "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE) VALUES (%1, '%2', 'About %2', "
                              "%3)")
                   .arg(g.id)
                   .arg(tip.subject, values(tip.flags, tip.date)));
    }
  }

  // A small picture whose bytes differ from group to group.
  static void writePicture(const QString &path, int seed) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("picture of group ") + QByteArray::number(seed));
  }
  static QByteArray bytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static QStringList files(const QString &folder) {
    return QDir(folder).entryList(QDir::Files, QDir::Name);
  }

  QString text(const char *name) { return t.text(name); }
  static QString day(int y, int m, int d) { return CountColumns::dateText(QDate(y, m, d)); }
  // Groups, tips and date of a column, as its three labels show them.
  QStringList column(const char *group, const char *tips, const char *date) {
    return {text(group), text(tips), text(date)};
  }
  const msgbox::ShownMessage &lastMessage() { return t.messages().shown().back(); }
  size_t shownCount() { return t.messages().shown().size(); }

private:
  static QString values(const char *flags, const QDate &date) {
    const QString f = QString::fromLatin1(flags);
    auto flag = [&](char c) { return f.contains(QLatin1Char(c)) ? "-1" : "0"; };
    return QStringLiteral("%1, %2, %3, %4")
        .arg(flag('L'), flag('I'), flag('O'),
             date.isValid() ? "'" + date.toString(Qt::ISODate) + "'" : QStringLiteral("NULL"));
  }
};
