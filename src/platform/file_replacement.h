// A file rewritten as a whole that is never left half written: the new
// content is made in a copy beside it, which Commit flushes to disk and
// renames over the file in one step. Whenever the program or the machine
// stops, the file is the old one or the complete new one.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

class FileReplacement {
 public:
  // The copy is the file's name with this appended.
  static constexpr wchar_t CopySuffix[] = L".new";

  // Makes the copy: of the file, with its attributes, where it exists; else
  // a new file holding newFileBytes. A copy left by an earlier run is
  // replaced. A read-only file is not replaced (ERROR_ACCESS_DENIED). Where
  // another program holds the file, the copy and the rename are tried again
  // for about a second.
  FileReplacement(std::wstring path, std::string_view newFileBytes);
  // Removes the copy unless it took the file's place.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // ERROR_SUCCESS while the copy is ready to be written, else why not.
  DWORD Error() const { return error_; }
  const std::wstring& CopyPath() const { return copy_; }

  // Flushes the copy to disk and renames it over the file; ERROR_SUCCESS or
  // why not, the file then as it was.
  DWORD Commit();

 private:
  DWORD MakeCopy(std::string_view newFileBytes) const;

  std::wstring path_, copy_;
  DWORD error_;
  bool committed_ = false;
};

}  // namespace platform
