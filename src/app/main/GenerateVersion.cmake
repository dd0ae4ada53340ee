# Writes the version header of the about box: run at every build, so the repository state and
# the date are current, but the header (and what includes it) only changes when they do.
# Inputs: SOURCE_DIR, OUTPUT, TEMPLATE, PROJECT_VERSION.
find_package(Git QUIET)
set(build_number 0)
set(describe "unknown")
if(GIT_FOUND)
  execute_process(COMMAND "${GIT_EXECUTABLE}" rev-list --count HEAD WORKING_DIRECTORY "${SOURCE_DIR}"
                  OUTPUT_VARIABLE count OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc ERROR_QUIET)
  if(rc EQUAL 0 AND count)
    set(build_number "${count}")
  endif()
  execute_process(COMMAND "${GIT_EXECUTABLE}" describe --always --dirty WORKING_DIRECTORY "${SOURCE_DIR}"
                  OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc ERROR_QUIET)
  if(rc EQUAL 0 AND text)
    set(describe "${text}")
  endif()
endif()
string(REPLACE "." ", " version_commas "${PROJECT_VERSION}")
set(TAVREL_PRODUCT_NAME "Tavrel")
set(TAVREL_PRODUCT_VERSION "${version_commas}, ${build_number}")
set(TAVREL_PRIVATE_BUILD "${describe}")
string(TIMESTAMP TAVREL_BUILD_DATE "%Y-%m-%d")
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
