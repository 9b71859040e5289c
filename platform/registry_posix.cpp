/*
 * The POSIX registry: a per-user SQLite database that keeps the two roots
 * HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, their key tree, and typed values
 * byte for byte. Every call opens the store named by the environment afresh,
 * so a changed TESSEL_REGISTRY takes effect at once, and every write is one
 * transaction: a crash leaves each value either old or new.
 */
#include "platform/platform.h"

#include <errno.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

/* An open key: the root it hangs from and its path below the root, with the
   components joined by single backslashes (empty for the root itself). The
   path is resolved afresh on every use, so a key deleted behind the handle's
   back reads as deleted, and a handle survives the store being switched. */
struct TsRegKey {
  uint32_t magic;
  int access;   /* PL_KEY_READ or PL_KEY_ALL_ACCESS */
  int64_t root; /* kRootUser or kRootMachine */
  char *path;   /* points just past the record, in the same block */
};

namespace {

constexpr uint32_t kKeyMagic = 0x5453524bu; /* "TSRK": a live key record */

/* Row ids of the two roots in the keys table; 0 is the parent of both. */
constexpr int64_t kRootUser = 1;
constexpr int64_t kRootMachine = 2;

/* Marks a database as a Tessel registry ("TSLR") and names its layout, so
   that another program's SQLite file is refused rather than written into. */
constexpr int kApplicationId = 0x54534c52;
constexpr int kSchemaVersion = 1;

/* Windows' own limits: a key name of 255 characters, a value name of 16383. */
constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxValueName = 16383;

/* How long a call waits for another process's write before giving up. */
constexpr int kBusyTimeoutMs = 5000;

const char kSchema[] =
    "CREATE TABLE IF NOT EXISTS keys("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  parent INTEGER NOT NULL,"
    "  name TEXT NOT NULL," /* as first written */
    "  fold TEXT NOT NULL," /* lower(name): ASCII case folded */
    "  UNIQUE(parent, fold));"
    "CREATE TABLE IF NOT EXISTS vals("
    "  key INTEGER NOT NULL,"
    "  name TEXT NOT NULL,"
    "  fold TEXT NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY(key, fold)) WITHOUT ROWID;"
    "INSERT OR IGNORE INTO keys(id, parent, name, fold) VALUES"
    "  (1, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),"
    "  (2, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE');"
    "PRAGMA application_id = 1414745170;"
    "PRAGMA user_version = 1;";

TS_STATIC_ASSERT(kApplicationId == 1414745170, "application id in kSchema");
TS_STATIC_ASSERT(kSchemaVersion == 1, "user version in kSchema");

/* ---- store file ---------------------------------------------------------- */

/* The registry status that a registry call returns for an errno value met
   while reaching the store (its directory and file). Unlike the last-error
   codes of the file calls (lastErrorFromErrno in posix.cpp), it keeps to the
   statuses a registry call returns: a read-only store is access denied, a
   file grown past its limit is a full disk, and anything else is the
   registry's own I/O failure rather than a raw errno. */
long registryStatusFromErrno(int e) {
  switch (e) {
    case ENOENT:
      return PL_ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return PL_ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return PL_ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return PL_ERROR_DISK_FULL;
    case ENOMEM:
      return PL_ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG:
      return PL_ERROR_FILENAME_EXCED_RANGE;
    default:
      return PL_ERROR_REGISTRY_IO_FAILED;
  }
}

/* The Windows code for an SQLite result, with the system error behind it
   where SQLite kept one. */
long errorFromSqlite(sqlite3 *db, int rc) {
  switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return PL_ERROR_SUCCESS;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_SCHEMA:
    case SQLITE_FORMAT:
    case SQLITE_ERROR:
      return PL_ERROR_BADDB; /* e.g. a table missing */
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return PL_ERROR_ACCESS_DENIED;
    case SQLITE_FULL:
      return PL_ERROR_DISK_FULL;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return PL_ERROR_SHARING_VIOLATION;
    case SQLITE_NOMEM:
      return PL_ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_TOOBIG:
      return PL_ERROR_INVALID_PARAMETER;
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR: {
      int e = db ? sqlite3_system_errno(db) : 0;
      if (e) return registryStatusFromErrno(e);
      /* A write refused without a reason kept: the file could not grow (a
         full disk, a file size limit), which SQLite does not always tell
         from other write errors. */
      if (rc == SQLITE_IOERR_WRITE) return PL_ERROR_DISK_FULL;
      return (rc & 0xff) == SQLITE_CANTOPEN ? (long)PL_ERROR_FILE_NOT_FOUND : (long)PL_ERROR_REGISTRY_IO_FAILED;
    }
    default:
      return PL_ERROR_REGISTRY_IO_FAILED;
  }
}

/* Writes the store's file name into out (room bytes): TESSEL_REGISTRY when
   set and not empty, else $XDG_CONFIG_HOME/tessel/registry.sqlite3 (an
   absolute XDG_CONFIG_HOME only, as the XDG rules say), else
   $HOME/.config/tessel/registry.sqlite3. Returns 0 or an error code. */
long storePath(char *out, size_t room) {
  const char *named = getenv("TESSEL_REGISTRY");
  int n;
  if (named && *named) {
    n = snprintf(out, room, "%s", named);
  } else {
    const char *xdg = getenv("XDG_CONFIG_HOME");
    const char *home = getenv("HOME");
    if (xdg && xdg[0] == '/') n = snprintf(out, room, "%s/tessel/registry.sqlite3", xdg);
    else if (home && *home) n = snprintf(out, room, "%s/.config/tessel/registry.sqlite3", home);
    else return PL_ERROR_PATH_NOT_FOUND;
  }
  if (n < 0 || (size_t)n >= room) return PL_ERROR_FILENAME_EXCED_RANGE;
  return PL_ERROR_SUCCESS;
}

/* Creates every missing directory above the file name path (mode 0700, the
   store is private to its user). Returns 0 or an error code. */
long makeParentDirectories(const char *path) {
  char dir[4096];
  size_t length = strlen(path);
  if (length >= sizeof dir) return PL_ERROR_FILENAME_EXCED_RANGE;
  memcpy(dir, path, length + 1);
  char *slash = strrchr(dir, '/');
  if (!slash || slash == dir) return PL_ERROR_SUCCESS;
  *slash = 0;
  for (char *p = dir + 1;; ++p) {
    if (*p != '/' && *p != 0) continue;
    char kept = *p;
    *p = 0;
    if (mkdir(dir, 0700) != 0 && errno != EEXIST) return registryStatusFromErrno(errno);
    *p = kept;
    if (!kept) break;
  }
  struct stat st;
  if (stat(dir, &st) != 0) return registryStatusFromErrno(errno);
  if (!S_ISDIR(st.st_mode)) return PL_ERROR_PATH_NOT_FOUND;
  return PL_ERROR_SUCCESS;
}

/* Opens the store. For a read (write false) a missing file is
   PL_ERROR_FILE_NOT_FOUND and nothing is created; an empty database (no
   tables yet) reads as a store without keys. For a write the file and its
   directories are created and the tables made; the caller then holds a
   write transaction (BEGIN IMMEDIATE). On success *db is the connection,
   which the caller closes with storeClose; on failure *db is null. */
long storeOpen(bool write, sqlite3 **db, bool *empty) {
  *db = nullptr;
  if (empty) *empty = false;
  char path[4096];
  long error = storePath(path, sizeof path);
  if (error) return error;

  struct stat st;
  if (stat(path, &st) != 0) {
    if (!write)
      return (errno == ENOENT || errno == ENOTDIR) ? (long)PL_ERROR_FILE_NOT_FOUND : registryStatusFromErrno(errno);
    error = makeParentDirectories(path);
    if (error) return error;
    /* Made here rather than by SQLite so that it is private to its user. */
    int fd = open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return registryStatusFromErrno(errno);
    close(fd);
  } else if (S_ISDIR(st.st_mode)) {
    return PL_ERROR_ACCESS_DENIED;
  }

  /* Read-write without create even for reads: a reader must be able to roll
     back the journal that a writer killed mid-transaction left behind.
     SQLite falls back to read-only when the file is write-protected. */
  sqlite3 *handle = nullptr;
  int rc = sqlite3_open_v2(path, &handle, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    error = errorFromSqlite(handle, rc);
    sqlite3_close(handle);
    return error;
  }
  sqlite3_extended_result_codes(handle, 1);
  sqlite3_busy_timeout(handle, kBusyTimeoutMs);

  rc = sqlite3_exec(handle, write ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    error = errorFromSqlite(handle, rc);
    sqlite3_close(handle);
    return error;
  }

  /* Recognise the layout: ours, empty, or something else (refused). */
  sqlite3_stmt *st2 = nullptr;
  int appId = 0, version = 0, tables = 0;
  rc = sqlite3_prepare_v2(handle,
                          "SELECT (SELECT application_id FROM pragma_application_id),"
                          "       (SELECT user_version FROM pragma_user_version),"
                          "       (SELECT count(*) FROM sqlite_master)",
                          -1, &st2, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(st2);
  if (rc == SQLITE_ROW) {
    appId = sqlite3_column_int(st2, 0);
    version = sqlite3_column_int(st2, 1);
    tables = sqlite3_column_int(st2, 2);
    rc = SQLITE_OK;
  }
  sqlite3_finalize(st2);
  if (rc == SQLITE_OK) {
    if (tables == 0 && appId == 0 && version == 0) {
      if (write) rc = sqlite3_exec(handle, kSchema, nullptr, nullptr, nullptr);
      else if (empty) *empty = true;
    } else if (appId != kApplicationId || version != kSchemaVersion) {
      sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
      sqlite3_close(handle);
      return PL_ERROR_BADDB;
    }
  }
  if (rc != SQLITE_OK) {
    error = errorFromSqlite(handle, rc);
    sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(handle);
    return error;
  }
  *db = handle;
  return PL_ERROR_SUCCESS;
}

/* Ends the transaction that storeOpen began: commits when error is 0 and
   the commit succeeds, else rolls back. Closes the connection. Returns the
   error passed in, or the commit's error. */
long storeClose(sqlite3 *db, long error) {
  if (!db) return error;
  if (error == PL_ERROR_SUCCESS) {
    int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) error = errorFromSqlite(db, rc);
  }
  if (error != PL_ERROR_SUCCESS && !sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return error;
}

/* Prepares sql; returns 0 or an error code (*stmt null on failure). */
long prepare(sqlite3 *db, const char *sql, sqlite3_stmt **stmt) {
  int rc = sqlite3_prepare_v2(db, sql, -1, stmt, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(*stmt);
    *stmt = nullptr;
    return errorFromSqlite(db, rc);
  }
  return PL_ERROR_SUCCESS;
}

/* ---- keys ---------------------------------------------------------------- */

/* The key record behind a handle that is not a root constant, or null for a
   handle that is no live key of this layer. */
TsRegKey *keyRecord(HKEY key) {
  if (!key || key == PL_HKEY_CURRENT_USER || key == PL_HKEY_LOCAL_MACHINE) return nullptr;
  return key->magic == kKeyMagic ? key : nullptr;
}

/* Splits a handle into its root row and its path below it. Returns 0, or
   PL_ERROR_INVALID_HANDLE for anything that is not a key of this layer. */
long handleParts(HKEY key, int64_t *root, const char **path, int *access) {
  if (key == PL_HKEY_CURRENT_USER || key == PL_HKEY_LOCAL_MACHINE) {
    *root = key == PL_HKEY_CURRENT_USER ? kRootUser : kRootMachine;
    *path = "";
    *access = PL_KEY_ALL_ACCESS;
    return PL_ERROR_SUCCESS;
  }
  TsRegKey *record = keyRecord(key);
  if (!record) return PL_ERROR_INVALID_HANDLE;
  *root = record->root;
  *path = record->path;
  *access = record->access;
  return PL_ERROR_SUCCESS;
}

/* Checks a key path: components of at most 255 characters separated by '\';
   doubled and trailing separators are tolerated, a leading one is not.
   Returns 0 or an error code. */
long checkPath(const char *path) {
  if (!path) return PL_ERROR_SUCCESS;
  if (path[0] == '\\') return PL_ERROR_BAD_PATHNAME;
  size_t run = 0;
  for (const char *p = path; *p; ++p) {
    if (*p == '\\') {
      run = 0;
    } else if (++run > kMaxKeyName) {
      return PL_ERROR_INVALID_PARAMETER;
    }
  }
  return PL_ERROR_SUCCESS;
}

/* Walks path (may be null or empty) down from the key row start. With create
   set, every missing key along the way is inserted (the caller holds a write
   transaction). On success *id is the row of the key reached. Returns 0,
   PL_ERROR_FILE_NOT_FOUND for a missing key, or an error code. */
long walkPath(sqlite3 *db, int64_t start, const char *path, bool create, int64_t *id) {
  *id = start;
  if (!path || !*path) return PL_ERROR_SUCCESS;
  sqlite3_stmt *find = nullptr, *insert = nullptr;
  long error = prepare(db, "SELECT id FROM keys WHERE parent = ?1 AND fold = lower(?2)", &find);
  if (!error && create) error = prepare(db, "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, lower(?2))", &insert);
  const char *p = path;
  while (!error && *p) {
    const char *end = strchr(p, '\\');
    size_t length = end ? (size_t)(end - p) : strlen(p);
    if (length > 0) {
      sqlite3_reset(find);
      sqlite3_bind_int64(find, 1, *id);
      sqlite3_bind_text(find, 2, p, (int)length, SQLITE_STATIC);
      int rc = sqlite3_step(find);
      if (rc == SQLITE_ROW) {
        *id = sqlite3_column_int64(find, 0);
      } else if (rc != SQLITE_DONE) {
        error = errorFromSqlite(db, rc);
      } else if (!create) {
        error = PL_ERROR_FILE_NOT_FOUND;
      } else {
        sqlite3_reset(insert);
        sqlite3_bind_int64(insert, 1, *id);
        sqlite3_bind_text(insert, 2, p, (int)length, SQLITE_STATIC);
        rc = sqlite3_step(insert);
        if (rc == SQLITE_DONE) *id = sqlite3_last_insert_rowid(db);
        else error = errorFromSqlite(db, rc);
      }
    }
    p += length;
    if (*p == '\\') ++p;
  }
  sqlite3_finalize(find);
  sqlite3_finalize(insert);
  return error;
}

/* The row of the key a handle stands for, in the open store. A handle whose
   key is gone reads PL_ERROR_KEY_DELETED. */
long handleRow(sqlite3 *db, HKEY key, int64_t *id) {
  int64_t root;
  const char *path;
  int access;
  long error = handleParts(key, &root, &path, &access);
  if (error) return error;
  error = walkPath(db, root, path, false, id);
  return error == PL_ERROR_FILE_NOT_FOUND ? (long)PL_ERROR_KEY_DELETED : error;
}

/* Makes a key record for root and the path base\sub, normalised: empty
   components dropped, single separators. Returns 0 or an error code. */
long makeKey(int64_t root, const char *base, const char *sub, int access, HKEY *out) {
  size_t room = strlen(base) + 1 + (sub ? strlen(sub) : 0) + 1;
  TsRegKey *record = static_cast<TsRegKey *>(malloc(sizeof(TsRegKey) + room));
  if (!record) return PL_ERROR_NOT_ENOUGH_MEMORY;
  record->magic = kKeyMagic;
  record->access = access;
  record->root = root;
  record->path = reinterpret_cast<char *>(record + 1);
  char *w = record->path;
  const char *parts[2] = {base, sub ? sub : ""};
  for (const char *p : parts) {
    for (; *p; ++p) {
      if (*p == '\\') {
        if (w > record->path && w[-1] != '\\') *w++ = '\\';
      } else {
        *w++ = *p;
      }
    }
    if (w > record->path && w[-1] != '\\') *w++ = '\\';
  }
  if (w > record->path) --w; /* the last separator */
  *w = 0;
  *out = record;
  return PL_ERROR_SUCCESS;
}

/* Opens (create false) or creates the key base\path; see plRegOpenKey. */
long openKey(HKEY base, const char *path, int access, bool create, HKEY *key) {
  if (!key) return PL_ERROR_INVALID_PARAMETER;
  *key = nullptr;
  int64_t root;
  const char *basePath;
  int baseAccess;
  long error = handleParts(base, &root, &basePath, &baseAccess);
  if (!error) error = checkPath(path);
  if (error) return error;
  if (access != PL_KEY_READ && access != PL_KEY_ALL_ACCESS) return PL_ERROR_INVALID_PARAMETER;
  if (create && baseAccess != PL_KEY_ALL_ACCESS) return PL_ERROR_ACCESS_DENIED;

  sqlite3 *db = nullptr;
  bool empty = false;
  error = storeOpen(create, &db, &empty);
  if (!error && empty) error = PL_ERROR_FILE_NOT_FOUND;
  int64_t id = 0;
  if (!error) error = handleRow(db, base, &id);
  if (!error) error = walkPath(db, id, path, create, &id);
  error = storeClose(db, error);
  if (error == PL_ERROR_FILE_NOT_FOUND && !create && basePath[0] == 0 && (!path || !*path))
    error = PL_ERROR_SUCCESS; /* a root exists even before the store does */
  if (error) return error;
  return makeKey(root, basePath, path, access, key);
}

/* Opens the store for an operation on the key behind handle: a read (write
   false) or a write transaction, and finds the key's row. A write on a
   handle opened for reading only is PL_ERROR_ACCESS_DENIED. When the store
   does not exist yet (or holds nothing) a read returns
   PL_ERROR_FILE_NOT_FOUND with *db null for a root's handle and
   PL_ERROR_KEY_DELETED for any other. On success the caller ends the
   transaction with storeClose(*db, ...). */
long openForKey(HKEY key, bool write, sqlite3 **db, int64_t *id) {
  *db = nullptr;
  int64_t root;
  const char *path;
  int access;
  long error = handleParts(key, &root, &path, &access);
  if (error) return error;
  if (write && access != PL_KEY_ALL_ACCESS) return PL_ERROR_ACCESS_DENIED;
  bool empty = false;
  error = storeOpen(write, db, &empty);
  if (!error && empty) {
    storeClose(*db, PL_ERROR_SUCCESS);
    *db = nullptr;
    error = PL_ERROR_FILE_NOT_FOUND;
  }
  if (error == PL_ERROR_FILE_NOT_FOUND) return path[0] ? (long)PL_ERROR_KEY_DELETED : error;
  if (error) return error;
  error = handleRow(*db, key, id);
  if (error) {
    storeClose(*db, error);
    *db = nullptr;
  }
  return error;
}

/* Copies a value's bytes from the columns (type, data) at column of row
   under the RegQueryValueEx contract. */
long deliverValue(sqlite3_stmt *row, int column, uint32_t *type, void *data, uint32_t *size) {
  const void *bytes = sqlite3_column_blob(row, column + 1);
  uint32_t length = (uint32_t)sqlite3_column_bytes(row, column + 1);
  if (type) *type = (uint32_t)sqlite3_column_int64(row, column);
  if (!size) return PL_ERROR_SUCCESS;
  uint32_t room = *size;
  *size = length;
  if (!data) return PL_ERROR_SUCCESS;
  if (length > room) return PL_ERROR_MORE_DATA;
  if (length) memcpy(data, bytes, length);
  return PL_ERROR_SUCCESS;
}

/* Runs one statement that takes a key row as ?1 and, when text is not
   null, a text as ?2; returns 0 or an error code, and through changes (may
   be null) the number of rows it changed. */
long runOnKey(sqlite3 *db, const char *sql, int64_t id, const char *text, int *changes) {
  sqlite3_stmt *st = nullptr;
  long error = prepare(db, sql, &st);
  if (error) return error;
  sqlite3_bind_int64(st, 1, id);
  if (text) sqlite3_bind_text(st, 2, text, -1, SQLITE_STATIC);
  int rc = sqlite3_step(st);
  error = rc == SQLITE_DONE ? (long)PL_ERROR_SUCCESS : errorFromSqlite(db, rc);
  if (changes) *changes = sqlite3_changes(db);
  sqlite3_finalize(st);
  return error;
}

/* Checks a value name against Windows' length limit. */
long checkValueName(const char *name) {
  if (name && strlen(name) > kMaxValueName) return PL_ERROR_INVALID_PARAMETER;
  return PL_ERROR_SUCCESS;
}

}  // namespace

/* ---- the registry calls -------------------------------------------------- */

long plRegOpenKey(HKEY root, const char *path, int access, HKEY *key) {
  return openKey(root, path, access, false, key);
}

long plRegCreateKey(HKEY root, const char *path, HKEY *key) {
  return openKey(root, path, PL_KEY_ALL_ACCESS, true, key);
}

long plRegQueryValue(HKEY key, const char *name, uint32_t *type, void *data, uint32_t *size) {
  if (data && !size) return PL_ERROR_INVALID_PARAMETER;
  sqlite3 *db;
  int64_t id = 0;
  long error = openForKey(key, false, &db, &id);
  if (error) return error;
  sqlite3_stmt *row = nullptr;
  error = prepare(db, "SELECT type, data FROM vals WHERE key = ?1 AND fold = lower(?2)", &row);
  if (!error) {
    sqlite3_bind_int64(row, 1, id);
    sqlite3_bind_text(row, 2, name ? name : "", -1, SQLITE_STATIC);
    int rc = sqlite3_step(row);
    if (rc == SQLITE_ROW) error = deliverValue(row, 0, type, data, size);
    else error = rc == SQLITE_DONE ? (long)PL_ERROR_FILE_NOT_FOUND : errorFromSqlite(db, rc);
  }
  sqlite3_finalize(row);
  /* A read changes nothing: end it cleanly whatever it found. */
  long closed = storeClose(db, PL_ERROR_SUCCESS);
  return error ? error : closed;
}

long plRegSetValue(HKEY key, const char *name, uint32_t type, const void *data, uint32_t size) {
  if (!data && size) return PL_ERROR_INVALID_PARAMETER;
  long error = checkValueName(name);
  if (error) return error;
  sqlite3 *db;
  int64_t id = 0;
  error = openForKey(key, true, &db, &id);
  if (error) return error;
  sqlite3_stmt *st = nullptr;
  error = prepare(db,
                  "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, lower(?2), ?3, ?4)"
                  " ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data",
                  &st);
  if (!error) {
    sqlite3_bind_int64(st, 1, id);
    sqlite3_bind_text(st, 2, name ? name : "", -1, SQLITE_STATIC);
    sqlite3_bind_int64(st, 3, type);
    /* A non-null pointer even for no bytes: an empty blob, not NULL. */
    sqlite3_bind_blob(st, 4, size ? data : "", (int)size, SQLITE_STATIC);
    int rc = sqlite3_step(st);
    error = rc == SQLITE_DONE ? (long)PL_ERROR_SUCCESS : errorFromSqlite(db, rc);
  }
  sqlite3_finalize(st);
  return storeClose(db, error);
}

long plRegDeleteValue(HKEY key, const char *name) {
  sqlite3 *db;
  int64_t id = 0;
  long error = openForKey(key, false, &db, &id); /* nothing to delete in no store */
  if (error) return error;
  storeClose(db, PL_ERROR_SUCCESS);
  error = openForKey(key, true, &db, &id);
  if (error) return error;
  int changes = 0;
  error = runOnKey(db, "DELETE FROM vals WHERE key = ?1 AND fold = lower(?2)", id, name ? name : "", &changes);
  if (!error && changes == 0) error = PL_ERROR_FILE_NOT_FOUND;
  return storeClose(db, error);
}

long plRegDeleteTree(HKEY root, const char *path) {
  if (!path || !*path) return PL_ERROR_INVALID_PARAMETER;
  long error = checkPath(path);
  if (error) return error;
  HKEY key = nullptr;
  error = plRegOpenKey(root, path, PL_KEY_ALL_ACCESS, &key); /* a read: no store made */
  if (error) return error;
  plRegCloseKey(key);
  sqlite3 *db;
  int64_t id = 0;
  error = openForKey(root, true, &db, &id);
  if (!error) {
    error = walkPath(db, id, path, false, &id);
    if (!error)
      error = runOnKey(db,
                       "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION ALL"
                       "  SELECT keys.id FROM keys JOIN sub ON keys.parent = sub.id)"
                       " DELETE FROM vals WHERE key IN sub",
                       id, nullptr, nullptr);
    if (!error)
      error = runOnKey(db,
                       "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION ALL"
                       "  SELECT keys.id FROM keys JOIN sub ON keys.parent = sub.id)"
                       " DELETE FROM keys WHERE id IN sub",
                       id, nullptr, nullptr);
    error = storeClose(db, error);
  }
  return error;
}

namespace {

/* The index-th row, in name order, of a listing query whose first column is
   a name and whose parameters are the key's id and the offset: copies the
   name into name (room nameRoom) and, when value is set, the row's type and
   data as plRegQueryValue delivers them. PL_ERROR_NO_MORE_ITEMS past the
   last row. */
long enumRow(HKEY key, const char *query, uint32_t index, char *name, uint32_t nameRoom, bool value, uint32_t *type,
             void *data, uint32_t *size) {
  sqlite3 *db;
  int64_t id = 0;
  long error = openForKey(key, false, &db, &id);
  if (error == PL_ERROR_FILE_NOT_FOUND && !db) return PL_ERROR_NO_MORE_ITEMS;
  if (error) return error;
  sqlite3_stmt *row = nullptr;
  error = prepare(db, query, &row);
  if (!error) {
    sqlite3_bind_int64(row, 1, id);
    sqlite3_bind_int64(row, 2, index);
    int rc = sqlite3_step(row);
    if (rc == SQLITE_ROW) {
      uint32_t length = (uint32_t)sqlite3_column_bytes(row, 0);
      if (length >= nameRoom) {
        error = PL_ERROR_MORE_DATA;
      } else {
        memcpy(name, sqlite3_column_text(row, 0), length);
        name[length] = 0;
        if (value) error = deliverValue(row, 1, type, data, size);
      }
    } else {
      error = rc == SQLITE_DONE ? (long)PL_ERROR_NO_MORE_ITEMS : errorFromSqlite(db, rc);
    }
  }
  sqlite3_finalize(row);
  long closed = storeClose(db, PL_ERROR_SUCCESS);
  return error ? error : closed;
}

}  // namespace

long plRegEnumValue(HKEY key, uint32_t index, char *name, uint32_t nameRoom, uint32_t *type, void *data,
                    uint32_t *size) {
  if (!name || (data && !size)) return PL_ERROR_INVALID_PARAMETER;
  return enumRow(key, "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY fold LIMIT 1 OFFSET ?2", index, name,
                 nameRoom, true, type, data, size);
}

long plRegEnumKey(HKEY key, uint32_t index, char *name, uint32_t nameRoom) {
  if (!name) return PL_ERROR_INVALID_PARAMETER;
  return enumRow(key, "SELECT name FROM keys WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2", index, name, nameRoom,
                 false, nullptr, nullptr, nullptr);
}

long plRegCloseKey(HKEY key) {
  if (key == PL_HKEY_CURRENT_USER || key == PL_HKEY_LOCAL_MACHINE) return PL_ERROR_SUCCESS;
  TsRegKey *record = keyRecord(key);
  if (!record) return PL_ERROR_INVALID_HANDLE;
  record->magic = 0;
  free(record);
  return PL_ERROR_SUCCESS;
}
