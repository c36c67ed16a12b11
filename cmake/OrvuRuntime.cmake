# Compiler runtime for every module.
#
# The i686 MinGW target unwinds exceptions with DWARF-2 tables. An exception
# thrown in the program and caught in the engine (or the other way round) only
# crosses the module boundary when all modules share one libgcc, so libgcc is
# linked as a DLL while libstdc++ stays static. The runtime DLL this needs is
# copied beside the program so the output folder runs on its own.
#
# orvu_copy_runtime_dlls(<compiler> <folder> <dll>...) copies the named DLLs
# of that compiler's runtime into the folder, without their debugging
# information (four fifths of libgcc's size).
function(orvu_copy_runtime_dlls compiler folder)
    foreach(runtime_dll ${ARGN})
        execute_process(
            COMMAND ${compiler} -print-file-name=${runtime_dll}
            OUTPUT_VARIABLE runtime_path
            OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT EXISTS "${runtime_path}")
            message(FATAL_ERROR "MinGW runtime ${runtime_dll} not found (${runtime_path})")
        endif()
        file(COPY ${runtime_path} DESTINATION ${folder})
        if(CMAKE_STRIP)
            execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded ${folder}/${runtime_dll})
        endif()
    endforeach()
endfunction()

if(MINGW)
    add_compile_options(-Wall -Wextra)
    # Unused functions and data (most of the statically linked libstdc++) are
    # left out of every module.
    add_compile_options(-ffunction-sections -fdata-sections)
    add_link_options(-static-libstdc++ -shared-libgcc -Wl,--gc-sections)
    # Sections at page-aligned file offsets: Wine can then map a module from
    # its file, so only the pages a program touches take memory (and Windows
    # pages them in the same way). With GNU ld's default of 512 bytes Wine
    # copies every section, resources and debug data included, into private
    # memory at load time.
    add_link_options(-Wl,--file-alignment,4096)
    # The win32 thread model's libgcc needs no libwinpthread-1.dll.
    set(ORVU_RUNTIME_DLLS libgcc_s_dw2-1.dll)
    orvu_copy_runtime_dlls(${CMAKE_CXX_COMPILER} ${ORVU_OUTPUT_DIR} ${ORVU_RUNTIME_DLLS})
elseif(MSVC)
    add_compile_options(/W4 /EHsc)
endif()
