# peers.cmake -- the mail servers the mail tests use (tests/mail/start.sh): a python3-aiosmtpd
# sink on port 2526, Postfix on port 2525 delivering to WORK/mail/zkmail, dovecot's POP3 on port
# 2110 serving that Maildir and one the tests fill (WORK/pop/zkpop), and GNU mailutils pop3d on
# port 2111 serving another one the tests fill (WORK/pop/mu), WORK being
# ${CMAKE_BINARY_DIR}/mail-peers. For the secure connections (the tests trust WORK/certs/ca.pem):
# Postfix's submission on 2587 (STARTTLS) and 2465 (TLS), AUTH PLAIN/LOGIN as zkmail over TLS
# only; a second dovecot with POP3 over TLS on 2995 and STLS on 2112 (log WORK/dovecot-tls.log);
# and tests/mail/mail_tls_peer.py on 2560-2570 for what no real server does (WORK/tls-peer/). Started and stopped by plain bash, so every build meets the
# same servers. After the mail tests, mail-delivery decodes what Postfix delivered with Python's
# email package and compares it with what the tests sent (WORK/expected/*.json).
if(TEST mail)
  set(ZK_MAIL_WORK ${CMAKE_BINARY_DIR}/mail-peers)
  add_test(NAME mail-peers-start COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/mail/start.sh ${ZK_MAIL_WORK})
  add_test(NAME mail-peers-stop COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/mail/stop.sh ${ZK_MAIL_WORK})
  set_tests_properties(mail-peers-start PROPERTIES FIXTURES_SETUP mail-peers LABELS mail TIMEOUT 60)
  set_tests_properties(mail-peers-stop PROPERTIES FIXTURES_CLEANUP mail-peers LABELS mail TIMEOUT 30)
  # Every wait of the client is bounded, but a fault must not hang CI.
  set_tests_properties(mail PROPERTIES FIXTURES_REQUIRED mail-peers TIMEOUT 600)
  add_test(NAME mail-delivery COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/mail/check_delivery.py ${ZK_MAIL_WORK})
  set_tests_properties(mail-delivery PROPERTIES FIXTURES_REQUIRED mail-peers DEPENDS mail LABELS mail TIMEOUT 120
                                                 SKIP_RETURN_CODE 77)
endif()
