# The GNU LGPL version 3 text of the license and news page (":/Licenses/LGPL_V3.html"), made at build time from
# the plain-text copy that every Debian system carries, rather than from a second copy kept in the project.
set(CORVANE_LGPL_TEXT "/usr/share/common-licenses/LGPL-3" CACHE FILEPATH "Plain-text GNU LGPL version 3")

function(corvane_add_lgpl_resource target)
    if(NOT EXISTS "${CORVANE_LGPL_TEXT}")
        # The page then shows its fallback sentence with the address of the text instead.
        message(WARNING "${CORVANE_LGPL_TEXT} not found: the LGPL text is left out of the resources.")
        return()
    endif()
    set(generated_directory ${CMAKE_BINARY_DIR}/generated)
    set(html_file ${generated_directory}/Licenses/LGPL_V3.html)
    set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/GenerateLgplHtml.cmake)
    add_custom_command(OUTPUT ${html_file}
        COMMAND ${CMAKE_COMMAND} -DINPUT=${CORVANE_LGPL_TEXT} -DOUTPUT=${html_file} -P ${script}
        DEPENDS ${CORVANE_LGPL_TEXT} ${script}
        COMMENT "Generating Licenses/LGPL_V3.html"
        VERBATIM)
    qt_add_resources(${target} corvane_lgpl_resource PREFIX "/" BASE ${generated_directory} FILES ${html_file})
endfunction()
