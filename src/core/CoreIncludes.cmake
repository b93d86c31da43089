# Every include between the core's folders must follow an arrow of the libraries: a file of folder X
# may include a header of folder Y only when X's library uses Y's library, directly or through
# another. All libraries share one include root, so a header would otherwise be found, and a wrong
# arrow would only show when a program fails to link, or not at all.
#
# A file belongs to the library of its top folder (text/ to vrelmont_text), except the host's COM
# engine under platform/ (HostEngine*), which is vrelmont_host_engine.

function(vrelmont_library_of_file file out)
    get_filename_component(name ${file} NAME)
    string(REGEX MATCH "^[^/]+" folder "${file}")
    if(name MATCHES "^HostEngine")
        set(${out} vrelmont_host_engine PARENT_SCOPE)
    else()
        set(${out} vrelmont_${folder} PARENT_SCOPE)
    endif()
endfunction()

# The libraries `library` may include from: itself and all it uses.
function(vrelmont_reachable_libraries library out)
    set(reached ${library})
    set(pending ${library})
    while(pending)
        list(POP_FRONT pending current)
        get_property(uses TARGET ${current} PROPERTY VRELMONT_USES)
        foreach(used IN LISTS uses)
            if(used MATCHES "^vrelmont_" AND NOT used IN_LIST reached)
                list(APPEND reached ${used})
                list(APPEND pending ${used})
            endif()
        endforeach()
    endwhile()
    set(${out} ${reached} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE core_files RELATIVE ${VRELMONT_CORE_DIR} CONFIGURE_DEPENDS
     ${VRELMONT_CORE_DIR}/*.h ${VRELMONT_CORE_DIR}/*.cpp)
set(wrong_includes "")
foreach(file IN LISTS core_files)
    if((WIN32 AND file MATCHES "/posix/") OR (NOT WIN32 AND file MATCHES "/windows/"))
        continue() # the other platform's half, not built here
    endif()
    vrelmont_library_of_file(${file} library)
    vrelmont_reachable_libraries(${library} reachable)
    file(STRINGS ${VRELMONT_CORE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+/[^\"]+\"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" included "${line}")
        if(NOT EXISTS ${VRELMONT_CORE_DIR}/${included})
            continue() # not one of ours
        endif()
        vrelmont_library_of_file(${included} owner)
        if(NOT owner IN_LIST reachable)
            string(APPEND wrong_includes "\n  src/core/${file} includes ${included}: ${library} does not use ${owner}")
        endif()
    endforeach()
endforeach()
if(wrong_includes)
    message(FATAL_ERROR "Includes against the arrows between the core's libraries:${wrong_includes}")
endif()
