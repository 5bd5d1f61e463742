#include <sqlite3.h>

#include <algorithm>

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
      : out_(out), types_(types) {
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
    std::string row = "(?";
    for (const std::string& name : names) {
      create += ", " + Quoted(name) + (types.empty() ? " TEXT" : "");
      row += ", ?";
    }
    row += ")";
    Run(create + ")");
    // Rows are inserted several to a statement, as part of SQLite's work is done once per run
    // of a statement (about a tenth of the writing thread's time on the benchmark's file): as
    // many as its limit of parameters allows, up to kRows.
    const int parameters = sqlite3_limit(db_.get(), SQLITE_LIMIT_VARIABLE_NUMBER, -1);
    rows_ = std::clamp<std::size_t>(static_cast<std::size_t>(parameters) / (names.size() + 1), 1,
                                    kRows);
    std::string insert = "INSERT INTO records VALUES " + row;
    insertOne_ = Prepare(insert);
    for (std::size_t r = 1; r < rows_; ++r) insert += ", " + row;
    insertMany_ = Prepare(insert);
    fields_ = names.size();
  }

  void Batch(const RecordBatch& batch) override {
    if (!types_.empty()) {
      batch.ForEach([this](std::int64_t number, const RecordValues& values) {
        pending_.records.push_back(number);
        for (std::size_t f = 0; f < values.size(); ++f) {
          if (!values[f]) {
            pending_.values.push_back({});
          } else {
            pending_.Add(TypeValue(types_[f], *values[f]));
          }
        }
        if (pending_.records.size() == rows_) InsertPending();
      });
      return;
    }
    // The values are bound where they lie, as the batch stays until this returns: rows_ rows
    // to a statement, and the rows left over one at a time.
    const std::size_t many = batch.records.size() / rows_ * rows_;
    std::size_t row = 0;
    batch.ForEach([&](std::int64_t number, const RecordValues& values) {
      if (row < many) {
        BindShown(insertMany_.get(), row % rows_, number, values.data());
        if (++row % rows_ == 0) Step(insertMany_.get());
      } else {
        BindShown(insertOne_.get(), 0, number, values.data());
        Step(insertOne_.get());
        ++row;
      }
    });
  }

  void Finish() override {
    for (std::size_t r = 0; r < pending_.records.size(); ++r) {
      Bind(insertOne_.get(), r, 0);
      Step(insertOne_.get());
    }
    insertOne_.reset();
    insertMany_.reset();
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
  // Binds a record's values as shown to the statement's row `at`.
  void BindShown(sqlite3_stmt* statement, std::size_t at, std::int64_t number,
                 const std::optional<std::string_view>* values) {
    const int first = static_cast<int>(at * (fields_ + 1)) + 1;
    sqlite3_bind_int64(statement, first, number);
    for (std::size_t f = 0; f < fields_; ++f) {
      const int index = first + 1 + static_cast<int>(f);
      if (values[f]) {
        BindText(statement, index, *values[f]);
      } else {
        sqlite3_bind_null(statement, index);
      }
    }
  }
  // Binds pending typed row `row` to the statement's row `at`.
  void Bind(sqlite3_stmt* statement, std::size_t row, std::size_t at) {
    const int first = static_cast<int>(at * (fields_ + 1)) + 1;
    sqlite3_bind_int64(statement, first, pending_.records[row]);
    for (std::size_t f = 0; f < fields_; ++f) {
      const Pending::Value& value = pending_.values[row * fields_ + f];
      const int index = first + 1 + static_cast<int>(f);
      switch (value.kind) {
        case Pending::Kind::kNull:
          sqlite3_bind_null(statement, index);
          break;
        case Pending::Kind::kText:
          BindText(statement, index,
                   std::string_view(pending_.text).substr(value.offset, value.length));
          break;
        case Pending::Kind::kInteger:
          sqlite3_bind_int64(statement, index, value.integer);
          break;
        case Pending::Kind::kReal:
          sqlite3_bind_double(statement, index, value.real);
          break;
      }
    }
  }
  // Inserts the pending rows, rows_ of them, with one statement.
  void InsertPending() {
    for (std::size_t r = 0; r < rows_; ++r) Bind(insertMany_.get(), r, r);
    Step(insertMany_.get());
    pending_.Clear();
  }
  void Step(sqlite3_stmt* statement) {
    if (sqlite3_step(statement) != SQLITE_DONE) Fail("cannot write");
    sqlite3_reset(statement);
  }

  // Typed rows taken and not yet inserted, their texts copied: a typed value's text is made
  // for the value alone, and gone by the time a statement of several rows runs.
  struct Pending {
    enum class Kind : char { kNull, kText, kInteger, kReal };
    struct Value {
      Kind kind = Kind::kNull;
      std::int64_t integer = 0;
      double real = 0;
      std::size_t offset = 0;  // of a text in `text`
      std::size_t length = 0;
    };
    std::vector<std::int64_t> records;
    std::vector<Value> values;  // the rows' values, field after field
    std::string text;

    void AddText(std::string_view value) {
      values.push_back({Kind::kText, 0, 0, text.size(), value.size()});
      text += value;
    }
    void Add(const TypedValue& value) {
      switch (value.kind) {
        case TypedValue::Kind::kText:
          AddText(value.Text());
          break;
        case TypedValue::Kind::kInteger:
        case TypedValue::Kind::kBoolean:
          values.push_back({Kind::kInteger, value.integer, 0, 0, 0});
          break;
        case TypedValue::Kind::kReal:
          values.push_back({Kind::kReal, 0, value.real, 0, 0});
          break;
      }
    }
    void Clear() {
      records.clear();
      values.clear();
      text.clear();
    }
  };
  static constexpr std::size_t kRows = 16;

  OutputFile& out_;
  std::unique_ptr<sqlite3, CloseDatabase> db_;
  // Finalized before the database is closed.
  Statement insertOne_;
  Statement insertMany_;
  const ValueTypes types_;
  std::size_t fields_ = 0;
  std::size_t rows_ = 1;  // inserted by insertMany_
  Pending pending_;
};

}  // namespace

std::unique_ptr<RecordWriter> MakeSqliteWriter(OutputFile& out, const std::vector<Column>& columns,
                                               const std::vector<std::string>& columnNames,
                                               const ValueTypes& types) {
  return std::make_unique<SqliteWriter>(out, columns, columnNames, types);
}

}  // namespace tomo
