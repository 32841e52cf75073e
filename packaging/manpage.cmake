# Turns a program's --help text into its manual page, so the two never disagree.
# cmake -DPROGRAM=... -DNAME=... -DSUMMARY=... -DSEEALSO=... -DVERSION=... -DOUT=... -P manpage.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR help STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} --help failed (${result})")
endif()
# roff: a backslash is \e, and a line may not start with a control character.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TOUPPER "${NAME}" upper)
file(WRITE ${OUT} ".TH ${upper} 1 \"\" \"vexa7xx-configurator ${VERSION}\" \"User Commands\"
.SH NAME
${NAME} \\- ${SUMMARY}
.SH DESCRIPTION
.nf
${help}.fi
.SH SEE ALSO
${SEEALSO}
")
