# The Windows build's tests: the pure layers (vault, envelope, CSV, password tools, the device protocol
# against the firmware model), run under Wine by scripts/test-windows. The device tests over a serial port
# need the simulator, a Linux program: scripts/test-windows runs them through corvane-cli.exe and the main
# window's test program (below) on a COM port mapped to the simulator's pseudo-terminal. The rating's own
# test expects the C port of zxcvbn's exact findings, which the reduced rating of the Windows build does not
# give: test_platform_seams holds every rating to what it must recognise instead.
set(CORVANE_WINDOWS_UNIT_TESTS
    test_configuration test_csv_import test_memory_image test_memory_image_encryption
    test_password_generator test_password_record test_password_strength
    test_simulator_model test_platform_seams)
foreach(test_name ${CORVANE_WINDOWS_UNIT_TESTS})
    set(target unit_${test_name})
    add_executable(${target} ${CMAKE_CURRENT_SOURCE_DIR}/unit/${test_name}.cpp)
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/unit)
    target_link_libraries(${target} PRIVATE corvane_core corvane_simulator_model Qt6::Test)
    target_compile_definitions(${target} PRIVATE CORVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        CORVANE_BINARY_DIR="${CMAKE_BINARY_DIR}")
    add_test(NAME ${target} COMMAND ${target})
endforeach()

# Every device command through the Win32 serial link, against the simulator on COM5: run by
# scripts/windows-device-test once it serves the port (skips elsewhere).
add_executable(wine_test_com_port_device ${CMAKE_CURRENT_SOURCE_DIR}/windows/test_com_port_device.cpp)
target_link_libraries(wine_test_com_port_device PRIVATE corvane_core Qt6::Test)

# Tests that open windows, run by scripts/windows-build-and-test on a virtual X display: the help viewer's
# input, its reader alone and the staged Help_Viewer.exe started as the application starts it.
if(TARGET corvane_helpviewer_lib)
    add_executable(display_test_help_viewer_input
        ${CMAKE_SOURCE_DIR}/helpviewer/tests/test_help_viewer_input_windows.cpp)
    target_link_libraries(display_test_help_viewer_input PRIVATE corvane_helpviewer_lib Qt6::Test)
    add_dependencies(display_test_help_viewer_input Help_Viewer)
    add_test(NAME display_test_help_viewer_input COMMAND display_test_help_viewer_input)
endif()

# The main window against the simulator on COM5, under Wine on a virtual X display
# (scripts/windows-window-test): the application's window and pages, driven through their widgets with the
# helpers of the GUI and device workflow tests. Not a ctest test: the script serves the device it needs.
if(TARGET corvane_widgets)
    add_executable(windows_test_main_window_on_com_port
        ${CMAKE_CURRENT_SOURCE_DIR}/windows/test_main_window_on_com_port.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/gui/support/EditorTestSupport.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/e2e/support/DeviceWorkflowSupport.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/support/SimulatorProcess.cpp)
    target_include_directories(windows_test_main_window_on_com_port PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(windows_test_main_window_on_com_port PRIVATE corvane_widgets Qt6::Test)
endif()
