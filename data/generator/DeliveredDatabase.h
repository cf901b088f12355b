#pragma once
// The delivered database files: the initial tip database and the template. Rows are
// written through the program's own rules (tips::TipRows), so a delivered row carries the
// same flags as one the program writes. A file is built under a temporary name and
// renamed into place: an interrupted run never leaves half a database behind, and an
// existing file is never replaced.

#include <QDate>
#include <QList>
#include <QString>

#include "generator/DataError.h"
#include "generator/TipsSource.h"

namespace obxdata {

// The day every delivered row carries in G_DATE / TIP_DATE.
QDate releaseDate();

// Creates a new tip database (tables Group, Tips, Settings) holding the collection as
// delivered rows (ORIGINAL True, LOCAL and IMPORT False, dated `date`) and the store's
// fresh Settings row (user details null, default window geometry). Fails if `path`
// exists. Returns the GROUP_ID given to each group, in the order of the collection.
QList<int> writeTipDatabase(const QString &path, const TipCollection &collection,
                            const QDate &date = releaseDate());
QList<int> writeInitialDatabase(const QString &path, const QString &tipsFile);

// Creates the template database (Group and Tips, both empty; no Settings). Fails if it exists.
void writeTemplateDatabase(const QString &path);

} // namespace obxdata
