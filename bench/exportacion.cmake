add_executable(bench_exportacion_c ${CMAKE_CURRENT_LIST_DIR}/exportacion_c.c)
target_link_libraries(bench_exportacion_c PRIVATE SQLite::SQLite3)
set_target_properties(bench_exportacion_c PROPERTIES C_STANDARD 99)
target_compile_options(bench_exportacion_c PRIVATE -O2)

add_executable(bench_exportacion ${CMAKE_CURRENT_LIST_DIR}/bench_exportacion.cpp)
target_link_libraries(bench_exportacion PRIVATE Qt6::Core)
add_dependencies(bench_exportacion verificador bench_exportacion_c generar_demo)
target_compile_definitions(bench_exportacion PRIVATE VERIFICADOR_EXE="$<TARGET_FILE:verificador>"
                                                     EXPORTACION_C="$<TARGET_FILE:bench_exportacion_c>"
                                                     GENERAR_DEMO="$<TARGET_FILE:generar_demo>")
