# dotnet.cmake -- the .NET binding's tests: its declarations against the headers and zknet.def (no
# network), and the binding compiled with Mono's mcs and run with mono against the library and the
# FTP and mail fixtures' servers. Included for the native build only, beside the VBA tests.
add_test(NAME dotnet COMMAND ${ZK_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/bindings/dotnet/check-dotnet.py
                             --root ${CMAKE_SOURCE_DIR})
set_tests_properties(dotnet PROPERTIES LABELS exports)
add_test(NAME dotnet-run COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/bindings/dotnet/run-dotnet.sh ${CMAKE_SOURCE_DIR}
                                 $<TARGET_FILE:zknet> ${CMAKE_BINARY_DIR}/dotnet-run)
set_tests_properties(dotnet-run PROPERTIES LABELS bindings TIMEOUT 400 FIXTURES_REQUIRED "ftp-peers;mail-peers")
