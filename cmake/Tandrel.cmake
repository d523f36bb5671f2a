# Shared settings for every target of ours.

# Warnings apply to our own code only; third-party headers come in as system includes.
function(tandrel_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(TANDREL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# A library of ours: sources are given, the repository root is the include root so that
# includes read "core/model/FrameRate.h".
function(tandrel_add_library name)
    cmake_parse_arguments(L "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS} PRIVATE ${L_PRIVATE_LIBS})
    tandrel_target_defaults(${name})
endfunction()

# A GoogleTest executable whose tests ctest runs one by one. RUN_SERIAL keeps every other test
# from running meanwhile: for tests that listen on the session bus, which all tests share, and
# must hear no one else's notifications.
function(tandrel_add_tests name)
    cmake_parse_arguments(T "RUN_SERIAL" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
    tandrel_target_defaults(${name})
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "TEST_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/test-artifacts"
                   RUN_SERIAL ${T_RUN_SERIAL})
endfunction()

# A library of ours that uses Qt: as tandrel_add_library, with moc run over its headers.
function(tandrel_add_qt_library name)
    cmake_parse_arguments(L "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    tandrel_add_library(${name} SOURCES ${L_SOURCES}
        PUBLIC_LIBS ${L_PUBLIC_LIBS} PRIVATE_LIBS ${L_PRIVATE_LIBS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()

# A GoogleTest executable of Qt code: one QApplication (offscreen unless QT_QPA_PLATFORM says
# otherwise) lives for the whole run, so widgets, timers and queued calls work in every test.
# RUN_SERIAL as for tandrel_add_tests.
function(tandrel_add_qt_tests name)
    cmake_parse_arguments(T "RUN_SERIAL" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} tandrel_qt_test_main GTest::gmock)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    tandrel_target_defaults(${name})
    # One variable only: a list here would split into the properties that follow, and
    # RUN_SERIAL would be lost. The test main makes the platform offscreen by itself.
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "TEST_ARTIFACT_DIR=${CMAKE_BINARY_DIR}/test-artifacts"
                   RUN_SERIAL ${T_RUN_SERIAL})
endfunction()
