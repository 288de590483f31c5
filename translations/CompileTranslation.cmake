# cmake -DTS=file.ts -DQM=file.qm -DLRELEASE=... [-DLUPDATE=... -DSOURCE_DIR=... -DFOLDERS=a,b]
#   -P CompileTranslation.cmake
# Compiles TS into QM once it is complete. With SOURCE_DIR, lupdate first reads the texts of the
# sources in FOLDERS into a copy of TS, so that the copy also shows a text of the program that
# TS lacks (unfinished) and one that the program no longer has (vanished). Fails, naming them,
# while any text is unfinished, vanished or translated by nothing.
cmake_minimum_required(VERSION 3.25)

set(checked ${TS})
if(SOURCE_DIR)
    set(checked ${QM}.lupdate.ts)
    file(COPY_FILE ${TS} ${checked})
    string(REPLACE "," ";" folders "${FOLDERS}")
    list(TRANSFORM folders PREPEND ${SOURCE_DIR}/)
    execute_process(COMMAND ${LUPDATE} -silent -locations none -I ${SOURCE_DIR} ${folders}
                            -ts ${checked}
                    RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE warned)
    # A warning is a text lupdate cannot place, such as tr() in a class without Q_OBJECT, whose
    # translation the program would never find.
    if(NOT status EQUAL 0 OR NOT warned STREQUAL "")
        message(FATAL_ERROR "lupdate over the sources failed:\n${said}${warned}")
    endif()
endif()

file(READ ${checked} content)
# Semicolons would split the list of findings.
string(REPLACE ";" "," content "${content}")
set(source "<source>([^<]*)</source>[^<]*(<comment>[^<]*</comment>[^<]*)?")
string(REGEX MATCHALL "${source}<translation type=\"(unfinished|vanished|obsolete)\""
       unfinished "${content}")
# Finished, yet empty: the text, or one of its forms for a count.
string(REGEX MATCHALL
       "${source}<translation(></translation>|/>|>[^<]*(<numerusform>[^<]+</numerusform>[^<]*)*<numerusform></numerusform>)"
       empty "${content}")
set(faults)
foreach(found IN LISTS unfinished)
    string(REGEX REPLACE "^<source>([^<]*)</source>.*<translation type=\"([a-z]+)\".*" "\\2: \\1"
           fault "${found}")
    list(APPEND faults "${fault}")
endforeach()
foreach(found IN LISTS empty)
    string(REGEX REPLACE "^<source>([^<]*)</source>.*" "empty: \\1" fault "${found}")
    list(APPEND faults "${fault}")
endforeach()
if(faults)
    list(JOIN faults "\n  " listed)
    message(FATAL_ERROR
            "${TS} is not complete (unfinished: a text without its finished translation, "
            "vanished: a text the program no longer has, empty: a translation with no text):\n"
            "  ${listed}\n"
            "Take new texts in with the target maroket_update_translations, then translate them.")
endif()

execute_process(COMMAND ${LRELEASE} -silent ${TS} -qm ${QM} RESULT_VARIABLE status
                OUTPUT_VARIABLE said ERROR_VARIABLE warned)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "lrelease ${TS} failed:\n${said}${warned}")
endif()
