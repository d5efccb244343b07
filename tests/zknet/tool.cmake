# tool.cmake -- the zknet command-line tool's tests: one script that runs the built tool as a user
# would against the ftp, telnet, nic and mail fixtures' servers (under Wine a handful of commands
# through zknet.exe; natively every action and every failure), and its manual page.
if(CMAKE_CROSSCOMPILING_EMULATOR)
  set(ZK_TOOL_MODE windows)
else()
  set(ZK_TOOL_MODE full)
endif()
add_test(NAME zknet-tool
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/zknet/zknet-test.sh ${ZK_TOOL_MODE} ${CMAKE_BINARY_DIR}/zknet-tool
                 ${CMAKE_BINARY_DIR}/ftp-peers/home ${CMAKE_SOURCE_DIR} ${CMAKE_CROSSCOMPILING_EMULATOR}
                 $<TARGET_FILE:zknet_tool>)
set_tests_properties(zknet-tool PROPERTIES LABELS zknet SKIP_RETURN_CODE 77 TIMEOUT 300 RESOURCE_LOCK ftp-active-ports
                                           FIXTURES_REQUIRED "ftp-peers;telnet-peers;nic-peers;mail-peers"
                                           ENVIRONMENT "ZK_MAIL_WORK=${CMAKE_BINARY_DIR}/mail-peers")

# The manual page against the help texts of the built tool (run natively, where groff is).
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  add_test(NAME man-page COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/zknet/check-man.sh ${CMAKE_SOURCE_DIR}/tools/zknet/zknet.1
                                 $<TARGET_FILE:zknet_tool>)
  set_tests_properties(man-page PROPERTIES LABELS zknet SKIP_RETURN_CODE 77)
endif()

# The progress line's text, a pure function of the tool's, on its own.
add_executable(zk_test_zknet ${CMAKE_CURRENT_SOURCE_DIR}/zknet/progress_line_test.cpp
                             ${CMAKE_SOURCE_DIR}/tools/zknet/progress_line.cpp)
target_include_directories(zk_test_zknet PRIVATE ${CMAKE_SOURCE_DIR}/tools/zknet)
target_link_libraries(zk_test_zknet PRIVATE GTest::gtest_main)
add_test(NAME zknet-progress-line COMMAND zk_test_zknet --gtest_color=no)
set_tests_properties(zknet-progress-line PROPERTIES LABELS zknet)
