# The version resource (VERSIONINFO) of every shipped program and DLL, made from the project's
# one version (project(VERSION)), which the CMake package and the installers carry as well.

set(ZY_PRODUCT_NAME "Orvanta")
set(ZY_VENDOR "Orvanta")

# zy_versija(<target> <description>): gives the program or DLL <target> a version resource
# with its file description, file name and the project's version.
function(zy_versija target description)
    get_target_property(type ${target} TYPE)
    get_target_property(prefix ${target} PREFIX)
    get_target_property(name ${target} OUTPUT_NAME)
    if(NOT name)
        set(name ${target})
    endif()
    if(prefix STREQUAL "prefix-NOTFOUND")
        set(prefix ${CMAKE_SHARED_LIBRARY_PREFIX})
    endif()
    if(type STREQUAL "EXECUTABLE")
        set(ZY_V_TYPE VFT_APP)
        set(ZY_V_FILE "${name}.exe")
    else()
        set(ZY_V_TYPE VFT_DLL)
        set(ZY_V_FILE "${prefix}${name}.dll")
    endif()
    set(ZY_V_NAME ${name})
    set(ZY_V_DESCRIPTION "${description}")
    set(ZY_V_PRODUCT "${ZY_PRODUCT_NAME}")
    set(ZY_V_VENDOR "${ZY_VENDOR}")
    set(rc ${PROJECT_BINARY_DIR}/versija/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/ZyVersija.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()

# Every shipped binary that this tree builds, with its description.
function(zy_versii)
    set(opisanija
        orvanta "Orvanta viewer"
        orvanta-model "Orvanta model viewer"
        ZyKGLOrvanta2 "Orvanta navigator engine"
        ZyKFajl64 "Orvanta large-file library"
        ZyStandart "Orvanta general functions and translation"
        ZyScenaModel "Orvanta model scene")
    while(opisanija)
        list(POP_FRONT opisanija target description)
        if(TARGET ${target})
            zy_versija(${target} "${description}")
        endif()
    endwhile()
endfunction()
