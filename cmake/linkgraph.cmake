# Writes the link graph of the product's own targets into the build folder
# (linkgraph.txt), for scripts/check-layers.py: one line per library or
# program, "name|folder|file|links|usage links" (a PRIVATE link of a static library is
# "!name" among the usage links). Tests and
# benchmarks are left out: they may reach any layer.
function(qlt_collect_targets dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    if(NOT sub MATCHES "/(tests|benchmarks|data)(/|$)")
      qlt_collect_targets(${sub} more)
      list(APPEND targets ${more})
    endif()
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(qlt_write_link_graph)
  qlt_collect_targets(${PROJECT_SOURCE_DIR} targets)
  set(lines "")
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|MODULE_LIBRARY|SHARED_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    get_target_property(dir ${target} SOURCE_DIR)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${dir})
    get_target_property(links ${target} LINK_LIBRARIES)
    get_target_property(public ${target} INTERFACE_LINK_LIBRARIES)
    foreach(var links public)
      if(NOT ${var})
        set(${var} "")
      endif()
      # "$<LINK_ONLY:x>" marks a PRIVATE link of a static library: written
      # "!x". Other expressions are kept inert, they name no library of ours.
      string(REGEX REPLACE "\\$<LINK_ONLY:([^>]*)>" "!\\1" ${var} "${${var}}")
      string(REPLACE "$<" "{" ${var} "${${var}}")
      string(REPLACE ">" "}" ${var} "${${var}}")
      string(REPLACE ";" "," ${var} "${${var}}")
    endforeach()
    string(APPEND lines "${target}|${folder}|$<TARGET_FILE:${target}>|${links}|${public}\n")
  endforeach()
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/linkgraph.txt CONTENT "${lines}")
endfunction()
