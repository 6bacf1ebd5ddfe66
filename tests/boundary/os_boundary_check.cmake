# cmake -DSOURCE_DIR=<repository> -P os_boundary_check.cmake
# Fails, naming each line, when code outside src/platform/ reaches the host.
include(${CMAKE_CURRENT_LIST_DIR}/OsBoundary.cmake)
os_boundary_breaches("${SOURCE_DIR}" breaches)
if(breaches)
  list(JOIN breaches "\n  " text)
  message(FATAL_ERROR "The host is reached outside src/platform/ (move it behind a platform call):\n  ${text}")
endif()
message(STATUS "No host call outside src/platform/")
