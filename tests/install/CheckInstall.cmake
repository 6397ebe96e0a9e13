cmake_minimum_required(VERSION 3.25)
# cmake -DBUILD_DIR=<build tree> -DPREFIX=<scratch prefix> -DSOURCE_DIR=<source tree> -DEXPECTED=<files> -P this
# Installs the build tree into an empty prefix and checks that every expected file is there; the dictionaries and
# the README must arrive unchanged, and the desktop entry must start the program with its icon.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(missing)
foreach(file IN LISTS EXPECTED)
  if(NOT EXISTS ${PREFIX}/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not installed: ${missing}")
endif()

function(expect_same installed source)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${PREFIX}/${installed} ${source} RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${installed} differs from ${source}")
  endif()
endfunction()
foreach(language en de)
  expect_same(share/sewella/${language}/sewella.itl ${SOURCE_DIR}/data/sewella.${language}.itl)
endforeach()
expect_same(share/doc/sewella/README.md ${SOURCE_DIR}/README.md)

file(STRINGS ${PREFIX}/share/applications/io.github.sewella.Sewella.desktop entry)
foreach(line "Exec=sewella" "Icon=io.github.sewella.Sewella" "Type=Application")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
