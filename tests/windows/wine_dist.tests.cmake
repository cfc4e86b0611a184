# The package as an installer meets it: built, unpacked, its files checked,
# and its panel.cfg fragment read by the previewer's layout reader (inside
# the Windows trace program) and flown briefly under Wine on the unpacked
# modules, placing every gauge of both.
if(TARGET dist AND TARGET morvane_trace)
  add_test(NAME dist_package_installs
    COMMAND ${MORVANE_WINE_NEEDS} ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DZIP=${MORVANE_DIST_ZIP} -DWINE=wine
            -DTRACE=$<TARGET_FILE:morvane_trace> -DHOST=$<TARGET_FILE:gaugehost_cli>
            -DINSTR=$<TARGET_FILE:Morvane_Instr> -DFLAPS=$<TARGET_FILE:Telvor_Flaps>
            -DOUT=${CMAKE_CURRENT_BINARY_DIR}/dist_check
            -P ${CMAKE_CURRENT_LIST_DIR}/check_dist.cmake)
  set_tests_properties(dist_package_installs PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300
    ENVIRONMENT "${wine_environment}" SKIP_RETURN_CODE 77)
endif()
