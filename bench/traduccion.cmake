# The translation of the lookups' and the export's statements, cold and from the cache.
add_executable(bench_traduccion ${CMAKE_CURRENT_LIST_DIR}/bench_traduccion.cpp)
target_link_libraries(bench_traduccion PRIVATE vf_ado vf_demo SQLite::SQLite3)
