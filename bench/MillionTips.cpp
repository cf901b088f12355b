#include "MillionTips.h"

#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <vector>

void fillMillionTips(const QString &databasePath, const MillionTips &what) {
  auto db = store::Database::open(databasePath, store::OpenMode::ReadWrite);
  store::Database::Transaction t(db);
  db->exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                   "%1) INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, "
                   "G_ORIGINAL, G_DATE) SELECT i, printf('%2 group %04d', i), -1, 0, 0, "
                   "'2027-03-01' FROM n")
               .arg(what.groups)
               .arg(what.prefix));
  // Descriptions of words: "Some words " repeated.
  db->exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                   "%1) INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, "
                   "TIP_IMPORT, TIP_ORIGINAL, TIP_DATE) SELECT 1 + i % %2, printf('%3 "
                   "subject %07d about something useful', i), printf('Tip %d. %s', i, "
                   "replace(hex(zeroblob(%4)), '00', 'Some words ')), -1, 0, 0, '2027-03-02' "
                   "FROM n")
               .arg(what.tips)
               .arg(what.groups)
               .arg(what.prefix)
               .arg(what.descriptionBytes / 11));
  db->exec("UPDATE \"Group\" SET TIP_GROUP_FOLD = lower(TIP_GROUP)");
  db->exec("UPDATE Tips SET TIP_SUBJECT_FOLD = lower(TIP_SUBJECT)");
  t.commit();
}

namespace {

// A line of /proc/self/status in MB ("VmHWM:", "VmRSS:").
double statusMb(const char *field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly))
    return 0;
  for (const QByteArray &line : status.readAll().split('\n'))
    if (line.startsWith(field))
      return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').front().toDouble() / 1024;
  return 0;
}

} // namespace

double peakRssMb() { return statusMb("VmHWM:"); }

double rssMb() { return statusMb("VmRSS:"); }

void resetPeakRss() {
  QFile clear(QStringLiteral("/proc/self/clear_refs"));
  if (clear.open(QIODevice::WriteOnly))
    clear.write("5");
}

BenchFolder::BenchFolder() {
  for (const QString &folder :
       {root + "/images", root + "/Export", root + "/OBXTemp", stash, dir.path() + "/home"})
    QDir().mkpath(folder);
}

namespace {

std::vector<std::function<void()>> &endings() {
  static std::vector<std::function<void()>> list;
  return list;
}

} // namespace

void atEndOfRun(std::function<void()> remove) { endings().push_back(std::move(remove)); }

void endOfRun() {
  for (auto it = endings().rbegin(); it != endings().rend(); ++it)
    (*it)();
  endings().clear();
}
