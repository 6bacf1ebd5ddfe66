# cmake -DREPORT=<build>/core_links.txt -P core_links_test.cmake
# Fails with the paths by which a logic library reaches Qt Gui or Widgets.
file(READ "${REPORT}" breaches)
if(NOT breaches STREQUAL "")
  message(FATAL_ERROR "Logic libraries must link Qt Core only; these reach further:\n${breaches}")
endif()
message(STATUS "The logic libraries link Qt Core only")
