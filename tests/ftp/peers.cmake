# peers.cmake -- the FTP server the ftp tests use: vsftpd on loopback port 2121 (IPv4 and IPv6),
# user zkftp, home ${CMAKE_BINARY_DIR}/ftp-peers/home. Started and stopped by plain bash, so both
# builds meet the same server.
if(TEST ftp)
  set(ZK_FTP_WORK ${CMAKE_BINARY_DIR}/ftp-peers)
  add_test(NAME ftp-peers-start COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/ftp/start.sh ${ZK_FTP_WORK})
  add_test(NAME ftp-peers-stop COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/ftp/stop.sh ${ZK_FTP_WORK})
  set_tests_properties(ftp-peers-start PROPERTIES FIXTURES_SETUP ftp-peers LABELS ftp TIMEOUT 30)
  set_tests_properties(ftp-peers-stop PROPERTIES FIXTURES_CLEANUP ftp-peers LABELS ftp TIMEOUT 30)
  # Every wait of the client is bounded, but a fault must not hang CI.
  # The FTP tests and the tool's test both listen on the active range (40000-40099), and one
  # test takes all of it but one port: they never run at the same time.
  set_tests_properties(ftp PROPERTIES FIXTURES_REQUIRED ftp-peers TIMEOUT 400 RESOURCE_LOCK ftp-active-ports)
endif()
