#include "platform/file_replacement.h"

#include <utility>

#include "platform/system_error.h"
#include "platform/unique_handle.h"

namespace platform {

FileReplacement::FileReplacement(std::wstring path, std::string_view newFileBytes)
    : path_(std::move(path)), copy_(path_ + CopySuffix), error_(MakeCopy(newFileBytes)) {}

FileReplacement::~FileReplacement() {
  if (!committed_) DeleteFileW(copy_.c_str());
}

DWORD FileReplacement::MakeCopy(std::string_view newFileBytes) const {
  const DWORD attributes = GetFileAttributesW(path_.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = LastFailure();
    if (error != ERROR_FILE_NOT_FOUND) return error;
    const unique_file file(
        CreateFileW(copy_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD size = static_cast<DWORD>(newFileBytes.size());
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), newFileBytes.data(), size, &written, nullptr)) return LastFailure();
    return written == size ? DWORD{ERROR_SUCCESS} : DWORD{ERROR_WRITE_FAULT};
  }
  // Whoever made it read-only wants it kept as it is: Windows would refuse
  // the writes, Wine as root would not.
  if (attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
  return CopyFileW(path_.c_str(), copy_.c_str(), FALSE) ? DWORD{ERROR_SUCCESS} : LastFailure();
}

DWORD FileReplacement::Commit() {
  if (error_ != ERROR_SUCCESS) return error_;
  {
    // On the disk before it takes the file's place, so that after a power
    // cut the file is never one whose content the disk had not yet written.
    const unique_file copy(CreateFileW(copy_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!copy || !FlushFileBuffers(copy.get())) return error_ = LastFailure();
  }
  // One rename, on Windows and under Wine alike. ReplaceFileW is not: Wine's
  // moves the file aside before moving the copy in, and Windows' can leave
  // no file when it fails without a backup.
  if (!MoveFileExW(copy_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return error_ = LastFailure();
  committed_ = true;
  return ERROR_SUCCESS;
}

}  // namespace platform
