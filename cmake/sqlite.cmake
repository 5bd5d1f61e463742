# SQLite for the export, as the target tomo_sqlite: the amalgamation compiled in, on Windows
# and on Linux alike, so that both write with the same SQLite (on Linux about a seventh faster
# than Debian's shared library, measured on the benchmark's 10^7-entry file).
# tools/fetch-sqlite-amalgamation.sh takes the one the npm package better-sqlite3 carries
# (Debian has none), unless TOMO_SQLITE_AMALGAMATION names a folder that holds one. On Linux,
# without one (no npm), the system's SQLite (Debian: libsqlite3-dev) serves instead.
set(TOMO_SQLITE_AMALGAMATION "${PROJECT_SOURCE_DIR}/build/sqlite-amalgamation" CACHE PATH
  "Folder with the SQLite amalgamation (sqlite3.c, sqlite3.h)")
if(NOT EXISTS "${TOMO_SQLITE_AMALGAMATION}/sqlite3.c")
  # Whether it came is told by the files, below.
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/tools/fetch-sqlite-amalgamation.sh ${TOMO_SQLITE_AMALGAMATION})
endif()

if(EXISTS "${TOMO_SQLITE_AMALGAMATION}/sqlite3.c")
  add_library(tomo_sqlite STATIC ${TOMO_SQLITE_AMALGAMATION}/sqlite3.c)
  target_include_directories(tomo_sqlite SYSTEM PUBLIC ${TOMO_SQLITE_AMALGAMATION})
  # One thread at a time uses a connection: no locking.
  target_compile_definitions(tomo_sqlite PRIVATE SQLITE_THREADSAFE=0 SQLITE_OMIT_LOAD_EXTENSION
    SQLITE_DQS=0)
  # SQLite is not ours to sanitize or to fuzz.
  if(TOMO_SANITIZE OR TOMO_FUZZ)
    target_compile_options(tomo_sqlite PRIVATE -fno-sanitize=all)
  endif()
  if(NOT WIN32)
    target_link_libraries(tomo_sqlite PUBLIC m)
  endif()
elseif(WIN32)
  message(FATAL_ERROR "No SQLite amalgamation in ${TOMO_SQLITE_AMALGAMATION}: run "
    "tools/fetch-sqlite-amalgamation.sh there (needs npm) or set TOMO_SQLITE_AMALGAMATION")
else()
  message(STATUS "No SQLite amalgamation: tomodb uses the system's SQLite")
  find_package(SQLite3 REQUIRED)
  add_library(tomo_sqlite INTERFACE)
  target_link_libraries(tomo_sqlite INTERFACE SQLite::SQLite3)
endif()
