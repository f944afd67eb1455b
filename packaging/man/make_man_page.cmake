# cmake -DPROGRAM=... -DTOOL=... -DTEMPLATE=... -DPAGE=... -DGZIP=... -P make_man_page.cmake
# Runs `PROGRAM --help`, fills TEMPLATE with it through TOOL (morvane-manpage) into PAGE and
# compresses it to PAGE.gz.
execute_process(COMMAND ${PROGRAM} --help
                COMMAND ${TOOL} ${TEMPLATE}
                OUTPUT_FILE ${PAGE}
                RESULTS_VARIABLE results)
foreach(result IN LISTS results)
  if(NOT result EQUAL 0)
    file(REMOVE ${PAGE})
    message(FATAL_ERROR "making ${PAGE} from ${PROGRAM} --help failed: ${results}")
  endif()
endforeach()
execute_process(COMMAND ${GZIP} -9nf ${PAGE} COMMAND_ERROR_IS_FATAL ANY)
