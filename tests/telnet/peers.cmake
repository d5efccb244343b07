# peers.cmake -- the Telnet host the telnet tests log in to: inetutils telnetd behind socat on
# loopback port 2323 (IPv4 and IPv6), one telnetd per connection running tests/telnet/zk-login.sh.
if(TEST telnet)
  set(ZK_TELNET_WORK ${CMAKE_BINARY_DIR}/telnet-peers)
  add_test(NAME telnet-peers-start COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/telnet/peer-start.sh ${ZK_TELNET_WORK})
  add_test(NAME telnet-peers-stop COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/telnet/peer-stop.sh ${ZK_TELNET_WORK})
  set_tests_properties(telnet-peers-start PROPERTIES FIXTURES_SETUP telnet-peers LABELS telnet TIMEOUT 30)
  set_tests_properties(telnet-peers-stop PROPERTIES FIXTURES_CLEANUP telnet-peers LABELS telnet TIMEOUT 30)
  # Every wait of the client is ended by a scripted peer or the host, but a fault must not hang CI.
  set_tests_properties(telnet PROPERTIES FIXTURES_REQUIRED telnet-peers TIMEOUT 300)
endif()
