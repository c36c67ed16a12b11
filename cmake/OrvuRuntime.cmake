# Compiler runtime for every module.
#
# The i686 MinGW target unwinds exceptions with DWARF-2 tables. An exception
# thrown in the program and caught in the engine (or the other way round) only
# crosses the module boundary when all modules share one libgcc, so libgcc is
# linked as a DLL while libstdc++ stays static. The two runtime DLLs that this
# needs are copied beside the program so the output folder runs on its own.
if(MINGW)
    add_compile_options(-Wall -Wextra)
    add_link_options(-static-libstdc++ -shared-libgcc)
    # Sections at page-aligned file offsets: Wine can then map a module from
    # its file, so only the pages a program touches take memory (and Windows
    # pages them in the same way). With GNU ld's default of 512 bytes Wine
    # copies every section, resources and debug data included, into private
    # memory at load time.
    add_link_options(-Wl,--file-alignment,4096)

    foreach(runtime_dll libgcc_s_dw2-1.dll libwinpthread-1.dll)
        execute_process(
            COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime_dll}
            OUTPUT_VARIABLE runtime_path
            OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT EXISTS "${runtime_path}")
            message(FATAL_ERROR "MinGW runtime ${runtime_dll} not found (${runtime_path})")
        endif()
        file(COPY ${runtime_path} DESTINATION ${ORVU_OUTPUT_DIR})
    endforeach()
elseif(MSVC)
    add_compile_options(/W4 /EHsc)
endif()
