#include "LargeDatabase.h"

#include "store/Database.h"

int fillLargeCollection(const QString &databasePath, const LargeCollection &c) {
  auto db = store::Database::open(databasePath, store::OpenMode::ReadWrite);
  store::Database::Transaction transaction(db);
  db->exec(QStringLiteral("DELETE FROM Tips; DELETE FROM \"Group\";"));
  // Group 1 is the big group; the others are named so that they sort around it.
  db->exec(QStringLiteral(
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
               "INSERT INTO \"Group\"(GROUP_ID, TIP_GROUP, G_LOCAL, G_IMPORT, G_ORIGINAL, G_DATE) "
               "SELECT i, CASE WHEN i = 1 THEN '%2' ELSE printf('Group %04d of tips', i) END, "
               "0, 0, -1, '2026-12-01' FROM n")
               .arg(c.groups)
               .arg(c.bigGroupName));
  db->exec(QStringLiteral(
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
               "INSERT INTO Tips(GROUP_ID, TIP_SUBJECT, TIP_DESCRIPTION, TIP_LOCAL, TIP_IMPORT, "
               "TIP_ORIGINAL, TIP_DATE) "
               "SELECT CASE WHEN i <= %2 THEN 1 ELSE 2 + (i - %2) % (%3 - 1) END, "
               "printf('Subject number %06d about something useful', (i * 7919) % 1000003), "
               "printf('Description of tip %d. ', i) || substr(hex(zeroblob(200)), 1, 380), "
               "0, 0, -1, '2026-12-01' FROM n")
               .arg(c.tips)
               .arg(c.bigGroupTips)
               .arg(c.groups));
  transaction.commit();
  return 1;
}
