# Turns a plain-text license into the HTML fragment that the license and news page shows: the text, with the
# characters that HTML reserves escaped, inside a <pre> block so that its layout survives.
# Usage: cmake -DINPUT=<text file> -DOUTPUT=<HTML file> -P GenerateLgplHtml.cmake
if(NOT INPUT OR NOT OUTPUT)
    message(FATAL_ERROR "Usage: cmake -DINPUT=<text file> -DOUTPUT=<HTML file> -P GenerateLgplHtml.cmake")
endif()

file(READ "${INPUT}" license_text)
string(REPLACE "&" "&amp;" license_text "${license_text}")
string(REPLACE "<" "&lt;" license_text "${license_text}")
string(REPLACE ">" "&gt;" license_text "${license_text}")
file(WRITE "${OUTPUT}" "<h1>GNU Lesser General Public License, version 3</h1>\n<pre>${license_text}</pre>\n")
