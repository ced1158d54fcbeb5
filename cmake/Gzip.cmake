# cmake -DINPUT=FILE -DOUTPUT=FILE.gz -P Gzip.cmake
# Compressed as Debian wants its documentation: best compression, and no
# name or time stamp in the header, so the same input gives the same bytes.
get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND gzip -9 -n -c "${INPUT}"
  OUTPUT_FILE "${OUTPUT}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "gzip failed on ${INPUT}: ${status}")
endif()
