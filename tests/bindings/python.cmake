# python.cmake -- the Python binding: its ctypes declarations against the headers and the .def
# (python), and the package installed with pip into a throwaway venv, run with pytest against the
# library and the FTP and mail servers (python-run).
add_test(NAME python COMMAND ${ZK_PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/bindings/python/check-python.py
                             --root ${CMAKE_SOURCE_DIR})
set_tests_properties(python PROPERTIES LABELS exports)
if(TARGET zknet AND TEST ftp AND TEST mail)
  add_test(NAME python-run COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/bindings/python/run-python.sh
                                   ${CMAKE_SOURCE_DIR} $<TARGET_FILE:zknet>)
  set_tests_properties(python-run PROPERTIES LABELS "ftp;mail" TIMEOUT 300
                                             FIXTURES_REQUIRED "ftp-peers;mail-peers")
endif()
