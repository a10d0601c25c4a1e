# The T-SQL parser on a lookup's statement, retranslated on every keystroke.
add_executable(bench_analizador ${CMAKE_CURRENT_LIST_DIR}/bench_analizador.cpp)
target_link_libraries(bench_analizador PRIVATE vf_tsql)
