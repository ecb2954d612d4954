# Compiler and linker settings shared by every target of the project.

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

# Warnings are errors on project code (not on third-party code such as GoogleTest).
function(zy_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Runtime libraries linked in, so that a binary needs nothing but system DLLs.
function(zy_static_runtime target)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()

# One of the project's own libraries or programs.
function(zy_project_target target)
    zy_strict(${target})
    zy_static_runtime(${target})
    target_compile_definitions(${target} PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
endfunction()

# A shared library with plain export names and an import library "lib<name>.dll.a", also
# known as Orvanta::<name> (the name an installed package gives it) and installed into the
# package's export set: the DLL with the viewer, the import library with the scene SDK.
function(zy_shared_library target)
    add_library(${target} SHARED ${ARGN})
    add_library(Orvanta::${target} ALIAS ${target})
    set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "lib")
    zy_project_target(${target})
    install(TARGETS ${target} EXPORT OrvantaTargets
            RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT viewer
            LIBRARY DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT viewer
            ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT sdk)
endfunction()
