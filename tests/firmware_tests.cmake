# The reference PIC firmware run in gpsim by its judge; included from
# firmware/ where gpasm, gpsim and gpsim's headers are found.
set(judge $<TARGET_FILE:voxcel-gpsim-judge>)
set(convert $<TARGET_FILE:voxcel-convert>)
set(judge_case sh ${CMAKE_CURRENT_LIST_DIR}/firmware/judge_case.sh ${judge} ${convert})

find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(judge_logic_test ${CMAKE_CURRENT_LIST_DIR}/firmware/judge_logic_test.cpp)
target_link_libraries(judge_logic_test PRIVATE voxcel_gpsim_judge Qt6::Test)
add_test(NAME firmware_judge_logic COMMAND judge_logic_test)

add_test(NAME firmware_fifo_self_check COMMAND ${judge} --self-check)
# Without the mend gpsim 0.31 reads A twice; the self-check must see it.
add_test(NAME firmware_fifo_fault_seen COMMAND ${judge} --self-check --no-mend)
set_tests_properties(firmware_fifo_fault_seen PROPERTIES PASS_REGULAR_EXPRESSION "read back as A then A")

add_test(NAME firmware_display_real_send COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/firmware/real_send.sh ${judge} ${convert})
set_tests_properties(firmware_display_real_send PROPERTIES RUN_SERIAL TRUE)

# name | voxcel-convert options | judge options
set(firmware_cases
  "firmware_eeprom_at_1000|--eeprom --address 1000|--xmit-delay 30"
  "firmware_eeprom_series|--series --eeprom --address 1000|--xmit-delay 30 --hold 40"
  "firmware_display_2400|--pic-delay 5|--baud 2400 --xmit-delay 0"
  "firmware_eeprom_1200|--eeprom --address 32700|--baud 1200 --xmit-delay 10"
  "firmware_eeprom_unpaced|--eeprom|--xmit-delay 0")
foreach(row ${firmware_cases})
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 convert_options)
  list(GET fields 2 judge_options)
  separate_arguments(judge_options UNIX_COMMAND "${judge_options}")
  add_test(NAME ${name} COMMAND ${judge_case} "${convert_options}" ${judge_options})
endforeach()
# The judge can fail: no pauses where the EEPROM needs them.
set_tests_properties(firmware_eeprom_unpaced PROPERTIES PASS_REGULAR_EXPRESSION "VERDICT: FAIL: .*overrun")
