# The news page of each language is assembled from the items every system shares and the opening and
# closing of one system (resources/News). Both systems' pages are made, so that the tests built on one
# system check the other's too; the program compiles in its own system's under ":/News/News_<language>.html".
function(corvane_assemble_news own_system output_variable)
    set(news_source ${CMAKE_SOURCE_DIR}/resources/News)
    set(own_pages)
    foreach(system Linux Windows)
        foreach(language en fr)
            set(pieces ${news_source}/${system}/Opening_${language}.html ${news_source}/Items_${language}.html
                ${news_source}/${system}/Closing_${language}.html)
            set(content)
            foreach(piece ${pieces})
                file(READ ${piece} piece_content)
                string(APPEND content "${piece_content}")
            endforeach()
            set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${pieces})
            set(page ${CMAKE_BINARY_DIR}/news/${system}/News_${language}.html)
            # Written only when it changed, so that the resources are not compiled again for nothing.
            file(CONFIGURE OUTPUT ${page} CONTENT "${content}")
            if(system STREQUAL own_system)
                set_source_files_properties(${page} PROPERTIES QT_RESOURCE_ALIAS News/News_${language}.html)
                list(APPEND own_pages ${page})
            endif()
        endforeach()
    endforeach()
    set(${output_variable} ${own_pages} PARENT_SCOPE)
endfunction()
