# The Windows build, cross-compiled on Debian with MinGW-w64 (scripts/test-windows): the core's system
# libraries, and the password rating without the C port of zxcvbn, which has no Windows build here.
target_compile_definitions(corvane_core PUBLIC UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
    _WIN32_WINNT=0x0A00 WINVER=0x0A00)
target_sources(corvane_core PRIVATE passwordtools/reduced-rating/zxcvbn.h
    passwordtools/reduced-rating/ReducedPasswordRating.cpp)
target_include_directories(corvane_core PRIVATE ${CMAKE_SOURCE_DIR}/passwordtools/reduced-rating)
# The system's random generator (common/SystemRandomWin32.cpp) replaces the Linux one of SystemRandom.cpp.
get_target_property(CORVANE_CORE_SOURCE_LIST corvane_core SOURCES)
if(CORVANE_CORE_SOURCE_LIST MATCHES "common/SystemRandom\\.cpp")
    set_source_files_properties(${CMAKE_SOURCE_DIR}/common/SystemRandom.cpp PROPERTIES HEADER_FILE_ONLY ON)
endif()
target_link_libraries(corvane_core PUBLIC Qt6::Core ${MBEDCRYPTO_LIBRARY} bcrypt setupapi advapi32 user32 wtsapi32)
# Qt SVG has no Windows build here: the pictures are drawn by the application's own subset renderer,
# behind headers of the same names.
include_directories(BEFORE ${CMAKE_SOURCE_DIR}/widgets/svg-subset)
