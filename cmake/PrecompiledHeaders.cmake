# Precompiled headers: most of the time a source file of this project takes to compile goes
# into reading Qt's and the standard library's headers (a 24-line widget file: 2.7 s of its
# 3 s). Every target with at least VELMORA_PCH_MIN_SOURCES sources compiles with a precompiled
# header made of the headers most files include; the Qt modules' headers join it only for
# targets that use the module, and GoogleTest's only for tests. A target with fewer sources
# would spend longer making the header than it saves.
#
# GCC uses a precompiled header only with the macro definitions, options and code model
# (-fPIC) it was made with, so targets share one only where all of those are the same: the
# first target of each such group makes the header, the others reuse it (each header takes
# 10 to 20 s to make). A header that does not fit is refused with a warning (-Winvalid-pch),
# which VELMORA_WERROR makes an error. The headers only add declarations: a file that compiles
# with them compiles without them once it includes what it uses (configure with
# -DVELMORA_PCH=OFF to check).
option(VELMORA_PCH "Compile every larger target with a precompiled header" ON)
set(VELMORA_PCH_MIN_SOURCES 4 CACHE STRING "Fewest sources of a target with a precompiled header")

set(VELMORA_PCH_CORE
    <QByteArray> <QDate> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList> <QLocale>
    <QObject> <QRegularExpression> <QSet> <QString> <QStringList> <QVariant>
    <algorithm> <array> <cmath> <functional> <map> <memory> <optional> <string> <vector>)
set(VELMORA_PCH_GUI <QBrush> <QColor> <QFont> <QFontMetrics> <QPainter>)
set(VELMORA_PCH_WIDGETS
    <QApplication> <QBoxLayout> <QCheckBox> <QComboBox> <QDialog> <QHeaderView> <QLabel>
    <QLineEdit> <QMessageBox> <QPushButton> <QTableView> <QWidget>)
set(VELMORA_PCH_TEST <QTest>)
set(VELMORA_PCH_GTEST <gtest/gtest.h>)

# What <target> links, directly or through what it links (names of targets only).
function(velmora_link_closure target out)
    set(seen)
    set(pending ${target})
    while(pending)
        list(POP_FRONT pending current)
        if(current IN_LIST seen OR NOT TARGET ${current})
            continue()
        endif()
        list(APPEND seen ${current})
        get_target_property(imported ${current} IMPORTED)
        set(links)
        if(NOT imported)
            get_target_property(direct ${current} LINK_LIBRARIES)
            if(direct)
                list(APPEND links ${direct})
            endif()
        endif()
        get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
        if(interface)
            list(APPEND links ${interface})
        endif()
        foreach(link IN LISTS links)
            # A static library's own links are kept as $<LINK_ONLY:name>.
            string(REGEX REPLACE "^\\$<LINK_ONLY:([^>]+)>$" "\\1" link "${link}")
            if(NOT link MATCHES "\\$<")
                list(APPEND pending ${link})
            endif()
        endforeach()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# What decides whether <target> can use another target's precompiled header: the headers, the
# target's kind, its own definitions and options, and those that what it links passes on.
function(velmora_pch_key target links headers out)
    set(key ${headers})
    foreach(property IN ITEMS TYPE POSITION_INDEPENDENT_CODE COMPILE_DEFINITIONS COMPILE_OPTIONS
                              COMPILE_FLAGS)
        get_target_property(value ${target} ${property})
        list(APPEND key "${property}=${value}")
    endforeach()
    set(passed)
    foreach(link IN LISTS links)
        if(link STREQUAL target)
            continue()
        endif()
        foreach(property IN ITEMS INTERFACE_COMPILE_DEFINITIONS INTERFACE_COMPILE_OPTIONS)
            get_target_property(value ${link} ${property})
            if(value)
                list(APPEND passed "${property}=${value}")
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES passed)
    list(SORT passed)
    set(${out} "${key};${passed}" PARENT_SCOPE)
endfunction()

function(velmora_precompile_headers)
    if(NOT VELMORA_PCH)
        return()
    endif()
    velmora_project_targets(targets STATIC_LIBRARY SHARED_LIBRARY MODULE_LIBRARY EXECUTABLE)
    # Targets that link fewer come first: a target reuses the header of one made before it,
    # and must never wait for the header of a target that links it.
    set(ordered)
    foreach(target IN LISTS targets)
        get_target_property(sources ${target} SOURCES)
        list(FILTER sources INCLUDE REGEX "\\.cpp$")
        list(LENGTH sources count)
        if(count LESS VELMORA_PCH_MIN_SOURCES)
            continue()
        endif()
        velmora_link_closure(${target} links)
        list(LENGTH links size)
        string(LENGTH "${size}" digits)
        string(SUBSTRING "0000${size}" ${digits} 4 size)
        list(APPEND ordered ${size}:${target})
    endforeach()
    list(SORT ordered)
    foreach(entry IN LISTS ordered)
        string(REGEX REPLACE "^[0-9]+:" "" target ${entry})
        velmora_link_closure(${target} links)
        set(headers)
        foreach(group IN ITEMS Qt6::Core=CORE Qt6::Gui=GUI Qt6::Widgets=WIDGETS
                               Qt6::Test=TEST GTest::gtest=GTEST)
            string(REGEX REPLACE "=.*" "" library ${group})
            string(REGEX REPLACE ".*=" "" name ${group})
            if(library IN_LIST links)
                list(APPEND headers ${VELMORA_PCH_${name}})
            endif()
        endforeach()
        if(NOT headers)
            continue()
        endif()
        velmora_pch_key(${target} "${links}" "${headers}" key)
        string(MD5 key "${key}")
        set(maker ${velmora_pch_${key}})
        if(maker)
            velmora_link_closure(${maker} maker_links)
        endif()
        if(maker AND NOT target IN_LIST maker_links)
            target_precompile_headers(${target} REUSE_FROM ${maker})
        else()
            set(velmora_pch_${key} ${target})
            target_precompile_headers(${target} PRIVATE ${headers})
        endif()
    endforeach()
endfunction()
