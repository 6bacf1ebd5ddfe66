# The operating system is reached only from src/platform/. This module holds
# the rule; os_boundary_check.cmake applies it to the source tree and
# os_boundary_selftest.cmake proves that it catches each kind of breach.
#
# Tests, benchmarks, the build-time image generator and examples may use the
# host freely: they are not part of the program.

cmake_policy(VERSION 3.25)

set(OS_BOUNDARY_EXEMPT "^(src/platform|tests|bench|resources/imagegen|examples|build[^/]*)/")

# What counts as reaching the host directly: POSIX headers, Qt's file-system
# classes, std::filesystem, errno, and the process's environment variables
# (a run's environment is the installed platform::RunEnvironment; a front end
# that set a variable would change it behind every job's back).
set(OS_BOUNDARY_HEADER "#[ \t]*include[ \t]*<(sys/[^>]*|unistd\\.h|fcntl\\.h|dirent\\.h|errno\\.h|cerrno|filesystem)>")
set(OS_BOUNDARY_NAME "(^|[^A-Za-z0-9_])(QFile|QDir|QFileInfo|QDirIterator|QSaveFile|QTemporaryFile|QTemporaryDir|QStorageInfo|QLockFile|errno|qEnvironmentVariable[A-Za-z]*|q?(set|unset|get|put)env)([^A-Za-z0-9_]|$)")
set(OS_BOUNDARY_STD "std::filesystem")

# Sets out_var to a list of "path:line: text" for every breach below root.
function(os_boundary_breaches root out_var)
  file(GLOB_RECURSE files RELATIVE "${root}" LIST_DIRECTORIES false
       "${root}/*.cpp" "${root}/*.h" "${root}/*.hpp" "${root}/*.c" "${root}/*.cc")
  set(found "")
  foreach(rel IN LISTS files)
    if(rel MATCHES "${OS_BOUNDARY_EXEMPT}")
      continue()
    endif()
    # One list element per line; semicolons and brackets would split or
    # join elements and mean nothing to the rule.
    file(READ "${root}/${rel}" text)
    string(REGEX REPLACE "[][;\\]" " " text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(number 0)
    foreach(line IN LISTS lines)
      math(EXPR number "${number} + 1")
      # Comments may talk about the host; only code counts.
      string(REGEX REPLACE "//.*$" "" code "${line}")
      if(code MATCHES "${OS_BOUNDARY_HEADER}" OR code MATCHES "${OS_BOUNDARY_NAME}"
         OR code MATCHES "${OS_BOUNDARY_STD}")
        string(STRIP "${line}" shown)
        list(APPEND found "${rel}:${number}: ${shown}")
      endif()
    endforeach()
  endforeach()
  set(${out_var} "${found}" PARENT_SCOPE)
endfunction()
