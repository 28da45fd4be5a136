# Import libraries that load their DLL at the first call into it rather than
# at the program's start. Each system DLL costs a start under Wine, and some
# bring a train of others (the directory's brings the security packages);
# the libraries that only later features use are linked through these.
# MinGW's linker has no delay-load switch: dlltool makes such a library from
# a list of the DLL's exports, read here from the toolchain's own import
# library. Made once, at configure time.

# qb_delay_load(OUT_VAR name...): OUT_VAR lists the delay-load libraries of
# the named DLLs (shell32, wldap32 ...), to link in place of the plain ones.
function(qb_delay_load out_var)
    if(NOT CMAKE_NM OR NOT CMAKE_DLLTOOL)
        message(FATAL_ERROR "delay-load libraries need nm and dlltool of the MinGW toolchain")
    endif()
    set(folder ${CMAKE_BINARY_DIR}/delayload)
    file(MAKE_DIRECTORY ${folder})
    set(libraries)
    foreach(name IN LISTS ARGN)
        set(output ${folder}/lib${name}-delay.a)
        if(NOT EXISTS ${output})
            find_library(QB_IMPORT_LIB_${name} NAMES lib${name}.a REQUIRED)
            execute_process(COMMAND ${CMAKE_NM} -g ${QB_IMPORT_LIB_${name}}
                            OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
            # 32-bit names carry a leading underscore (and stdcall's @n,
            # which dlltool's --kill-at drops from the imported name).
            if(CMAKE_SIZEOF_VOID_P EQUAL 4)
                set(prefix "_")
                set(kill_at --kill-at)
            else()
                set(prefix "")
                set(kill_at)
            endif()
            string(REGEX MATCHALL " I __imp_${prefix}[^\n]+" imports "${symbols}")
            set(definition "LIBRARY ${name}.dll\nEXPORTS\n")
            foreach(import IN LISTS imports)
                string(REGEX REPLACE "^ I __imp_${prefix}" "" export "${import}")
                # An export with no code stub of its own is data.
                string(FIND "${symbols}" " T ${prefix}${export}\n" code)
                if(code EQUAL -1)
                    string(APPEND definition "${export} DATA\n")
                else()
                    string(APPEND definition "${export}\n")
                endif()
            endforeach()
            file(WRITE ${folder}/${name}.def "${definition}")
            execute_process(COMMAND ${CMAKE_DLLTOOL} ${kill_at} --input-def ${folder}/${name}.def
                                    --dllname ${name}.dll --output-delaylib ${output}
                            COMMAND_ERROR_IS_FATAL ANY)
        endif()
        list(APPEND libraries ${output})
    endforeach()
    set(${out_var} ${libraries} PARENT_SCOPE)
endfunction()
