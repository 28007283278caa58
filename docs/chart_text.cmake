# The game's strategy chart as poker-odds prints it, into the manual page or docs/strategy.md.
#   cmake -DPOKER_ODDS=... -DMODE=man -DTEMPLATE=poker-odds.6.in -DOUTPUT=poker-odds.6 -P chart_text.cmake
#   cmake -DPOKER_ODDS=... -DMODE=docs -DOUTPUT=docs/strategy.md -P chart_text.cmake
execute_process(COMMAND ${POKER_ODDS} --chart OUTPUT_VARIABLE chart RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "poker-odds --chart failed: ${status}")
endif()
if(MODE STREQUAL "man")
  # Kept as printed: no filling, and every minus sign and backslash escaped for roff.
  string(REPLACE "\\" "\\e" chart "${chart}")
  string(REPLACE "-" "\\-" chart "${chart}")
  string(REGEX REPLACE "\n$" "" chart "${chart}")
  set(POKER_CHART ".nf\n${chart}\n.fi")
  configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
elseif(MODE STREQUAL "docs")
  # An indented block between the markers, so that Markdown shows it as printed.
  string(REGEX REPLACE "\n$" "" chart "${chart}")
  string(REPLACE "\n" "\n    " chart "    ${chart}")
  string(REGEX REPLACE "\n    \n" "\n\n" chart "${chart}")
  file(READ ${OUTPUT} text)
  string(REGEX REPLACE "<!-- chart begin -->.*<!-- chart end -->"
    "<!-- chart begin -->\n\n${chart}\n\n<!-- chart end -->" text "${text}")
  file(WRITE ${OUTPUT} "${text}")
else()
  message(FATAL_ERROR "MODE is man or docs")
endif()
