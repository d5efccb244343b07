# The adapter tests' peers: an ARP peer in a second namespace and the list of adapters, made by
# plain bash around the test program (never run through Wine), so both builds meet the same ones.
set(ZK_NIC_PEERS ${CMAKE_CURRENT_SOURCE_DIR}/nic/peers.sh)
set(ZK_NIC_WORK ${CMAKE_BINARY_DIR}/nic-peers)
add_test(NAME nic-peers-start COMMAND bash ${ZK_NIC_PEERS} start ${ZK_NIC_WORK})
add_test(NAME nic-peers-stop COMMAND bash ${ZK_NIC_PEERS} stop ${ZK_NIC_WORK})
set_tests_properties(nic-peers-start PROPERTIES FIXTURES_SETUP nic-peers LABELS nic)
set_tests_properties(nic-peers-stop PROPERTIES FIXTURES_CLEANUP nic-peers LABELS nic)
if(TEST nic)
  set_tests_properties(nic PROPERTIES FIXTURES_REQUIRED nic-peers)
endif()
