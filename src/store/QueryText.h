#pragma once
// The program's record sources: the texts that name the rows a record set holds.
//
// Keywords, table and field names are read without regard to case; blanks between the
// parts are optional where no ambiguity arises, as in "GROUP_ID =7":
//     <table>
//     SELECT * FROM <table> [WHERE <field> = <value>] [ORDER BY <field>]
// Value, checked against the field's type:
//     integer fields:  an integer ("7", "-1")
//     text fields:     a text between apostrophes; '' inside it stands for one apostrophe;
//                      every other character (backticks included) stands for itself
// Tables and fields are checked against the known schema (store/Schema.h). Anything
// else throws StoreError naming the text and what is wrong with it. Values never reach
// SQL text: the query builder below returns SQL with bound parameters.

#include <QString>
#include <QVariant>
#include <optional>

#include "store/Schema.h"

namespace store {

struct Comparison {
  const FieldSpec *field = nullptr;
  QVariant value; // qlonglong for integer fields, QString for text fields
};

struct RecordSource {
  const TableSpec *table = nullptr;
  std::optional<Comparison> where;
  const FieldSpec *orderBy = nullptr; // ascending; null: in key order
};

struct SqlText {
  QString sql;
  QVariantList params;
};

RecordSource parseRecordSource(const QString &text);

// "SELECT rowid[, <columns>] FROM <table> WHERE ... ORDER BY ..., rowid": the rows of a
// record set in its order (ties broken by key). Text compares and orders by its fold
// (Collation.h): through the folded key column where the file has one, with its index,
// else through the connection's fold function. A row whose key is unknown (written by
// another tool since the file was opened) is found by its name all the same; in the
// order it stands with the nulls until its key is filled in.
// columns: further result columns, already quoted (e.g. "\"TIPS_ID\", \"GROUP_ID\"").
SqlText rowidQuery(const RecordSource &source, const TableLayout &table,
                   const QString &columns = QString());

} // namespace store
