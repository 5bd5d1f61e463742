# Fails when an include climbs the layers: storage/ and the platform's seam stand on nothing
# above them, and export/ and cli/ know nothing of the viewer. Run with -DTOMO_SOURCE=<src>.
# Each rule: a layer, then the folders its files must not include.
set(TOMO_LAYER_RULES
  "storage:shell|views|commands|search|export|cli"
  "platform:shell|views|commands|search|export|cli"
  "export:shell|views|commands|search|cli"
  "cli:shell|views|commands|search")

set(climbing "")
foreach(rule IN LISTS TOMO_LAYER_RULES)
  string(FIND "${rule}" ":" colon)
  string(SUBSTRING "${rule}" 0 ${colon} layer)
  math(EXPR after "${colon} + 1")
  string(SUBSTRING "${rule}" ${after} -1 above_pattern)
  file(GLOB_RECURSE sources "${TOMO_SOURCE}/${layer}/*.h" "${TOMO_SOURCE}/${layer}/*.cpp")
  # The Win32 layer is the program's top: it knows everything.
  list(FILTER sources EXCLUDE REGEX "/platform/win32/")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"(${above_pattern})/")
    foreach(line IN LISTS includes)
      file(RELATIVE_PATH name "${TOMO_SOURCE}" "${source}")
      string(STRIP "${line}" line)
      string(APPEND climbing "\n  ${name}: ${line}")
    endforeach()
  endforeach()
endforeach()

if(climbing)
  message(FATAL_ERROR "Includes that climb the layers:${climbing}")
endif()
