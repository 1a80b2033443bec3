# The learner's guide and the README run their examples; every example program
# runs; the man page matches the program's options.
add_test(NAME docs.guide
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/doc_tests.py --bin $<TARGET_FILE:quenra>
                 ${QUENRA_SLOW_FLAGS} ${PROJECT_SOURCE_DIR}/docs/guide.md ${PROJECT_SOURCE_DIR}/README.md)
add_test(NAME docs.examples
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/examples/run_examples.py --bin $<TARGET_FILE:quenra>)
# The examples are read by learners: not one warning, front end or run.
add_test(NAME docs.examples_warn
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/examples/run_examples.py --warn
                 --bin $<TARGET_FILE:quenra>)
add_test(NAME docs.manpage
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/check_manpage.py --bin $<TARGET_FILE:quenra>)
add_test(NAME docs.runner_catches_mistakes
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/doc_tests_selftest.py --bin $<TARGET_FILE:quenra>)
set_tests_properties(docs.guide docs.examples docs.examples_warn docs.manpage docs.runner_catches_mistakes PROPERTIES TIMEOUT 600)

# The editor extension's own tests (grammar snapshots, the warning parser, the
# .vsix build) need node and the packages of editors/vscode (`npm ci` there, as
# tools/bootstrap.sh test does); without them the test is skipped.
find_program(QUENRA_NODE NAMES node nodejs)
set(QUENRA_VSCODE ${PROJECT_SOURCE_DIR}/editors/vscode)
if(QUENRA_NODE AND EXISTS ${QUENRA_VSCODE}/node_modules/vscode-textmate)
  add_test(NAME editor.vscode
           COMMAND ${QUENRA_NODE} --test test/grammar.test.js test/warnings.test.js test/cli.test.js test/package.test.js
           WORKING_DIRECTORY ${QUENRA_VSCODE})
  # The diagnostics tests read the output of the quenra built here.
  set_tests_properties(editor.vscode PROPERTIES ENVIRONMENT QUENRA_BIN=$<TARGET_FILE:quenra>)
else()
  add_test(NAME editor.vscode COMMAND ${CMAKE_COMMAND} -E echo "node or editors/vscode/node_modules missing: skipped")
  set_tests_properties(editor.vscode PROPERTIES SKIP_REGULAR_EXPRESSION "skipped")
endif()
set_tests_properties(editor.vscode PROPERTIES TIMEOUT 600)
