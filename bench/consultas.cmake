add_executable(bench_consultas ${CMAKE_CURRENT_LIST_DIR}/bench_consultas.cpp)
target_link_libraries(bench_consultas PRIVATE vf_lookup vf_startup vf_demo)
