# The Windows packages (scripts/package): the installed tree as a portable ZIP and as an NSIS
# installer, "Orvanta-<version>-win64" or "-win32". Two components: the viewer (programs,
# DLLs, the model scene and its sample model), always installed, and the scene SDK (headers,
# import libraries, the CMake package, samples, docs), which the installer offers.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(zy_sistema win64)
    set(CPACK_ORVANTA_NSIS_TARGET amd64-unicode)
    # Uninstall entry and per-user folder: the 32-bit and 64-bit products can live side by side.
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Orvanta")
else()
    set(zy_sistema win32)
    set(CPACK_ORVANTA_NSIS_TARGET x86-unicode)
    set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Orvanta (32-bit)")
endif()

set(CPACK_PACKAGE_NAME "${ZY_PRODUCT_NAME}")
set(CPACK_PACKAGE_VENDOR "${ZY_VENDOR}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VERSION_MAJOR "${PROJECT_VERSION_MAJOR}")
set(CPACK_PACKAGE_VERSION_MINOR "${PROJECT_VERSION_MINOR}")
set(CPACK_PACKAGE_VERSION_PATCH "${PROJECT_VERSION_PATCH}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Orvanta, an interactive three-dimensional navigator")
set(CPACK_PACKAGE_FILE_NAME "${ZY_PRODUCT_NAME}-${PROJECT_VERSION}-${zy_sistema}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "${ZY_PRODUCT_NAME}")
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_STRIP_FILES OFF)

# One ZIP with every component: unpacked anywhere, bin/orvanta.exe runs as it is.
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_COMPONENTS_ALL viewer sdk)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

# The installer script is the project's own (cmake/paket/NSIS.template.in); these values
# reach it through CPack.
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/paket ${CMAKE_MODULE_PATH})
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/host/orvanta.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/host/orvanta.ico)
set(CPACK_NSIS_DISPLAY_NAME "${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}")
set(CPACK_NSIS_PACKAGE_NAME "${ZY_PRODUCT_NAME} ${PROJECT_VERSION}")
set(CPACK_ORVANTA_BINDIR "${CMAKE_INSTALL_BINDIR}")
set(CPACK_ORVANTA_VERSION4 "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
# "Open with Orvanta" for model files, when this tree builds the model viewer.
if(TARGET orvanta-model)
    set(CPACK_ORVANTA_MODEL_EXE "orvanta-model.exe")
else()
    set(CPACK_ORVANTA_MODEL_EXE "")
endif()
set(CPACK_ORVANTA_ASSOCIATE "")
set(CPACK_ORVANTA_UNASSOCIATE "")
foreach(typ .obj .gltf .glb)
    string(APPEND CPACK_ORVANTA_ASSOCIATE "    !insertmacro ZyAssociate ${typ}\n")
    string(APPEND CPACK_ORVANTA_UNASSOCIATE "    !insertmacro ZyUnassociate ${typ}\n")
endforeach()

include(CPack)

cpack_add_component(viewer DISPLAY_NAME "Orvanta viewer" REQUIRED
    DESCRIPTION "The viewer, its engine and libraries, the model scene and a sample model.")
cpack_add_component(sdk DISPLAY_NAME "Scene SDK"
    DESCRIPTION "Headers, import libraries, the CMake package, the sample scenes and their guide, for writing scenes of your own.")
