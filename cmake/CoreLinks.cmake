# The logic libraries link Qt Core only: a command-line front end or a second
# GUI reuses them without widgets. At configure time every library each one
# links (directly or through others of ours) is collected; the test
# core_links fails, naming the path, when one of them brings Qt Gui or Qt
# Widgets along. The registry lives in varnel_platform; the plug-in loader
# and the browser cleaners' file search are logic libraries of their own.

set(VARNEL_LOGIC_LIBRARIES varnel_formats varnel_platform varnel_core varnel_settings varnel_scan varnel_file_components varnel_plugins
    varnel_browser_search varnel_traces varnel_leftovers)

# Sets out_var to "a -> b -> Qt6::Gui" style paths from target to every
# Qt module it reaches.
function(varnel_qt_reach target path out_var)
  set(found "")
  get_target_property(links ${target} LINK_LIBRARIES)
  if(NOT links)
    set(links "")
  endif()
  foreach(link IN LISTS links)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
    if(link MATCHES "^Qt6::")
      list(APPEND found "${path} -> ${link}")
    elseif(link MATCHES "^varnel_" AND TARGET ${link})
      varnel_qt_reach(${link} "${path} -> ${link}" deeper)
      list(APPEND found ${deeper})
    endif()
  endforeach()
  set(${out_var} "${found}" PARENT_SCOPE)
endfunction()

function(varnel_check_core_links)
  set(breaches "")
  foreach(target IN LISTS VARNEL_LOGIC_LIBRARIES)
    varnel_qt_reach(${target} ${target} reach)
    foreach(path IN LISTS reach)
      if(NOT path MATCHES "Qt6::Core$")
        list(APPEND breaches "${path}")
      endif()
    endforeach()
  endforeach()
  # The walk itself must see a window library's widgets, or it proves nothing.
  varnel_qt_reach(varnel_widgets varnel_widgets probe)
  if(NOT probe MATCHES "Qt6::Widgets")
    list(APPEND breaches "the check does not see varnel_widgets link Qt6::Widgets")
  endif()
  list(REMOVE_DUPLICATES breaches)
  list(JOIN breaches "\n" text)
  file(WRITE ${CMAKE_BINARY_DIR}/core_links.txt "${text}")
  add_test(NAME core_links COMMAND ${CMAKE_COMMAND} -DREPORT=${CMAKE_BINARY_DIR}/core_links.txt
           -P ${CMAKE_SOURCE_DIR}/cmake/core_links_test.cmake)

  # And the real thing: each logic library, every object of it, linked into
  # a program of its own with Qt Core; it must link, and run without Qt Gui
  # or Qt Widgets in the process.
  foreach(target IN LISTS VARNEL_LOGIC_LIBRARIES)
    set(alone core_alone_${target})
    add_executable(${alone} ${CMAKE_SOURCE_DIR}/cmake/core_alone.cpp)
    set_target_properties(${alone} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/core_alone AUTOMOC OFF)
    target_link_libraries(${alone} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>" Qt6::Core)
    add_test(NAME ${alone} COMMAND ${alone})
  endforeach()
endfunction()
