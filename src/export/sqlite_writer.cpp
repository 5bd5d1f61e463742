#include <sqlite3.h>

#include "export/failure.h"
#include "export/record_writer.h"
#include "export/typed_value.h"

namespace tomo {

namespace {

std::string Quoted(std::string_view name) {
  std::string quoted = "\"";
  for (const char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

class SqliteWriter : public RecordWriter {
 public:
  SqliteWriter(OutputFile& out, const std::vector<Column>& columns,
               const std::vector<std::string>& names, const ValueTypes& types)
      : out_(out), types_(types), typed_(types.size()) {
    // No counting of the memory SQLite takes, which locks a mutex at every allocation. It can
    // be set only before SQLite's first use in the process; later it stays as it was.
    (void)sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    // An empty temporary file is an empty database.
    sqlite3* db = nullptr;
    // One thread uses the connection: no locking of it for every call.
    const int opened = sqlite3_open_v2(Utf8Of(out.TemporaryPath()).c_str(), &db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    db_.reset(db);
    if (opened != SQLITE_OK) Fail("cannot open");
    // No journal, no waiting for the disk and no file locks taken again for every write: the
    // file is the export's own, put in place only once complete. Large pages take fewer
    // writes.
    Run("PRAGMA page_size=16384; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; "
        "PRAGMA locking_mode=EXCLUSIVE; BEGIN");
    Run("CREATE TABLE fields (number INTEGER PRIMARY KEY, name TEXT NOT NULL, type INTEGER "
        "NOT NULL, type_name TEXT, options TEXT NOT NULL, searchable INTEGER NOT NULL)");
    const Statement statement = Prepare("INSERT INTO fields VALUES (?, ?, ?, ?, ?, ?)");
    sqlite3_stmt* field = statement.get();
    for (std::size_t f = 0; f < columns.size(); ++f) {
      const FieldDef& def = *columns[f].field;
      sqlite3_bind_int64(field, 1, static_cast<sqlite3_int64>(f + 1));
      BindText(field, 2, columns[f].name);
      sqlite3_bind_int(field, 3, def.Type);
      if (def.Type >= 0 && def.Type <= 9) {
        BindText(field, 4, kEnglishTypeNames[static_cast<std::size_t>(def.Type)]);
      } else {
        sqlite3_bind_null(field, 4);
      }
      BindText(field, 5, columns[f].options);
      sqlite3_bind_int(field, 6, def.SearchFlag);
      Step(field);
    }
    std::string create = "CREATE TABLE records (record INTEGER PRIMARY KEY";
    std::string insert = "INSERT INTO records VALUES (?";
    for (const std::string& name : names) {
      create += ", " + Quoted(name) + (types.empty() ? " TEXT" : "");
      insert += ", ?";
    }
    Run(create + ")");
    insert_ = Prepare(insert + ")");
  }

  void Record(std::int64_t number, const RecordValues& values) override {
    sqlite3_stmt* insert = insert_.get();
    sqlite3_bind_int64(insert, 1, number);
    for (std::size_t f = 0; f < values.size(); ++f) {
      const int at = static_cast<int>(f) + 2;
      if (values[f] && !types_.empty()) {
        typed_[f] = TypeValue(types_[f], *values[f]);
        BindTyped(insert, at, typed_[f]);
      } else if (values[f]) {
        BindText(insert, at, *values[f]);
      } else {
        sqlite3_bind_null(insert, at);
      }
    }
    Step(insert);
  }

  void Finish() override {
    insert_.reset();
    Run("COMMIT");
    if (sqlite3_close(db_.get()) != SQLITE_OK) Fail("cannot close");
    (void)db_.release();
  }

 private:
  [[noreturn]] void Fail(const std::string& what) {
    const std::string message = what + " the SQLite database " + Utf8Of(out_.TemporaryPath()) +
                                ": " + (db_ ? sqlite3_errmsg(db_.get()) : "out of memory");
    if (db_ && sqlite3_errcode(db_.get()) == SQLITE_FULL) throw DiskFull(message);
    throw Failure(message);
  }
  void Run(const std::string& sql) {
    if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
      Fail("cannot write");
  }
  Statement Prepare(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      Fail("cannot write");
    }
    return Statement(statement);
  }
  // The text stays valid until the statement is stepped. An empty value may have no data,
  // and SQLite binds a null pointer as NULL: present is text, also when empty.
  static void BindText(sqlite3_stmt* statement, int at, std::string_view text) {
    const char* data = text.empty() ? "" : text.data();
    sqlite3_bind_text64(statement, at, data, text.size(), SQLITE_STATIC, SQLITE_UTF8);
  }
  // `value` holds a date's text, so it too stays until the statement is stepped (typed_).
  static void BindTyped(sqlite3_stmt* statement, int at, const TypedValue& value) {
    switch (value.kind) {
      case TypedValue::Kind::kText:
        BindText(statement, at, value.Text());
        break;
      case TypedValue::Kind::kInteger:
      case TypedValue::Kind::kBoolean:
        sqlite3_bind_int64(statement, at, value.integer);
        break;
      case TypedValue::Kind::kReal:
        sqlite3_bind_double(statement, at, value.real);
        break;
    }
  }
  void Step(sqlite3_stmt* statement) {
    if (sqlite3_step(statement) != SQLITE_DONE) Fail("cannot write");
    sqlite3_reset(statement);
  }

  OutputFile& out_;
  std::unique_ptr<sqlite3, CloseDatabase> db_;
  Statement insert_;  // finalized before the database is closed
  const ValueTypes types_;
  std::vector<TypedValue> typed_;
};

}  // namespace

std::unique_ptr<RecordWriter> MakeSqliteWriter(OutputFile& out, const std::vector<Column>& columns,
                                               const std::vector<std::string>& columnNames,
                                               const ValueTypes& types) {
  return std::make_unique<SqliteWriter>(out, columns, columnNames, types);
}

}  // namespace tomo
