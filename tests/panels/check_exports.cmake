# Fails unless the shared library PLUGIN defines exactly one dynamic symbol,
# load_vesk_client_script. Run as: cmake -DNM=... -DPLUGIN=... -P this file.
execute_process(COMMAND ${NM} -D --defined-only ${PLUGIN}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot read the symbols of ${PLUGIN}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(names "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^.* " "" name "${line}")
  list(APPEND names "${name}")
endforeach()
if(NOT names STREQUAL "load_vesk_client_script")
  message(FATAL_ERROR "${PLUGIN} must export only load_vesk_client_script; it exports: ${names}")
endif()
message(STATUS "exports: ${names}")
