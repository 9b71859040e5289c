/*
 * The table of error texts: each Windows error code the platform layer
 * reports and the sentence the system gives for it, searched by code. It
 * is plain data, so both platforms compile the same texts.
 */
#include "platform/error_text.h"

#include "platform/platform.h"

namespace {

struct ErrorText {
  uint32_t code;
  const char *text;
};

const ErrorText kErrorTexts[] = {
    {PL_ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {PL_ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {PL_ERROR_ACCESS_DENIED, "Access is denied."},
    {PL_ERROR_INVALID_HANDLE, "The handle is invalid."},
    {PL_ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {PL_ERROR_SHARING_VIOLATION, "The process cannot access the file because it is being used by another process."},
    {PL_ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {PL_ERROR_DISK_FULL, "There is not enough space on the disk."},
    {PL_ERROR_FILENAME_EXCED_RANGE, "The filename or extension is too long."},
    {PL_ERROR_BADDB, "The configuration registry database is corrupt."},
    {PL_ERROR_REGISTRY_IO_FAILED, "An I/O operation initiated by the registry failed unrecoverably."},
};

}  // namespace

const char *plErrorText(uint32_t code) {
  for (const ErrorText &e : kErrorTexts)
    if (e.code == code) return e.text;
  return nullptr;
}
