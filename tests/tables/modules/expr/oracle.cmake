# The expression evaluator checked against an independent one in Python (the system's python3,
# which python3-dbfread belongs to): the oracle's own cases, then the comparison over a generated
# table through the evaluator's driver program, registered only when that program is built. The
# check waits for the end of the configuration, so the driver may be defined in any folder.
add_test(NAME ExprOracle.OwnCases
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/expr_oracle_test.py)

function(kv6_expr_oracle_comparison oracle_dir)
  if(TARGET expr_driver)
    add_test(NAME ExprOracle.FiveHundredRecords
             COMMAND /usr/bin/python3 ${oracle_dir}/expr_oracle.py $<TARGET_FILE:expr_driver>)
  endif()
endfunction()
cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY \"${PROJECT_SOURCE_DIR}\"
  CALL kv6_expr_oracle_comparison \"${CMAKE_CURRENT_LIST_DIR}\")")
