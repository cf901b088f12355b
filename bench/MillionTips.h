#pragma once
// The million-tip fixtures of the benchmarks: a tip database (or a package database) of a
// million tips in 3,000 groups, with descriptions of about 500 bytes (about 585 MB), and the
// process's peak resident memory for the counter peak_rss_mb.

#include <QString>
#include <QTemporaryDir>
#include <functional>

#include "platform/files/FileService.h"
#include "tips/ProgramPaths.h"

constexpr int kMillionTips = 1000000;
constexpr int kMillionGroups = 3000;

struct MillionTips {
  int tips = kMillionTips;
  int groups = kMillionGroups;
  // Subjects and group names begin with it: two databases made with different prefixes
  // share no subject.
  QString prefix = QStringLiteral("Shared");
  int descriptionBytes = 495;
};

// Adds the groups and tips to an empty database file made by store::createDatabase (keys
// from 1), with their folded keys; every tip local, dated in 2027.
void fillMillionTips(const QString &databasePath, const MillionTips &what = {});

// The process's peak resident memory since the last reset, in MB.
double peakRssMb();
// The process's resident memory now, in MB.
double rssMb();
// Starts a new peak (Linux: clear_refs 5), so that each benchmark reports its own.
void resetPeakRss();

// A program folder in a temporary folder (images, Export, OBXTemp), a stash beside it for
// pristine copies, and a home folder; removed with it.
struct BenchFolder {
  QTemporaryDir dir;
  QString root = dir.path() + "/program";
  QString stash = dir.path() + "/stash";
  FileService files{dir.path() + "/home"};
  tips::ProgramPaths paths{root, files};

  BenchFolder();
};

// Fixtures made on first use live until the benchmarks end: endOfRun removes them (their
// temporary folders of gigabytes with them) before the application object goes.
void atEndOfRun(std::function<void()> remove);
void endOfRun();
