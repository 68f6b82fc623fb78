#include "platform/file_replacement.h"

#include <utility>

#include "platform/system_error.h"
#include "platform/unique_handle.h"

namespace platform {

namespace {

// Virus scanners, search indexers and sync clients open a file for a moment
// after it changes. A step that finds the file held is tried again, for
// about a second in all, before its failure counts.
constexpr int HeldFileAttempts = 20;
constexpr DWORD HeldFileRetryDelay = 50;  // milliseconds

template <typename Step>
DWORD RetryWhileHeld(Step step) {
  for (int attempt = 1;; ++attempt) {
    if (step()) return ERROR_SUCCESS;
    const DWORD error = LastFailure();
    const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
    if (!held || attempt == HeldFileAttempts) return error;
    Sleep(HeldFileRetryDelay);
  }
}

}  // namespace

FileReplacement::FileReplacement(std::wstring path, std::string_view newFileBytes)
    : path_(std::move(path)), copy_(path_ + CopySuffix), error_(MakeCopy(newFileBytes)) {}

FileReplacement::~FileReplacement() {
  if (!committed_) DeleteFileW(copy_.c_str());
}

DWORD FileReplacement::MakeCopy(std::string_view newFileBytes) const {
  // A copy that a crash left may carry the file's hidden or read-only
  // attribute, and Windows overwrites neither.
  SetFileAttributesW(copy_.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(copy_.c_str());
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
  return RetryWhileHeld([&] { return CopyFileW(path_.c_str(), copy_.c_str(), FALSE); });
}

DWORD FileReplacement::Commit() {
  if (error_ != ERROR_SUCCESS) return error_;
  // On the disk before it takes the file's place, so that after a power cut
  // the file is never one whose content the disk had not yet written.
  unique_file copy;
  error_ = RetryWhileHeld([&] {
    copy.reset(CreateFileW(copy_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    return bool(copy);
  });
  if (error_ != ERROR_SUCCESS) return error_;
  if (!FlushFileBuffers(copy.get())) return error_ = LastFailure();
  copy.reset();
  // One rename, on Windows and under Wine alike. ReplaceFileW is not: Wine's
  // moves the file aside before moving the copy in, and Windows' can leave
  // no file when it fails without a backup.
  error_ = RetryWhileHeld([&] {
    return MoveFileExW(copy_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  });
  committed_ = error_ == ERROR_SUCCESS;
  return error_;
}

}  // namespace platform
