#include "store/QueryText.h"

#include <QList>
#include <limits>

#include "store/Collation.h"
#include "store/Sqlite.h"
#include "store/StoreError.h"

namespace store {
namespace {

enum class Tok { Name, Number, Text, Equals, Star, End };

struct Token {
  Tok kind = Tok::End;
  QString text; // the name, or the text value with '' turned into '
  qint64 number = 0;
  int position = 0; // 1-based character position in the source text
};

class Parser {
public:
  Parser(const QString &source, const QString &what) : source_(source), what_(what) { tokenize(); }

  [[noreturn]] void error(const QString &detail) const {
    throw StoreError(QStringLiteral("The %1 \"%2\" is not valid: %3.").arg(what_, source_, detail));
  }

  const Token &peek() const { return tokens_[index_]; }
  Token next() { return tokens_[index_ < tokens_.size() - 1 ? index_++ : index_]; }

  static QString describe(const Token &t) {
    switch (t.kind) {
    case Tok::Name:
      return QStringLiteral("\"%1\" at position %2").arg(t.text).arg(t.position);
    case Tok::Number:
      return QStringLiteral("the number %1 at position %2").arg(t.number).arg(t.position);
    case Tok::Text:
      return QStringLiteral("the text at position %1").arg(t.position);
    case Tok::Equals:
      return QStringLiteral("\"=\" at position %1").arg(t.position);
    case Tok::Star:
      return QStringLiteral("\"*\" at position %1").arg(t.position);
    case Tok::End:
      break;
    }
    return QStringLiteral("the end of the text");
  }

  bool isKeyword(const Token &t, const char *keyword) const {
    return t.kind == Tok::Name && t.text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
  }
  bool acceptKeyword(const char *keyword) {
    if (!isKeyword(peek(), keyword))
      return false;
    next();
    return true;
  }
  void expectKeyword(const char *keyword) {
    if (!acceptKeyword(keyword))
      error(QStringLiteral("%1 expected, found %2").arg(QLatin1String(keyword), describe(peek())));
  }
  void expect(Tok kind, const char *what) {
    if (peek().kind != kind)
      error(QStringLiteral("%1 expected, found %2").arg(QLatin1String(what), describe(peek())));
    next();
  }

  Token expectName(const char *what) {
    const Token t = peek();
    if (t.kind != Tok::Name)
      error(QStringLiteral("%1 expected, found %2").arg(QLatin1String(what), describe(t)));
    return next();
  }

  const TableSpec *table() {
    const Token t = expectName("a table name");
    const TableSpec *definition = findTable(t.text);
    if (!definition)
      error(QStringLiteral("there is no table \"%1\" (known tables: Group, Tips, Settings)")
                .arg(t.text));
    return definition;
  }

  const FieldSpec *field(const TableSpec &table) {
    const Token t = expectName("a field name");
    const FieldSpec *definition = findField(table, t.text);
    if (!definition)
      error(QStringLiteral("the table %1 has no field \"%2\"").arg(table.name, t.text));
    return definition;
  }

  Comparison comparison(const TableSpec &table) {
    Comparison c;
    c.field = field(table);
    expect(Tok::Equals, "\"=\"");
    const Token v = next();
    const QString &name = c.field->name;
    switch (c.field->kind) {
    case FieldKind::Integer:
      if (v.kind != Tok::Number)
        error(QStringLiteral("the field %1 holds numbers, found %2").arg(name, describe(v)));
      if (v.number < std::numeric_limits<qint32>::min() ||
          v.number > std::numeric_limits<qint32>::max())
        error(QStringLiteral("the number %1 is out of the range of the field %2")
                  .arg(v.number)
                  .arg(name));
      c.value = QVariant::fromValue<qlonglong>(v.number);
      break;
    case FieldKind::Text:
      if (v.kind != Tok::Text)
        error(QStringLiteral("the text field %1 takes a text between apostrophes, found %2")
                  .arg(name, describe(v)));
      c.value = v.text;
      break;
    case FieldKind::SmallInt: // no field of the program's tables
    case FieldKind::YesNo:
    case FieldKind::Date:
    case FieldKind::Other:
      error(QStringLiteral("only number and text fields can be compared, not %1").arg(name));
    }
    return c;
  }

  void expectEnd() {
    if (peek().kind != Tok::End)
      error(QStringLiteral("unexpected %1").arg(describe(peek())));
  }

private:
  void tokenize() {
    const QString &s = source_;
    const qsizetype n = s.size();
    qsizetype i = 0;
    auto isNameStart = [](QChar c) { return c.isLetter() || c == QLatin1Char('_'); };
    auto isNamePart = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    while (true) {
      while (i < n && s[i].isSpace())
        ++i;
      Token t;
      t.position = int(i + 1);
      if (i >= n) {
        tokens_ << t;
        return;
      }
      const QChar c = s[i];
      if (isNameStart(c)) {
        const qsizetype start = i;
        while (i < n && isNamePart(s[i]))
          ++i;
        t.kind = Tok::Name;
        t.text = s.mid(start, i - start);
      } else if (c.isDigit() || (c == QLatin1Char('-') && i + 1 < n && s[i + 1].isDigit())) {
        const qsizetype start = i;
        if (c == QLatin1Char('-'))
          ++i;
        while (i < n && isNamePart(s[i]))
          ++i;
        const QString digits = s.mid(start, i - start);
        bool ok = false;
        const qint64 value = digits.toLongLong(&ok, 10);
        if (!ok) {
          bool allDigits = true;
          for (qsizetype k = (c == QLatin1Char('-') ? 1 : 0); k < digits.size(); ++k)
            allDigits = allDigits && digits[k] >= QLatin1Char('0') && digits[k] <= QLatin1Char('9');
          error(allDigits ? QStringLiteral("the number %1 at position %2 is too large")
                                .arg(digits)
                                .arg(start + 1)
                          : QStringLiteral("\"%1\" at position %2 is not a number")
                                .arg(digits)
                                .arg(start + 1));
        }
        t.kind = Tok::Number;
        t.number = value;
      } else if (c == QLatin1Char('\'')) {
        QString value;
        qsizetype k = i + 1;
        bool closed = false;
        while (k < n) {
          if (s[k] == QLatin1Char('\'')) {
            if (k + 1 < n && s[k + 1] == QLatin1Char('\'')) {
              value += QLatin1Char('\'');
              k += 2;
              continue;
            }
            closed = true;
            break;
          }
          value += s[k];
          ++k;
        }
        if (!closed)
          error(QStringLiteral("the text that begins at position %1 has no closing apostrophe")
                    .arg(i + 1));
        t.kind = Tok::Text;
        t.text = value;
        i = k + 1;
      } else if (c == QLatin1Char('=')) {
        t.kind = Tok::Equals;
        ++i;
      } else if (c == QLatin1Char('*')) {
        t.kind = Tok::Star;
        ++i;
      } else {
        error(QStringLiteral("unexpected character \"%1\" at position %2").arg(c).arg(i + 1));
      }
      tokens_ << t;
    }
  }

  QString source_;
  QString what_;
  QList<Token> tokens_;
  qsizetype index_ = 0;
};

QString foldOf(const QString &column) {
  return QLatin1String(kFoldFunctionName) + QLatin1Char('(') + column + QLatin1Char(')');
}

// The comparison with the value bound as ?1.
QString comparisonSql(const Comparison &c, const TableLayout &table) {
  const QString column = sql::quoteIdentifier(c.field->name);
  const QString mark = QStringLiteral("?1");
  if (c.field->kind != FieldKind::Text)
    return column + QStringLiteral(" = ") + mark;
  const QString byName = foldOf(column) + QStringLiteral(" = ") + mark;
  if (!table.hasFoldKey(*c.field))
    return byName;
  // The key's index finds the row; the name confirms it, so a key that another tool
  // left wrong (or a package's author made up) never finds a row of another name.
  const QString key = sql::quoteIdentifier(foldColumnName(*c.field));
  return QStringLiteral("(%1 = %2 OR %1 IS NULL) AND %3").arg(key, mark, byName);
}

} // namespace

RecordSource parseRecordSource(const QString &text) {
  Parser p(text, QStringLiteral("record source"));
  RecordSource source;
  if (p.peek().kind == Tok::End)
    p.error(QStringLiteral("it is empty"));
  if (!p.isKeyword(p.peek(), "SELECT")) {
    source.table = p.table();
    p.expectEnd();
    return source;
  }
  p.next();
  p.expect(Tok::Star, "\"*\"");
  p.expectKeyword("FROM");
  source.table = p.table();
  if (p.acceptKeyword("WHERE"))
    source.where = p.comparison(*source.table);
  if (p.acceptKeyword("ORDER")) {
    p.expectKeyword("BY");
    source.orderBy = p.field(*source.table);
  }
  p.expectEnd();
  return source;
}

SqlText rowidQuery(const RecordSource &source, const TableLayout &table, const QString &columns) {
  SqlText out;
  out.sql = QStringLiteral("SELECT rowid") +
            (columns.isEmpty() ? QString() : QStringLiteral(", ") + columns) +
            QStringLiteral(" FROM ") + sql::quoteIdentifier(table.name);
  if (const std::optional<Comparison> &c = source.where) {
    const bool text = c->field->kind == FieldKind::Text;
    out.params << (text ? QVariant(foldCase(c->value.toString())) : c->value);
    out.sql += QStringLiteral(" WHERE ") + comparisonSql(*c, table);
  }
  QString order = QStringLiteral("rowid ASC");
  if (const FieldSpec *f = source.orderBy) {
    QString term = sql::quoteIdentifier(f->name);
    if (f->kind == FieldKind::Text)
      term = table.hasFoldKey(*f) ? sql::quoteIdentifier(foldColumnName(*f)) : foldOf(term);
    order = term + QStringLiteral(" ASC, ") + order;
  }
  out.sql += QStringLiteral(" ORDER BY ") + order;
  return out;
}

} // namespace store
