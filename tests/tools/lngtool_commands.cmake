# The translator's kit run as translators run it: what it writes checks
# clean, the shipped translations check clean, and a broken file fails.
set(lngtool $<TARGET_FILE:lngtool>)
add_test(NAME host.tools.lngtool.key COMMAND ${lngtool} key --dialog SETUPDLG OK)
set_tests_properties(host.tools.lngtool.key PROPERTIES PASS_REGULAR_EXPRESSION "^a8604cfa\n$")
foreach(command template pseudo)
  add_test(NAME host.tools.lngtool.${command}_checks_clean
           COMMAND sh -c "\"$0\" ${command} | \"$0\" check -" ${lngtool})
  # Not even a warning.
  set_tests_properties(host.tools.lngtool.${command}_checks_clean PROPERTIES FAIL_REGULAR_EXPRESSION ".")
endforeach()
add_test(NAME host.tools.lngtool.broken_file_fails
         COMMAND sh -c "printf '***messages***\\n0123ABCD=\"x\"\\n' | \"$0\" check -" ${lngtool})
set_tests_properties(host.tools.lngtool.broken_file_fails PROPERTIES WILL_FAIL TRUE)

file(GLOB translations CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/translations/*/uninstall.lng)
foreach(file ${translations})
  get_filename_component(dir ${file} DIRECTORY)
  get_filename_component(language ${dir} NAME)
  add_test(NAME host.tools.translation.${language} COMMAND ${lngtool} check ${file})
  set_tests_properties(host.tools.translation.${language} PROPERTIES FAIL_REGULAR_EXPRESSION ".")
endforeach()
