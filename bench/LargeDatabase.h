#pragma once
// Fills a tip database with a large collection, for benchmarks.

#include <QString>

struct LargeCollection {
  int groups = 300;
  int tips = 32767;
  // One group holds this many tips; the rest are spread evenly over the other groups.
  int bigGroupTips = 1000;
  QString bigGroupName = QStringLiteral("Big Group");
};

// Replaces the groups and tips of the database file with a generated collection (subjects
// and descriptions of realistic length). Returns the big group's key.
int fillLargeCollection(const QString &databasePath, const LargeCollection &collection);
