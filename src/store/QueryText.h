#pragma once
// The program's own query dialect: record sources and find-first criteria.
//
// Record source (keywords, table and field names without regard to case; a name may be
// written in square brackets; blanks between the parts are optional where no ambiguity
// arises, as in "GROUP_ID =7"):
//     <table>
//     SELECT * FROM <table> [WHERE <comparison> {AND <comparison>}]
//                           [ORDER BY <field> [ASC|DESC] {, <field> [ASC|DESC]}] [;]
// Criteria:
//     <comparison> {AND <comparison>}
// Comparison:
//     <field> = <value>
// Value, checked against the field's type:
//     integer fields:  an integer ("7", "-1")
//     yes/no fields:   an integer, or TRUE / FALSE / YES / NO
//     text fields:     a text between apostrophes; '' inside it stands for one apostrophe;
//                      every other character (backticks included) stands for itself
//     date fields:     a text 'YYYY-MM-DD'
// Tables and fields are checked against the known schema (store/Schema.h). Anything
// else throws StoreError naming the text and what is wrong with it. Values never reach
// SQL text: the builders below return SQL with bound parameters.

#include <QList>
#include <QString>
#include <QVariant>

#include "store/Schema.h"

namespace store {

struct Comparison {
  const FieldSpec *field = nullptr;
  QVariant value; // qlonglong for integer and yes/no fields, QString for text and dates
};

struct OrderTerm {
  const FieldSpec *field = nullptr;
  bool descending = false;
};

struct RecordSource {
  const TableSpec *table = nullptr;
  QList<Comparison> where;
  QList<OrderTerm> orderBy;
};

struct SqlText {
  QString sql;
  QVariantList params;
};

RecordSource parseRecordSource(const QString &text);
QList<Comparison> parseCriteria(const QString &text, const TableSpec &table);

// "SELECT rowid[, <columns>] FROM <table> WHERE ... ORDER BY ..., rowid": the rows of a
// record set in its order (ties broken by key). Text compares and orders by its fold
// (Collation.h): through the folded key column where the file has one, with its index,
// else through the connection's fold function. A row whose key is unknown (written by
// another tool since the file was opened) is found by its name all the same; in the
// order it stands with the nulls until its key is filled in.
// columns: further result columns, already quoted (e.g. "\"TIPS_ID\", \"GROUP_ID\"").
SqlText rowidQuery(const RecordSource &source, const TableLayout &table,
                   const QString &columns = QString());
// "SELECT rowid FROM <table> WHERE <criteria>": the rows matching find-first criteria.
SqlText matchQuery(const QList<Comparison> &criteria, const TableLayout &table);

} // namespace store
