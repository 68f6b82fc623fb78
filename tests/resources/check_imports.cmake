# Fails unless every DLL that the exe imports is one that Windows itself ships:
# the C and C++ runtimes and winpthread must be linked in.
cmake_policy(SET CMP0057 NEW)
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump could not read ${EXE}")
endif()

set(windows_dlls
  advapi32.dll comctl32.dll comdlg32.dll dinput8.dll gdi32.dll kernel32.dll msvcrt.dll
  ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll version.dll)

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "${EXE} imports no DLL at all: objdump output not understood")
endif()
foreach(line IN LISTS lines)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  message(STATUS "imports ${dll}")
  if(NOT dll IN_LIST windows_dlls)
    message(SEND_ERROR "${EXE} imports ${dll}, which Windows does not ship")
  endif()
endforeach()
