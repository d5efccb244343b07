# peers.cmake -- the TLS server the tls tests use: tests/tls/tls_peer.py on loopback ports
# 4430-4438 (IPv6 and IPv4), with certificates made by tests/tls/make-certs.sh into
# ${CMAKE_BINARY_DIR}/tls-peers/certs. Started and stopped by plain bash, so every build meets the
# same server.
if(TEST tls)
  set(ZK_TLS_WORK ${CMAKE_BINARY_DIR}/tls-peers)
  add_test(NAME tls-peers-start COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tls/start.sh ${ZK_TLS_WORK})
  add_test(NAME tls-peers-stop COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tls/stop.sh ${ZK_TLS_WORK})
  set_tests_properties(tls-peers-start PROPERTIES FIXTURES_SETUP tls-peers LABELS tls TIMEOUT 60)
  set_tests_properties(tls-peers-stop PROPERTIES FIXTURES_CLEANUP tls-peers LABELS tls TIMEOUT 30)
  # Every wait of the client is bounded, but a fault must not hang CI.
  set_tests_properties(tls PROPERTIES FIXTURES_REQUIRED tls-peers TIMEOUT 300)
endif()
