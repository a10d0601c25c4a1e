add_executable(bench_exportacion_c ${CMAKE_CURRENT_LIST_DIR}/exportacion_c.c)
target_link_libraries(bench_exportacion_c PRIVATE SQLite::SQLite3)
set_target_properties(bench_exportacion_c PROPERTIES C_STANDARD 99)
target_compile_options(bench_exportacion_c PRIVATE -O2)

add_executable(bench_exportacion_odbc ${CMAKE_CURRENT_LIST_DIR}/exportacion_odbc.c)
target_link_libraries(bench_exportacion_odbc PRIVATE ODBC::ODBC)
set_target_properties(bench_exportacion_odbc PROPERTIES C_STANDARD 99)
target_compile_options(bench_exportacion_odbc PRIVATE -O2)

# The databases are kept here between runs, one folder per size.
add_executable(bench_exportacion ${CMAKE_CURRENT_LIST_DIR}/bench_exportacion.cpp)
target_link_libraries(bench_exportacion PRIVATE Qt6::Core)
add_dependencies(bench_exportacion verificador bench_exportacion_c bench_exportacion_odbc generar_demo)
target_compile_definitions(bench_exportacion PRIVATE VERIFICADOR_EXE="$<TARGET_FILE:verificador>"
                                                     EXPORTACION_C="$<TARGET_FILE:bench_exportacion_c>"
                                                     EXPORTACION_ODBC="$<TARGET_FILE:bench_exportacion_odbc>"
                                                     GENERAR_DEMO="$<TARGET_FILE:generar_demo>"
                                                     BASES="${CMAKE_CURRENT_BINARY_DIR}/bases")
