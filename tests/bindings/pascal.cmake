# pascal.cmake -- the Delphi / Free Pascal unit's tests: `pascal` compares bindings/pascal/zknet.pas
# with the headers (and compiles it with fpc); `pascal-run` compiles the example and a test program
# against the built libzknet.so and runs them against vsftpd, Postfix and dovecot.
if(NOT WIN32 AND NOT ZK_SANITIZE)
  add_test(NAME pascal COMMAND ${ZK_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/bindings/pascal/check-pascal.py
                               --root ${CMAKE_SOURCE_DIR})
  set_tests_properties(pascal PROPERTIES LABELS exports TIMEOUT 300)
  # A ThreadSanitizer library cannot be loaded by a program built without it.
  if(NOT ZK_TSAN AND TEST ftp-peers-start AND TEST mail-peers-start)
    add_test(NAME pascal-run COMMAND ${ZK_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/bindings/pascal/run-pascal.py
                                     ${CMAKE_SOURCE_DIR} $<TARGET_FILE:zknet> ${CMAKE_BINARY_DIR}/pascal-run)
    set_tests_properties(pascal-run PROPERTIES FIXTURES_REQUIRED "ftp-peers;mail-peers" LABELS bindings
                                               TIMEOUT 600)
  endif()
endif()
