# The installed package as a scene author uses it (docs/scenes.md): installs the tree into a
# fresh prefix, configures the installed copy of samples/minimal on its own with the installed
# toolchain file and find_package(Orvanta), builds it, then runs the screen test with the
# installed viewer. Every step is bounded in time.
#   cmake -DBUILD=<tree> -DWORK=<folder> -DEKRAN=<test program> -DEMULATOR=<a|b|c>
#         -P ustanovka.cmake
foreach(v BUILD WORK EKRAN EMULATOR)
    if(NOT DEFINED ${v})
        message(FATAL_ERROR "ustanovka.cmake: ${v} is not set")
    endif()
endforeach()
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")

# One step: the command must end with 0 within `sekund` seconds.
function(shag imja sekund)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE vyvod ERROR_VARIABLE vyvod
                    TIMEOUT ${sekund})
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${imja} failed (${rc}):\n${vyvod}")
    endif()
    message(STATUS "${imja}: done")
endfunction()

file(REMOVE_RECURSE ${WORK}/prefix ${WORK}/build ${WORK}/run)
shag("install" 120 ${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK}/prefix)
set(paket ${WORK}/prefix/lib/cmake/Orvanta)
foreach(f lib/cmake/Orvanta/OrvantaConfig.cmake lib/cmake/Orvanta/mingw-w64-x86_64.cmake
          include/ZyKGLOrvanta2.h bin/orvanta.exe bin/ZyKGLOrvanta2.dll lib/libZyKGLOrvanta2.dll.a
          bin/ZyScenaModel.dll bin/orvanta-model.exe share/Orvanta/model/ZyDomik.glb
          share/Orvanta/samples/minimal/CMakeLists.txt)
    if(NOT EXISTS ${WORK}/prefix/${f})
        message(FATAL_ERROR "the installed tree lacks ${f}")
    endif()
endforeach()
shag("configure samples/minimal" 120 ${CMAKE_COMMAND}
     -S ${WORK}/prefix/share/Orvanta/samples/minimal -B ${WORK}/build -DCMAKE_BUILD_TYPE=Release
     -DCMAKE_TOOLCHAIN_FILE=${paket}/mingw-w64-x86_64.cmake -DCMAKE_PREFIX_PATH=${WORK}/prefix)
shag("build samples/minimal" 180 ${CMAKE_COMMAND} --build ${WORK}/build)
if(NOT EXISTS ${WORK}/build/ZyScenaMinimal.dll)
    message(FATAL_ERROR "ZyScenaMinimal.dll was not built")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env ZY_USTANOVKA=${WORK} ${EMULATOR} ${EKRAN}
                RESULT_VARIABLE rc OUTPUT_VARIABLE vyvod ERROR_VARIABLE vyvod TIMEOUT 150)
message("${vyvod}")
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "the installed viewer test failed (${rc})")
endif()
